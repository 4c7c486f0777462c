// The entry shared by both programs: the station's main window with every
// stage of the exam, for the deliverable the program is.
#pragma once

#include "toolkit/deliverable.h"
#include "window/main.h"
#include "window/stages.h"

namespace station {
inline int programMain(int argc, char** argv, const Deliverable& deliverable) {
  return stationMain(argc, argv, {&registerStages, &createCountdownWindow, &createTextCheckWindow}, deliverable);
}
}  // namespace station
