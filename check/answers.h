// The answers check (quorvel-check --answers): after the exam, the answer
// folders collected from a room's stations are checked against what each
// station wrote of them: every participant's eight files there, each decoding
// whole with the length its journal says was recorded and within its period,
// each matching its line in the station's checksum manifest.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace check::answers {

struct Answer {
  enum class State { Good, Faulty, Missing };
  QString suffix;  // "_00", "_01", "_02_1" .. "_02_5", "_03"
  State state = State::Missing;
  double seconds = -1;  // decoded length; negative when not decoded
  QStringList faults;   // what is wrong, each "_01 ..."
};

struct Participant {
  QString code;            // the folder's name
  QList<Answer> answers;   // the eight, in the order they are recorded
  QStringList strays;      // entries of the folder that are not answers
  QStringList journal;     // the journal's faults for this participant
  int complete() const;    // good answers
  double seconds() const;  // decoded length of all answers
  bool ok() const;
  QStringList faults() const;  // every answer fault and stray, in order
};

struct Station {
  QString programDir;  // the folder holding Answer_<key>
  QString key;
  QString venue, room, number;  // station codes, from the journal or the key
  QString deliverable;          // "quorvel", "quorvel-flat" or empty when unknown
  QDateTime first, last;        // first and last journal time
  QStringList faults;           // the station's own: manifest, journal, strays
  QStringList journal;          // journal faults of no participant
  QList<Participant> participants;
  bool ok() const;
};

// Every Answer_<key> folder in or under folders (each a program folder or a
// folder of collected ones, at any depth; symbolic links are not followed),
// each checked. Sorted by folder.
QList<Station> collect(const QStringList& folders);
// One answer folder checked.
Station checkStation(const QString& programDir, const QString& key);

// The console lines: one per participant (then its journal faults, indented),
// one per station.
QStringList stationLines(const Station& s);
QString summaryLine(const QList<Station>& stations);
// One self-contained printable HTML page for the whole collection.
QString reportHtml(const QList<Station>& stations, const QDateTime& made);

// quorvel-check --answers FOLDER... [--report FILE.html]; args without the
// program name. Exit status: 0 all good, 1 a fault, 2 nothing found.
int run(const QStringList& args);

}  // namespace check::answers
