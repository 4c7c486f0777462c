// The real station program in a temporary station folder (offscreen, SDL's
// dummy sound driver), with a helper library preloaded into it that reports
// its windows and boxes and can press the record button: the signals that
// end it, and one station per program folder.
#include <signal.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>
#include <memory>

#include "station_fixture.h"
#include "support/sound_file.h"

namespace {

struct Station {
  std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
  QStringList lines;  // what the helper said so far

  // Waits until a line starting with prefix has been said.
  bool waitLine(const QString& prefix, int timeoutMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
      while (process->canReadLine()) lines << QString::fromUtf8(process->readLine()).trimmed();
      for (const QString& l : lines)
        if (l.startsWith(prefix)) return true;
      if (clock.elapsed() > timeoutMs || process->state() == QProcess::NotRunning) return false;
      process->waitForReadyRead(100);
    }
  }
  QStringList said(const QString& prefix) {
    lines << QString::fromUtf8(process->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
  }
  // Sends sig; the exit status and how long the station took to end.
  qint64 endWith(int sig) {
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(process->processId()), sig);
    if (!process->waitForFinished(10000)) return -1;
    return clock.elapsed();
  }
  ~Station() {
    if (process->state() != QProcess::NotRunning) {
      process->kill();
      process->waitForFinished(5000);
    }
  }
};

}  // namespace

class TestStationProcess : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

  std::unique_ptr<Station> launch(const QByteArray& drive = {}) {
    auto s = std::make_unique<Station>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(STATION_DRIVER));
    env.insert(QStringLiteral("QUORVEL_DRIVER"), QString::fromLatin1(drive));
    s->process->setProcessEnvironment(env);
    s->process->setWorkingDirectory(dir_.path());
    s->process->start(dir_.filePath(QStringLiteral("quorvel")), {});
    return s;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(QFile::copy(QStringLiteral(QUORVEL_PROGRAM), dir_.filePath(QStringLiteral("quorvel"))));
    QVERIFY(test::copyTree(QStringLiteral(QUORVEL_SAMPLE_KIM), dir_.filePath(QStringLiteral("KIM"))));
  }

  // A shut-down's SIGTERM, Ctrl+C and a hang-up end the station during a
  // recording: the file is finished, the exit status is 0, within 2 s.
  void signalsEndTheStationCleanly_data() {
    QTest::addColumn<int>("sig");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
  }
  void signalsEndTheStationCleanly() {
    QFETCH(int, sig);
    const QString recording = dir_.filePath(QStringLiteral("test.ogg"));
    QFile::remove(recording);
    auto station = launch("record");
    QVERIFY2(station->waitLine(QStringLiteral("recording")), qPrintable(station->lines.join('\n')));
    QTest::qWait(1500);
    const qint64 took = station->endWith(sig);
    qInfo("ended %lld ms after the signal", took);
    QVERIFY(took >= 0 && took < 2000);
    QCOMPARE(station->process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(station->process->exitCode(), 0);
    QCOMPARE(station->said(QStringLiteral("box:")), QStringList());
    const test::SoundFile f = test::readSoundFile(recording);
    QVERIFY(f.ok);
    QVERIFY2(f.seconds() >= 1.3, qPrintable(QString::number(f.seconds())));
  }

  // A second station from the same folder says so and ends before any window
  // of its own; the lock of a station that was killed does not count.
  void oneStationPerFolder() {
    auto first = launch();
    QVERIFY(first->waitLine(QStringLiteral("window: frmMain")));
    auto second = launch();
    QVERIFY(second->process->waitForFinished(20000));
    QCOMPARE(second->process->exitCode(), 1);
    const QString folder = QDir(dir_.path()).absolutePath();
    const QStringList boxes = second->said(QStringLiteral("box:"));
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].startsWith(QStringLiteral("box: Из папки \"%1\" уже запущена станция.").arg(folder)),
             qPrintable(boxes[0]));
    QCOMPARE(second->said(QStringLiteral("window:")), QStringList());
    QVERIFY(QString::fromLocal8Bit(second->process->readAllStandardError()).contains(folder));

    QVERIFY(first->endWith(SIGKILL) >= 0);
    QVERIFY(QFile::exists(dir_.filePath(QStringLiteral("station.lock"))));
    auto third = launch();
    QVERIFY(third->waitLine(QStringLiteral("window: frmMain")));
    QCOMPARE(third->said(QStringLiteral("box:")), QStringList());
    QVERIFY(third->endWith(SIGTERM) >= 0);
    QCOMPARE(third->process->exitCode(), 0);
  }
};

QTEST_GUILESS_MAIN(TestStationProcess)
#include "test_station_process.moc"
