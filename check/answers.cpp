#include "check/answers.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFuture>
#include <QSaveFile>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <deque>
#include <map>
#include <set>
#include <vector>

#include "check/copy.h"
#include "check/files.h"
#include "check/heading.h"
#include "check/judge.h"
#include "check/scan.h"
#include "check/deliver.h"
#include "toolkit/recordcheck.h"

namespace check::answers {

namespace {

struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};

// Stations whose files are checked at the same time: enough to keep every
// core busy across the end of one station, few enough to bound memory.
constexpr int kStationsInFlight = 3;

// One line of text for a person: what came from file and folder names is
// made harmless first, so nothing in it can steer the terminal.
void print(FILE* to, const QString& line) {
  std::fputs((files::terminalSafe(line) + QLatin1Char('\n')).toUtf8().constData(), to);
}

// Every copy of one answer key, checked together and counted once.
struct Unit {
  QList<judge::Planned> copies;
  QList<QFuture<Answer>> running;
};

bool identical(const Station& a, const Station& b) {
  if (a.journalSha != b.journalSha || a.manifestSha != b.manifestSha || a.participants.size() != b.participants.size())
    return false;
  for (qsizetype i = 0; i < a.participants.size(); ++i) {
    const Participant &p = a.participants[i], &q = b.participants[i];
    if (p.code != q.code || p.strays != q.strays || p.problems != q.problems) return false;
    for (qsizetype k = 0; k < p.answers.size(); ++k)
      if (p.answers[k].sha256 != q.answers[k].sha256 || p.answers[k].state != q.answers[k].state) return false;
  }
  return true;
}

// One participant from every copy of its station that holds it (pairs of
// copy index and participant, at least one): each answer taken from a copy
// where it is good, else where it is there at all; an answer whose bytes
// differ between two copies is a fault, with both files named.
Participant joinParticipant(const QList<judge::Planned>& copies, const QList<std::pair<int, Participant>>& found) {
  QList<std::pair<int, Participant>> held;
  for (const auto& f : found)
    if (f.second.inCopy) held.append(f);
  if (held.isEmpty()) return found.first().second;  // no copy holds its folder: as the first says
  Participant p = held.first().second;
  auto file = [&](int copy, const Answer& a) {
    const Station& s = copies[copy].station;
    return QDir::toNativeSeparators(s.programDir + QStringLiteral("Answer_") + s.key + QLatin1Char('/') + p.code +
                                    QLatin1Char('/') + p.code + a.suffix + QStringLiteral(".ogg"));
  };
  for (qsizetype k = 0; k < p.answers.size(); ++k) {
    int from = held.first().first;
    for (const auto& [copy, q] : held) {
      const Answer& mine = p.answers[k];
      const Answer& theirs = q.answers.value(k);
      if (!mine.sha256.isEmpty() && !theirs.sha256.isEmpty() && mine.sha256 != theirs.sha256) {
        p.problems.append(Text::tr("%1 differs between the copies: %2 and %3")
                              .arg(mine.suffix, file(from, mine), file(copy, theirs)));
        continue;
      }
      const bool better = (theirs.state == Answer::State::Good && mine.state != Answer::State::Good) ||
                          (theirs.state != Answer::State::Missing && mine.state == Answer::State::Missing);
      if (better) p.answers[k] = theirs, from = copy;
    }
  }
  p.problems.removeDuplicates();
  for (const auto& [copy, q] : held)
    for (const QString& stray : q.strays)
      if (!p.strays.contains(stray)) p.strays.append(stray);
  return p;
}

// Every copy of one station counted once. Identical copies are named as
// such. Copies that differ are joined participant by participant, so that
// nobody found in any copy is left out: the copy whose journal reaches
// furthest stands for the station, the faults of each copy are kept, and a
// participant that not every copy holds says where it was found.
Station merge(Unit& unit) {
  QList<judge::Planned>& copies = unit.copies;
  int base = 0;
  for (int i = 1; i < copies.size(); ++i)
    if (copies[i].station.last > copies[base].station.last) base = i;
  Station s = copies[base].station;
  if (copies.size() == 1) return s;
  bool allSame = true;
  for (int i = 0; i < copies.size(); ++i)
    if (i != base) allSame = allSame && identical(s, copies[i].station);
  for (int i = 0; i < copies.size(); ++i) {
    if (i == base) continue;
    const QString where = QDir::toNativeSeparators(copies[i].station.programDir);
    if (allSame) {
      s.notes.append(Text::tr("the same station is also in %1: an identical copy, counted once").arg(where));
      continue;
    }
    s.notes.append(Text::tr("the same station is also in %1: a different copy, joined participant by participant").arg(where));
    for (const QString& f : copies[i].station.faults)
      if (!s.faults.contains(f)) s.faults.append(Text::tr("in the copy in %1: %2").arg(where, f));
  }
  if (allSame) return s;
  s.copies.clear();
  s.copies << copies[base].station.programDir;
  for (int i = 0; i < copies.size(); ++i)
    if (i != base) s.copies << copies[i].station.programDir;

  std::map<QString, QList<std::pair<int, Participant>>> byCode;
  for (int i = 0; i < copies.size(); ++i)
    for (const Participant& p : copies[i].station.participants) byCode[p.code].append({i, p});
  s.participants.clear();
  for (auto& [code, found] : byCode) {
    // The standing copy's journal first: its remarks are the participant's.
    std::stable_sort(found.begin(), found.end(), [base](const auto& x, const auto& y) { return x.first == base && y.first != base; });
    Participant p = joinParticipant(copies, found);
    int holding = 0;
    for (const auto& f : found) holding += f.second.inCopy;
    if (holding < copies.size() && holding > 0)
      for (const auto& f : found)
        if (f.second.inCopy) {
          p.from = QDir::toNativeSeparators(copies[f.first].station.programDir);
          break;
        }
    s.participants.append(p);
  }
  return s;
}

// Why answers were decoded rather than taken from the station's own check,
// one note per reason.
void noteDecoded(Station& s) {
  std::map<QString, int> why;
  for (const Participant& p : s.participants)
    for (const Answer& a : p.answers)
      if (!a.decodedWhy.isEmpty()) ++why[a.decodedWhy];
  for (const auto& [reason, n] : why) s.notes.append(Text::tr("%n answer(s) decoded here: %1", nullptr, n).arg(reason));
}

QString clock(qint64 seconds) {
  return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

int check(const Options& options, QList<Station>* stations, QStringList* problems, FILE* out) {
  const scan::Found found = scan::find(options.folders);
  *problems = found.problems;
  for (const QString& p : found.problems) print(out, p);

  // Planned first, all of them: the journals, manifests and folder listings
  // are small, and a participant code seen at two stations is known before
  // either is printed.
  std::map<QString, int> byKey;
  std::deque<Unit> units;
  for (const scan::Place& place : found.places) {
    const auto [it, fresh] = byKey.try_emplace(place.key, int(units.size()));
    if (fresh) units.emplace_back();
    units[std::size_t(it->second)].copies.append(judge::plan(place, options.decodeAll));
  }
  std::stable_sort(units.begin(), units.end(),
                   [](const Unit& x, const Unit& y) { return before(x.copies.first().station, y.copies.first().station); });
  // A code at two stations, from every copy of each: known before either
  // is printed, and told after the copies are joined.
  std::map<QString, QList<int>> atUnits;
  for (std::size_t u = 0; u < units.size(); ++u) {
    std::set<QString> codes;
    for (const judge::Planned& c : units[u].copies)
      for (const Participant& p : c.station.participants) codes.insert(p.code);
    for (const QString& code : codes) atUnits[code].append(int(u));
  }
  std::vector<QString> headings(units.size());
  for (std::size_t u = 0; u < units.size(); ++u) {
    const Station& o = units[u].copies.first().station;
    headings[u] = Text::tr("the same code at %1 (Answer_%2)").arg(stationHeading(o), o.key);
  }

  qint64 total = 0;
  for (const Unit& u : units)
    for (const judge::Planned& c : u.copies) total += c.jobs.size();
  std::atomic<qint64> done{0};
  QThreadPool pool;
  pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
  auto start = [&](Unit& u) {
    for (const judge::Planned& c : u.copies)
      u.running.append(QtConcurrent::mapped(&pool, c.jobs, [&done](const judge::Job& j) {
        Answer a = judge::checkFile(j);
        done.fetch_add(1, std::memory_order_relaxed);
        return a;
      }));
  };
  QElapsedTimer elapsed;
  elapsed.start();
  auto progress = [&](std::size_t stationsDone) {
    const qint64 files = done.load(std::memory_order_relaxed);
    QString line = Text::tr("stations %1 of %2, files %3 of %4").arg(stationsDone).arg(units.size()).arg(files).arg(total);
    if (files > 0 && files < total)
      line += Text::tr(", about %1 left").arg(clock(elapsed.elapsed() * (total - files) / files / 1000 + 1));
    std::fputs(("\r\033[K" + files::terminalSafe(line)).toUtf8().constData(), stderr);
    std::fflush(stderr);
  };

  std::size_t next = 0;
  for (std::size_t u = 0; u < units.size(); ++u) {
    while (next < units.size() && next < u + kStationsInFlight) start(units[next++]);
    Unit& unit = units[u];
    for (QFuture<Answer>& f : unit.running) {
      if (options.progress)
        while (!f.isFinished()) progress(u), QThread::msleep(200);
      f.waitForFinished();
    }
    for (qsizetype i = 0; i < unit.copies.size(); ++i) judge::fill(unit.copies[i], unit.running[i].results());
    unit.running.clear();
    Station s = merge(unit);
    unit.copies.clear();
    noteDecoded(s);
    s.subject = subjectBeside(s);
    for (Participant& p : s.participants)
      for (int other : atUnits[p.code])
        if (other != int(u)) p.problems.append(headings[std::size_t(other)]);
    if (options.progress) std::fputs("\r\033[K", stderr);
    for (const QString& line : stationLines(s)) print(out, line);
    std::fflush(out);
    stations->append(s);
  }
  if (options.progress) std::fputs("\r\033[K", stderr), std::fflush(stderr);
  print(out, summaryLine(*stations, *problems));
  std::fflush(out);

  bool good = problems->isEmpty() && !stations->isEmpty();
  for (const Station& s : *stations) good = good && s.ok();
  return good ? AllComplete : Faults;
}

int checkCopy(const QString& folder, FILE* out, QString* reportError) {
  Options options;
  options.folders = QStringList{folder};
  QList<Station> stations;
  QStringList problems;
  const int status = check(options, &stations, &problems, out);
  const QString name = QDir(folder).filePath(QStringLiteral("report.html"));
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(reportHtml(stations, problems, QDateTime::currentDateTime()).toUtf8()) < 0 || !file.commit())
    *reportError = Text::tr("quorvel-check: cannot write the report %1: %2").arg(name, file.errorString());
  return status;
}

namespace {

// --copy-to: the stations found copied into folder and read back; then each
// copy checked as it is on the stick, its report written beside it.
int copyAndCheck(Options options, const QString& folder) {
  const scan::Found found = scan::find(options.folders);
  for (const QString& p : found.problems) print(stderr, p);
  if (found.places.isEmpty()) {
    print(stderr, Text::tr("quorvel-check: no answer folder Answer_… found"));
    return Faults;
  }
  if (!QFileInfo(folder).isDir()) {
    print(stderr, Text::tr("quorvel-check: no folder %1 to copy to").arg(folder));
    return WrongUse;
  }
  const bool tty = options.progress;
  const copy::Result copied = copy::copyStations(found.places, folder, [tty](qint64 done, qint64 total) {
    if (!tty) return;
    std::fputs(("\r\033[K" + Text::tr("copied %1 of %2 MB").arg(done / 1000000).arg(total / 1000000)).toUtf8().constData(), stderr);
  });
  if (tty) std::fputs("\r\033[K", stderr);
  print(copied.ok() ? stdout : stderr, copy::summary(copied));
  if (!copied.ok()) return CopyFailed;
  int status = found.problems.isEmpty() ? AllComplete : Faults;
  for (const copy::Copied& c : copied.stations) {
    QString error;
    const int one = checkCopy(c.folder, stdout, &error);
    if (!error.isEmpty()) {
      print(stderr, error);
      return CopyFailed;
    }
    if (one != AllComplete) status = Faults;
  }
  return status;
}

}  // namespace

int run(const QStringList& args) {
  Options options;
  QString copyTo;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--report")) {
      if (i + 1 >= args.size()) {
        print(stderr, Text::tr("quorvel-check: --report needs a file name"));
        return WrongUse;
      }
      options.report = args[++i];
    } else if (args[i] == QLatin1String("--seal") || args[i] == QLatin1String("--out")) {
      // An option in its place is not a name: "--out --report r.html" would
      // seal into a folder named --report.
      if (i + 1 >= args.size() || args[i + 1].startsWith(QLatin1String("--"))) {
        print(stderr, Text::tr("quorvel-check: %1 needs a file or folder name").arg(args[i]));
        return WrongUse;
      }
      (args[i] == QLatin1String("--seal") ? options.seal : options.out) = args[i + 1];
      ++i;
    } else if (args[i] == QLatin1String("--decode")) {
      options.decodeAll = true;
    } else if (args[i] == QLatin1String("--copy-to")) {
      if (i + 1 >= args.size()) {
        print(stderr, Text::tr("quorvel-check: --copy-to needs a folder"));
        return WrongUse;
      }
      copyTo = args[++i];
    } else if (args[i].startsWith(QLatin1String("--"))) {
      print(stderr, Text::tr("quorvel-check: unknown option %1 (see quorvel-check --help)").arg(args[i]));
      return WrongUse;
    } else {
      options.folders << args[i];
    }
  }
  if (options.folders.isEmpty()) options.folders << QStringLiteral(".");
  options.progress = ::isatty(STDERR_FILENO);
  // What is to be written is refused before anything is checked or written.
  if (!deliver::prepare(&options)) return WrongUse;
  if (!copyTo.isEmpty()) return copyAndCheck(options, copyTo);

  QList<Station> stations;
  QStringList problems;
  int status = check(options, &stations, &problems, stdout);
  if (stations.isEmpty()) print(stderr, Text::tr("quorvel-check: no answer folder Answer_… found"));
  // A faulty room stays a faulty room: its status says so first.
  if (!deliver::write(options, stations, problems) && status == AllComplete) status = ReportFailed;
  return status;
}

}  // namespace check::answers
