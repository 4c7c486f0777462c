// Judging one station: what its journal, manifest and answer folder hold
// (planned on one thread, quickly), then each answer file on its own, on any
// thread: read, hashed, compared with its manifest line, decoded unless the
// station's own check of that very file can be taken.
#pragma once

#include <QList>
#include <QString>

#include "check/answers.h"
#include "check/scan.h"

namespace check::judge {

// One answer file to check.
struct Job {
  int participant = 0;  // index in the station's participants
  int slot = 0;         // 0 .. 7
  QString suffix;       // "_01"
  QString path;
  bool manifestRead = false;    // the station's manifest was read
  QByteArray listed;            // its line's digest; empty when it has none
  bool checked = false;         // the journal holds the station's own check of this file
  bool checkedOk = false;       // ... and it found the file good
  double checkedSeconds = -1;   // ... with this length
  QByteArray checkedSha;        // ... of the bytes with this digest (empty: a line without one)
  bool journalRead = false;
  double recorded = -1;         // seconds its recording-stop line says; negative for none
  double limit = 0;             // longest answer, seconds (0: no limit)
  bool decodeAll = false;
};

struct Planned {
  answers::Station station;  // answers not filled yet
  QList<Job> jobs;
};

Planned plan(const scan::Place& place, bool decodeAll);
answers::Answer checkFile(const Job& job);
// Puts each job's answer in its place.
void fill(Planned& planned, const QList<answers::Answer>& results);

// Why a folder name is not a participant code; empty when it is one.
QString codeFault(const QString& name);

}  // namespace check::judge
