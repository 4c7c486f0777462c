// quorvel: task texts in a variant subfolder of KIM per participant.
#include "program/entry.h"

int main(int argc, char** argv) { return station::programMain(argc, argv, station::kQuorvel); }
