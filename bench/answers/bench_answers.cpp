// bench-answers [--seconds S] [--stations N] [--participants N]: builds a
// day of answers once (cached under the build folder; later runs reuse it),
// then times quorvel-check --answers on it, sha256sum -c over every
// manifest, quorvel-check --answers --decode, and oggdec over every answer
// on one core. Prints "name value unit" lines and the two ratios. It
// measures and reports; it never fails a build.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "toolkit/journal.h"
#include "toolkit/manifest.h"
#include "toolkit/participant.h"

namespace {

const QStringList kSuffixes{"_00", "_01", "_02_1", "_02_2", "_02_3", "_02_4", "_02_5", "_03"};
// How long each answer of a real exam lasts, seconds.
const QList<double> kRealSeconds{5, 180, 60, 60, 60, 60, 60, 240};

QString code(int n) {
  const QString first = "275" + QString::number(n).rightJustified(9, '0');
  return first + QString::number(station::ean13CheckDigit(first + "0"));
}

bool shell(const QString& command) { return std::system(command.toUtf8().constData()) == 0; }

double timed(const QString& command) {
  QElapsedTimer t;
  t.start();
  shell(command);
  return t.nsecsElapsed() / 1e9;
}

long peakKb() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  return u.ru_maxrss;
}

// Eight answers encoded once with oggenc from sox's noise; every participant
// gets copies of them, with the station's journal and manifest lines.
bool build(const QString& day, int stations, int participants, double seconds) {
  const QString parts = day + ".parts";
  QDir().mkpath(parts);
  QList<QByteArray> sha;
  QList<double> length;
  for (int i = 0; i < kSuffixes.size(); ++i) {
    length << (seconds > 0 ? seconds : kRealSeconds[i]);
    const QString ogg = QString("%1/%2.ogg").arg(parts).arg(i);
    if (!shell(QString("sox -n -r 44100 -b 16 -c 1 %1/a.wav synth %2 pinknoise vol 0.3 && oggenc -Q %1/a.wav -o %3")
                   .arg(parts).arg(length[i]).arg(ogg)))
      return false;
    sha << station::manifest::sha256Hex(ogg);
  }
  const QDateTime t = QDateTime::currentDateTime();
  for (int s = 1; s <= stations; ++s) {
    const QString key = QString("2017_01_0005_0012_%1").arg(s);
    const QString dir = QString("%1/st%2/").arg(day).arg(s, 2, 10, QChar('0'));
    QByteArray log = (station::journal::formatLine(t, {}, -1, "station-start", "quorvel; station folder " + dir) + "\n" +
                      station::journal::formatLine(t, {}, 1, "check-finished",
                                                   QString("venue 0005; room 0012; station %1; answer folder Answer_%2").arg(s).arg(key)) +
                      "\n").toUtf8();
    QList<station::manifest::Entry> entries;
    for (int p = 0; p < participants; ++p) {
      const QString c = code(s * 100 + p);
      QDir().mkpath(dir + "Answer_" + key + "/" + c);
      for (int i = 0; i < kSuffixes.size(); ++i) {
        const QString relative = "Answer_" + key + "/" + c + "/" + c + kSuffixes[i] + ".ogg";
        if (!QFile::copy(QString("%1/%2.ogg").arg(parts).arg(i), dir + relative)) return false;
        const QString secs = QString::number(length[i], 'f', 2);
        log += (station::journal::formatLine(t, c, 11, "recording-stop", QString("%1; %2 s recorded; stopped").arg(dir + relative, secs)) + "\n" +
                station::journal::formatLine(t, c, 11, "recording-checked",
                                             QString("%1; length %2 s; peak -3.0 dBFS; ok; sha256 %3").arg(dir + relative, secs, QString::fromLatin1(sha[i]))) +
                "\n")
                   .toUtf8();
        entries.append({sha[i], relative});
      }
    }
    QFile j(dir + "Answer_" + key + ".log"), m(dir + "Answer_" + key + ".sha256");
    if (!j.open(QIODevice::WriteOnly) || j.write(log) != log.size() || !m.open(QIODevice::WriteOnly)) return false;
    m.write(station::manifest::format(entries));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  auto option = [&](const QString& name, double fallback) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toDouble() : fallback;
  };
  const double seconds = option("--seconds", 0);  // 0: the real lengths
  const int stations = int(option("--stations", 30)), participants = int(option("--participants", 40));
  const QString day = QString(BENCH_CACHE "-%1x%2-%3s").arg(stations).arg(participants).arg(seconds);
  if (!QFile::exists(day + "/done")) {
    QDir(day).removeRecursively();
    std::printf("building the day in %s\n", qPrintable(day));
    if (!build(day, stations, participants, seconds)) {
      std::printf("could not build the day\n");
      return 0;
    }
    QFile(day + "/done").open(QIODevice::WriteOnly);
  }
  double load[3] = {0, 0, 0};
  getloadavg(load, 3);
  const int cores = QThread::idealThreadCount();
  const double check = timed(QString("%1 --answers %2 > /dev/null 2>&1").arg(QUORVEL_CHECK, day));
  const long checkKb = peakKb();
  const double sums = timed(QString("for d in %1/st*/; do (cd \"$d\" && sha256sum -c --quiet Answer_*.sha256); done > /dev/null").arg(day));
  const double decode = timed(QString("%1 --answers --decode %2 > /dev/null 2>&1").arg(QUORVEL_CHECK, day));
  const long decodeKb = peakKb();
  const double floor = timed(QString("find %1 -name '*.ogg' -path '*/Answer_*' -print0 | xargs -0 -n 1 oggdec -Q -o /dev/null").arg(day));
  std::printf("day %d stations x %d participants x 8 answers (%s)\n", stations, participants,
              seconds > 0 ? qPrintable(QString("%1 s each").arg(seconds)) : "real lengths");
  std::printf("load-average %.2f (before), cores %d\n", load[0], cores);
  std::printf("check %.2f s\nsha256sum-c %.2f s\ncheck/sha256sum %.2f (goal <= 2)\n", check, sums, check / sums);
  std::printf("check-decode %.2f s\noggdec-one-core %.2f s\ndecode/(oggdec/cores) %.2f (goal <= 1.15)\n", decode, floor,
              decode / (floor / cores));
  std::printf("peak-memory check %ld KiB, with --decode %ld KiB\n", checkKb, decodeKb);
  return 0;
}
