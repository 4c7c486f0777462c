// The answers check (quorvel-check --answers): after the exam, the answer
// folders collected from a room's stations are checked against what each
// station wrote of them: every participant's eight files there, each a real
// Ogg Vorbis file decoding whole with the length its journal says was
// recorded and within its period, each matching its line in the station's
// checksum manifest.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <map>

namespace check::answers {

struct Answer {
  enum class State { Good, Faulty, Missing };
  QString suffix;  // "_00", "_01", "_02_1" .. "_02_5", "_03"
  State state = State::Missing;
  double seconds = -1;  // decoded length; negative when not known
  bool trusted = false;  // the length is the station's own check, not decoded here
  QString decodedWhy;    // why the station's own check was not taken (empty: taken, or --decode)
  QByteArray sha256;     // of the file, when it could be read
  QStringList faults;    // what is wrong, each "_01 ..."
};

struct Participant {
  enum class State { Complete, Remarks, Incomplete };
  QString code;            // the folder's name
  QList<Answer> answers;   // the eight, in the order they are recorded
  QStringList strays;      // entries of the folder that are not answers
  QStringList problems;    // the participant's own: folder lost or unreadable, a code seen twice
  QStringList journal;     // the journal's faults for this participant
  bool inCopy = true;      // the participant's folder is in the copy checked
  QString from;            // the copy it was found in, when copies of its station differ and not all hold it
  int complete() const;    // good answers
  double seconds() const;  // decoded length of all answers
  bool ok() const;         // complete, with or without remarks
  State state() const;
  QStringList faults() const;  // problems, every answer fault and stray, in order
};

struct Station {
  QString programDir;  // the folder holding Answer_<key>
  QString key;
  QString venue, room, number;  // station codes, from the journal or the key
  QString deliverable;          // "quorvel", "quorvel-flat" or empty when unknown
  QDateTime first, last;        // first and last journal time
  QStringList faults;           // the station's own: manifest, journal, strays, copies that differ
  QStringList notes;            // what is worth knowing and is not a fault: identical copies
  QStringList journal;          // journal faults of no participant
  QByteArray journalSha, manifestSha;  // of the two files, to compare copies
  QString subject;              // line 1 of the station's subject file, when one is found beside it
  QStringList copies;           // the folder of every copy joined into it, programDir first
  QList<Participant> participants;
  bool ok() const;
};

// Stations in the order staff count them: centre, room, station number,
// each compared as a number.
bool before(const Station& a, const Station& b);
// The subject's name from a subject file KIM/subj beside the station's
// copy (or one folder up) whose lines 2 and 3 begin its answer key; empty
// when there is none.
QString subjectBeside(const Station& s);

// One sealed archive, as the list beside it and the report name it.
struct Archive {
  QString name;        // file name in the output folder
  qint64 size = -1;
  QByteArray sha256;   // hex
  QString error;       // why it could not be written; empty when it was
  QStringList notes;   // what the archiver said (files it could not read)
};
using Archives = std::map<QString, Archive>;  // by answer key

// The console lines: one per participant (then its journal faults, indented),
// one per station.
QStringList stationLines(const Station& s);
// Totals; problems are the faults found outside every station (folders
// that are not there or cannot be read).
QString summaryLine(const QList<Station>& stations, const QStringList& problems);
// One self-contained printable HTML page for the whole collection, with
// the sealed archives' sizes and digests when there are any.
QString reportHtml(const QList<Station>& stations, const QStringList& problems, const QDateTime& made,
                   const Archives& archives = {});
// One station's part of it alone, as it travels in the station's archive.
QString stationReportHtml(const Station& s, const QDateTime& made);
// One row per answer, UTF-8 with a byte-order mark, for spreadsheets.
QByteArray reportCsv(const QList<Station>& stations);
// The CSV's file name beside the report's.
QString csvBeside(const QString& report);

// Exit statuses of quorvel-check --answers: every participant complete;
// anything incomplete, damaged, unreadable or missing (a station, a
// participant, a folder given, answer folders with nobody in them, nothing
// found at all); the command used wrongly; a sound room whose report could
// not be written.
// With --copy-to, a copy that could not be made or does not read back whole.
enum Exit { AllComplete = 0, Faults = 1, WrongUse = 2, ReportFailed = 3, CopyFailed = 4 };

struct Options {
  QStringList folders;
  QString report;
  QString seal, out;       // recipients file and output folder of --seal
  bool decodeAll = false;  // decode every answer, even one the station checked
  bool progress = false;   // progress lines on stderr
};
// quorvel-check --answers FOLDER... [--report FILE.html] [--decode]
// [--copy-to DIR]; args without the program name. With --copy-to, the
// stations found are copied into DIR and read back (see check/copy.h), and
// the copies on DIR are checked, each with its report.html.
int run(const QStringList& args);
// The whole check with the results, lines printed to out as each station is done.
int check(const Options& options, QList<Station>* stations, QStringList* problems, FILE* out);
// A copy just made checked as it is (on the stick), its lines printed to
// out and its report written into it as report.html (reportError says why
// when it cannot be).
int checkCopy(const QString& folder, FILE* out, QString* reportError);

}  // namespace check::answers
