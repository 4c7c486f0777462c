// The station journal on a disk that fills or turns read-only (a tmpfs of
// its own, where the test may mount one), and the lock of a station that
// did not end cleanly.
#include <sys/wait.h>
#include <unistd.h>

#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "modal.h"
#include "toolkit/instance.h"
#include "toolkit/journal.h"

namespace {

QList<QByteArray> linesOf(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray all = f.readAll();
  if (all.isEmpty()) return {};
  // A file that does not end in a line break holds a half line.
  if (!all.endsWith('\n')) return {"HALF LINE: " + all.right(80)};
  return all.chopped(1).split('\n');
}

// The details of the "line" events, in order.
QStringList numbered(const QList<QByteArray>& lines) {
  QStringList out;
  for (const QByteArray& l : lines) {
    const QList<QByteArray> f = l.split('\t');
    if (f.size() == 5 && f[3] == "line") out << QString::fromUtf8(f[4]);
  }
  return out;
}

}  // namespace

class TestJournalFaults : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { station::journal::open({}); }

  // Lines are written whole or not at all; the station says once that the
  // journal cannot be written and why; the lines kept meanwhile are written
  // in order once the disk takes them again.
  void journalOnAFullOrReadOnlyDisk_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("cause");
    QTest::newRow("the disk fills") << "full" << "на диске нет места";
    QTest::newRow("the disk turns read-only") << "ro" << "файловая система доступна только для чтения";
  }
  void journalOnAFullOrReadOnlyDisk() {
    QFETCH(QString, fault);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path()}) != 0)
      QSKIP("cannot mount a tmpfs here (needs root)");
    const auto unmount = qScopeGuard([&] {
      station::journal::open({});
      QProcess::execute("umount", {dir.path()});
    });
    const QString path = dir.filePath("Answer_x.log");
    test::ModalAnswerer boxes;
    station::journal::open(path);
    station::journal::write("line", "0");
    QCOMPARE(station::journal::backlog(), 0);

    if (fault == "full") {
      QFile filler(dir.filePath("filler"));
      QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
      while (filler.write(QByteArray(4096, 'x')) == 4096) {
      }
    } else {
      // A file open for writing keeps a remount from happening: the journal
      // lets go of it, and finds the disk read-only when it opens it again.
      station::journal::open({});
      QCOMPARE(QProcess::execute("mount", {"-o", "remount,ro", dir.path()}), 0);
      station::journal::open(path);
    }
    // Long lines: one of them meets the end of the room half-way.
    const QString pad(700, QLatin1Char('p'));
    for (int i = 1; i <= 30; ++i) station::journal::write("line", QString::number(i) + pad);
    QVERIFY(station::journal::backlog() > 0);
    QVERIFY(test::waitFor([&] { return boxes.count() > 0; }, 2000));
    test::pump(200);
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.lastText().startsWith(QStringLiteral("Не удаётся записать журнал станции \"%1\": %2.")
                                             .arg(path, cause)),
             qPrintable(boxes.lastText()));
    const QStringList before = numbered(linesOf(path));
    QVERIFY2(!before.isEmpty() && before.size() < 31, qPrintable(before.join(',')));
    for (qsizetype i = 0; i < before.size(); ++i)
      QCOMPARE(before[i], i == 0 ? QStringLiteral("0") : QString::number(i) + pad);

    // Room again: the next line brings every kept one, in order, once.
    if (fault == "full") QVERIFY(QFile::remove(dir.filePath("filler")));
    else QCOMPARE(QProcess::execute("mount", {"-o", "remount,rw", dir.path()}), 0);
    station::journal::write("line", "31");
    QCOMPARE(station::journal::backlog(), 0);
    const QList<QByteArray> after = linesOf(path);
    QStringList expected{"0"};
    for (int i = 1; i <= 30; ++i) expected << QString::number(i) + pad;
    expected << "31";
    QCOMPARE(numbered(after), expected);
    // The box's own line was kept too.
    QVERIFY(std::any_of(after.begin(), after.end(), [](const QByteArray& l) { return l.contains("\terror-box\t"); }));
    test::pump(200);
    QCOMPARE(boxes.count(), 1);
  }

  // A lock left by a station that ended without releasing it (killed, a
  // power cut) is taken over and written as station-restart; one released
  // at a clean end is not. What the exam room launcher says about the last
  // run (a signal's end, a window gone) is a station-restart line too.
  void staleLockIsARestart_data() {
    QTest::addColumn<bool>("released");
    QTest::addColumn<QString>("launcherSaid");
    QTest::newRow("the last station was killed") << false << QString();
    QTest::newRow("the last station ended cleanly") << true << QString();
    QTest::newRow("ended by SIGTERM, started again by the launcher")
        << true << "it was ended by SIGTERM (status 143); started again by the kiosk launcher";
    QTest::newRow("its window was gone, ended by the launcher")
        << true << "its window was gone while its process still ran;\nthe launcher ended it (status 143)";
  }
  void staleLockIsARestart() {
    QFETCH(bool, released);
    QFETCH(QString, launcherSaid);
    qputenv("QUORVEL_KIOSK_RESTART", launcherSaid.toUtf8());
    const auto unset = qScopeGuard([] { qunsetenv("QUORVEL_KIOSK_RESTART"); });
    QTemporaryDir dir;
    const pid_t child = fork();
    if (child == 0) {
      auto lock = station::claimStationFolder(dir.path());
      if (released) lock.reset();
      _exit(lock || released ? 0 : 3);  // no destructors: a killed station's lock stays
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(QFile::exists(dir.filePath("station.lock")), !released);

    const QString log = dir.filePath("Answer_x.log");
    station::journal::open(log);
    auto lock = station::claimStationFolder(dir.path());
    QVERIFY(lock && lock->isLocked());
    QCOMPARE(station::lastRunInterrupted(), !released);
    const QList<QByteArray> lines = linesOf(log);
    const bool restart = std::any_of(lines.begin(), lines.end(), [](const QByteArray& l) {
      return l.contains("\tstation-restart\tthe last run (process ") && l.contains("did not end cleanly");
    });
    QCOMPARE(restart, !released);
    const QString said = "\tstation-restart\tthe last run ended: " + launcherSaid.simplified();
    const bool told = std::any_of(lines.begin(), lines.end(), [&](const QByteArray& l) {
      return QString::fromUtf8(l).endsWith(said);
    });
    QCOMPARE(told, !launcherSaid.isEmpty());
  }
};

QTEST_MAIN(TestJournalFaults)
#include "test_journal_faults.moc"
