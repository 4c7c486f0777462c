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

class TestStationProcess : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

  std::unique_ptr<QProcess> launch(const QString& drive = {}, const QString& platform = "offscreen",
                                   const QString& scaleFactor = {}, const QString& workingDir = {},
                                   const QString& program = {}) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", platform);
    if (!scaleFactor.isEmpty()) env.insert("QT_SCALE_FACTOR", scaleFactor);
    env.insert("SDL_AUDIODRIVER", "dummy");
    env.insert("LD_PRELOAD", STATION_DRIVER);
    env.insert("QUORVEL_DRIVER", drive);
    p->setProcessEnvironment(env);
    if (!workingDir.isEmpty()) p->setWorkingDirectory(workingDir);
    p->start(program.isEmpty() ? dir_.filePath("quorvel") : program, {});
    return p;
  }
  // Everything the helper has said until a line starting with prefix.
  static QString waitLine(QProcess& p, const QString& prefix) {
    QString said;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000 && (p.state() != QProcess::NotRunning || p.canReadLine())) {
      if (!p.canReadLine() && !p.waitForReadyRead(100)) continue;
      const QString line = QString::fromUtf8(p.readLine());
      said += line;
      if (line.startsWith(prefix)) break;
    }
    return said;
  }
  // Sends sig and waits for the end: how long it took (-1: no end).
  static qint64 endWith(QProcess& p, int sig) {
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(p.processId()), sig);
    return p.waitForFinished(10000) ? clock.elapsed() : -1;
  }

 private slots:
  void initTestCase() {
    QVERIFY(QFile::copy(QStringLiteral(QUORVEL_PROGRAM), dir_.filePath("quorvel")));
    QVERIFY(test::copyTree(QStringLiteral(QUORVEL_SAMPLE_KIM), dir_.filePath("KIM")));
    QDir::setCurrent(dir_.path());  // the station's current folder too
  }

  // A shut-down's SIGTERM, Ctrl+C and a hang-up end the station during a
  // recording: the file is finished, within 2 s, and the exit status is
  // 128 + the signal's number, never the organiser's 0.
  void signalsEndTheStationCleanly_data() {
    QTest::addColumn<int>("sig");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
  }
  void signalsEndTheStationCleanly() {
    QFETCH(int, sig);
    QFile::remove("test.ogg");
    auto station = launch("record");
    const QString said = waitLine(*station, "recording");
    QVERIFY2(said.endsWith("recording\n") && !said.contains("box:"), qPrintable(said));
    QTest::qWait(1500);
    const qint64 took = endWith(*station, sig);
    qInfo("ended %lld ms after the signal", took);
    QVERIFY(took >= 0 && took < 2000);
    QCOMPARE(station->exitStatus(), QProcess::NormalExit);
    QCOMPARE(station->exitCode(), 128 + sig);
    QVERIFY(test::readSoundFile("test.ogg").seconds() >= 1.3);
  }

  // A program beside its own KIM works in its own folder wherever it is
  // started from (the subject file is found, the lock and the test
  // recording lie beside the program), even in a folder with another KIM.
  // An installed program (no KIM beside it) works in the folder it is
  // started in: the lock and the test recording are there, nothing beside
  // the program.
  void startedFromAnotherFolder_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("ownKim");
    QTest::newRow("the current folder has no KIM") << false << false;
    QTest::newRow("the current folder has its own KIM") << false << true;
    QTest::newRow("installed, started in a station folder") << true << true;
  }
  void startedFromAnotherFolder() {
    QFETCH(bool, installed);
    QFETCH(bool, ownKim);
    QTemporaryDir elsewhere, bin;
    if (ownKim) QVERIFY(test::copyTree(QStringLiteral(QUORVEL_SAMPLE_KIM), elsewhere.filePath("KIM")));
    const QString programFolder = installed ? bin.path() : dir_.path();
    if (installed) QVERIFY(QFile::copy(QStringLiteral(QUORVEL_PROGRAM), bin.filePath("quorvel")));
    QFile::remove(dir_.filePath("test.ogg"));
    auto station = launch("record", "offscreen", {}, elsewhere.path(), programFolder + "/quorvel");
    const QString said = waitLine(*station, "recording");
    QVERIFY2(said.endsWith("recording\n") && !said.contains("box:"), qPrintable(said));
    const QString used = installed ? elsewhere.path() : dir_.path();
    const QString unused = installed ? programFolder : elsewhere.path();
    QVERIFY(QFile::exists(used + "/station.lock"));
    QVERIFY(!QFile::exists(unused + "/station.lock"));
    QTest::qWait(1500);
    QVERIFY(endWith(*station, SIGTERM) >= 0);
    QCOMPARE(station->exitCode(), 128 + SIGTERM);
    QVERIFY(test::readSoundFile(used + "/test.ogg").seconds() >= 1.0);
    QVERIFY(!QFile::exists(unused + "/test.ogg"));
  }

  // A second station from the same folder says so and ends before any window
  // of its own; the lock of a station that was killed does not count.
  // The station on screens of every size: the three windows inside the
  // screen's area, none of the equipment check's controls cut off; at the
  // designed size and above the main window is exactly 1016 x 713, below it
  // is built smaller in the same proportions.
  void windowsFitTheScreen_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QString>("scaleFactor");
    QTest::addColumn<QSize>("window");  // in the screen's pixels
    QTest::newRow("1016x713") << QSize(1016, 713) << QString() << QSize(1016, 713);
    QTest::newRow("1280x1024") << QSize(1280, 1024) << QString() << QSize(1016, 713);
    QTest::newRow("1920x1080 at 1.5") << QSize(1920, 1080) << "1.5" << QSize(1524, 1070);
    QTest::newRow("1366x768") << QSize(1366, 768) << QString() << QSize(1016, 713);
    QTest::newRow("1024x600") << QSize(1024, 600) << QString() << QSize(854, 599);
    QTest::newRow("800x600") << QSize(800, 600) << QString() << QSize(800, 561);
    QTest::newRow("1366x768 at 1.5") << QSize(1366, 768) << "1.5" << QSize(1094, 768);
  }
  void windowsFitTheScreen() {
    QFETCH(QSize, screen);
    QFETCH(QString, scaleFactor);
    QFETCH(QSize, window);
    const QString config = dir_.filePath(QStringLiteral("screen-%1x%2.json").arg(screen.width()).arg(screen.height()));
    QFile f(config);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral(R"({"screens": [{"name": "station", "x": 0, "y": 0, "width": %1, "height": %2,)"
                           R"( "logicalDpi": 96, "logicalBaseDpi": 96}]})")
                .arg(screen.width())
                .arg(screen.height())
                .toUtf8());
    f.close();
    auto station = launch("geometry", "offscreen:configfile=" + config, scaleFactor);
    const QString said = waitLine(*station, "done");
    endWith(*station, SIGTERM);
    QVERIFY2(said.contains("done"), qPrintable(said));
    QVERIFY2(!said.contains("cut: "), qPrintable(said));
    // Positions and sizes in the screen's own pixels.
    const double dpr = scaleFactor.isEmpty() ? 1.0 : scaleFactor.toDouble();
    auto rect = [&](const QString& prefix) {
      const QStringList v = said.section(prefix, 1).section('\n', 0, 0).split(' ', Qt::SkipEmptyParts);
      if (v.size() != 4) return QRect();
      return QRect(qRound(v[0].toInt() * dpr), qRound(v[1].toInt() * dpr), qRound(v[2].toInt() * dpr),
                   qRound(v[3].toInt() * dpr));
    };
    const QRect area = rect("screen: ");
    QVERIFY2(qAbs(area.width() - screen.width()) <= 2 && qAbs(area.height() - screen.height()) <= 2,
             qPrintable(said));
    const QRect main = rect("geometry: frmMain ");
    QVERIFY2(qAbs(main.width() - window.width()) <= 2 && qAbs(main.height() - window.height()) <= 2,
             qPrintable(said));
    for (const char* name : {"frmMain ", "_FiveSec ", "frmTestRTF "}) {
      const QRect r = rect(QStringLiteral("geometry: ") + name);
      QVERIFY2(!r.isEmpty() && area.adjusted(-1, -1, 1, 1).contains(r), qPrintable(name + said));
    }
    QCOMPARE(rect("geometry: _FiveSec "), main);
  }

  void oneStationPerFolder() {
    auto first = launch();
    QVERIFY(waitLine(*first, "window: frmMain").contains("window: frmMain"));
    auto second = launch();
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 1);
    const QString text = QStringLiteral("Из папки \"%1\" уже запущена станция.").arg(dir_.path());
    QVERIFY(QString::fromUtf8(second->readAllStandardOutput()).startsWith("box: " + text + "\\n"));
    QVERIFY(QString::fromLocal8Bit(second->readAllStandardError()).contains(text));

    QVERIFY(endWith(*first, SIGKILL) >= 0);
    QVERIFY(QFile::exists("station.lock"));
    auto third = launch();
    const QString said = waitLine(*third, "window: frmMain");
    QVERIFY2(said.contains("window: frmMain") && !said.contains("box:"), qPrintable(said));
    QVERIFY(endWith(*third, SIGTERM) >= 0);
    QCOMPARE(third->exitCode(), 128 + SIGTERM);
  }
};

QTEST_GUILESS_MAIN(TestStationProcess)
#include "test_station_process.moc"
