// The program: the station's main window with every stage of the exam.
#include "window/main.h"
#include "window/stages.h"

int main(int argc, char** argv) {
  return station::stationMain(argc, argv,
                              {&station::registerStages, &station::createCountdownWindow,
                               &station::createTextCheckWindow});
}
