#include "check/answers.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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

#include "check/heading.h"
#include "check/judge.h"
#include "check/scan.h"
#include "toolkit/recordcheck.h"

namespace check::answers {

namespace {

struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};

// Stations whose files are checked at the same time: enough to keep every
// core busy across the end of one station, few enough to bound memory.
constexpr int kStationsInFlight = 3;

void print(FILE* to, const QString& line) { std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), to); }

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

// The first copy stands for the station; the others are named in it.
Station merge(Unit& unit) {
  Station s = unit.copies.first().station;
  for (qsizetype i = 1; i < unit.copies.size(); ++i) {
    const Station& other = unit.copies[i].station;
    const QString where = QDir::toNativeSeparators(other.programDir);
    if (identical(s, other)) s.notes.append(Text::tr("the same station is also in %1: an identical copy, counted once").arg(where));
    else s.faults.append(Text::tr("the same station is also in %1: a different copy, not counted; compare the two").arg(where));
  }
  return s;
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
  std::map<QString, QList<int>> atUnits;
  for (std::size_t u = 0; u < units.size(); ++u)
    for (const Participant& p : units[u].copies.first().station.participants) atUnits[p.code].append(int(u));
  for (std::size_t u = 0; u < units.size(); ++u)
    for (Participant& p : units[u].copies.first().station.participants)
      for (int other : atUnits[p.code])
        if (other != int(u)) {
          const Station& o = units[std::size_t(other)].copies.first().station;
          p.problems.append(Text::tr("the same code at %1 (Answer_%2)").arg(stationHeading(o), o.key));
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
    std::fputs(("\r\033[K" + line).toUtf8().constData(), stderr);
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
    if (options.progress) std::fputs("\r\033[K", stderr);
    for (const QString& line : stationLines(s)) print(out, line);
    std::fflush(out);
    stations->append(s);
  }
  if (options.progress) std::fputs("\r\033[K", stderr), std::fflush(stderr);
  print(out, summaryLine(*stations, *problems));
  std::fflush(out);

  int participants = 0;
  bool good = problems->isEmpty();
  for (const Station& s : *stations) participants += int(s.participants.size()), good = good && s.ok();
  if (stations->isEmpty() || (participants == 0 && good)) return NothingFound;
  return good ? AllComplete : Faults;
}

int run(const QStringList& args) {
  Options options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--report")) {
      if (i + 1 >= args.size()) {
        print(stderr, Text::tr("quorvel-check: --report needs a file name"));
        return NothingFound;
      }
      options.report = args[++i];
    } else if (args[i] == QLatin1String("--decode")) {
      options.decodeAll = true;
    } else {
      options.folders << args[i];
    }
  }
  if (options.folders.isEmpty()) options.folders << QStringLiteral(".");
  options.progress = ::isatty(STDERR_FILENO);

  QList<Station> stations;
  QStringList problems;
  const int status = check(options, &stations, &problems, stdout);
  if (stations.isEmpty()) print(stderr, Text::tr("quorvel-check: no answer folder Answer_… found"));
  if (!options.report.isEmpty()) {
    QSaveFile file(options.report);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reportHtml(stations, problems, QDateTime::currentDateTime()).toUtf8()) < 0 || !file.commit()) {
      print(stderr, Text::tr("quorvel-check: cannot write the report %1: %2").arg(options.report, file.errorString()));
      return ReportFailed;
    }
  }
  return status;
}

}  // namespace check::answers
