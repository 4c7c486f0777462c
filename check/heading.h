// Shared by the console lines and the report: a station's heading and the
// counts of participants in each state.
#pragma once

#include <QList>
#include <QString>

#include "check/answers.h"

namespace check::answers {

// "station 3, room 12, venue 0005", in the language of the run.
QString stationHeading(const Station& s);

struct Counts {
  int stations = 0, good = 0;  // stations, those without faults
  int participants = 0, complete = 0, remarks = 0, incomplete = 0;
};
Counts count(const QList<Station>& stations);

}  // namespace check::answers
