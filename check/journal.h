// What the answers check takes from a station's journal, Answer_<key>.log:
// the station's codes and program, the time recorded for each answer, the
// station's own check of each answer, and the faults it met, per participant.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <map>
#include <set>

namespace check::journal {

struct Checked {
  double seconds = -1;  // the decoded length the station found
  bool ok = false;      // its verdict was "ok"
  QByteArray sha256;    // of the bytes it checked; empty in lines written before checks carried one
};

struct Journal {
  bool found = false;
  int error = 0;  // errno when there is a journal that cannot be read
  QByteArray sha256;  // of what was read, to compare copies
  QString deliverable;  // the program that ran, when it is one of the deliverables
  QString venue, room, number;
  QDateTime first, last;
  std::map<QString, double> recorded;        // file name -> seconds of its last recording-stop
  std::map<QString, Checked> checked;        // file name -> its last recording-checked
  std::map<QString, QStringList> faults;     // participant code -> faults ("" for none)
  std::set<QString> codes;                   // every participant the journal names
};

Journal read(const QString& path);

// The file name at the end of a path written with either separator.
QString fileNameOf(const QString& path);

}  // namespace check::journal
