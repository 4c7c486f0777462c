#include "shell/main.h"

int main(int argc, char** argv) { return station::stationMain(argc, argv); }
