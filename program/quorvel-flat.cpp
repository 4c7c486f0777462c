// quorvel-flat: task texts directly in KIM, a shorter task 3, scroll bars in
// every text view.
#include "program/entry.h"

int main(int argc, char** argv) { return station::programMain(argc, argv, station::kQuorvelFlat); }
