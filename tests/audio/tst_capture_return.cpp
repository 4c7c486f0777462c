// The recording device of a real sound server goes away during a recording
// and comes back, or the server moves the recording to another input: the
// real SDL2 path and the real oggenc. The test starts a PulseAudio server of
// its own (tools/sound-server in a folder of its own) and changes only that
// one, so that runs on the shared server are not disturbed.
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "audio/audio.h"
#include "audio/backend.h"
#include "support/sound_file.h"

namespace {

constexpr int kRate = 44100;
constexpr double kHz = 1500.0;

// The sink and source of tools/sound-server, as it loads them.
const QStringList kNullSink{QStringLiteral("module-null-sink"), QStringLiteral("sink_name=quorvel_null"),
                            QStringLiteral("rate=44100"), QStringLiteral("channels=2"),
                            QStringLiteral("norewinds=1"),
                            QStringLiteral("sink_properties=device.description=Quorvel_null_sink")};
const QStringList kDrainSink{QStringLiteral("module-null-sink"), QStringLiteral("sink_name=quorvel_drain"),
                             QStringLiteral("rate=44100"), QStringLiteral("channels=2"),
                             QStringLiteral("sink_properties=device.description=Quorvel_drain")};
const QStringList kLoopback{QStringLiteral("module-loopback"), QStringLiteral("source=quorvel_null.monitor"),
                            QStringLiteral("sink=quorvel_drain"), QStringLiteral("latency_msec=60"),
                            QStringLiteral("source_dont_move=true"), QStringLiteral("sink_dont_move=true")};

QString pactl(const QStringList& args, bool* ok = nullptr) {
  QProcess p;
  p.start(QStringLiteral("pactl"), args);
  const bool done = p.waitForFinished(5000);
  if (!done) p.kill(), p.waitForFinished();
  if (ok) *ok = done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The index of the loaded module whose arguments start as `args` say.
QString moduleIndex(const QStringList& args) {
  for (const QString& line : pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("modules")})
                                 .split(QLatin1Char('\n'))) {
    const QStringList cols = line.split(QLatin1Char('\t'));
    if (cols.size() >= 3 && cols[1] == args[0] && cols[2].startsWith(args[1])) return cols[0];
  }
  return {};
}

bool unload(const QStringList& args) {
  const QString index = moduleIndex(args);
  bool ok = false;
  if (!index.isEmpty()) pactl({QStringLiteral("unload-module"), index}, &ok);
  return ok;
}

bool load(const QStringList& args) {
  bool ok = false;
  pactl(QStringList{QStringLiteral("load-module")} + args, &ok);
  return ok;
}

}  // namespace

class TestCaptureReturn : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  QString serverDir_;
  QProcess tone_;

  bool playTone() {
    tone_.start(QStringLiteral("paplay"), {QStringLiteral("--device=quorvel_null"), tmp_.filePath("tone.wav")});
    return tone_.waitForStarted(3000);
  }
  void stopTone() {
    if (tone_.state() == QProcess::NotRunning) return;
    tone_.terminate();
    if (!tone_.waitForFinished(3000)) tone_.kill(), tone_.waitForFinished();
  }
  audio::Handle start(const QString& file) {
    const audio::Handle h = audio::recordStart(kRate, 2, audio::kRecordPause, nullptr, nullptr);
    if (h == 0 || audio::encodeStart(h, {QStringLiteral("oggenc"), QStringLiteral("-o"), file, QStringLiteral("-")},
                                     audio::kEncodeAutoFree) == 0)
      return 0;
    return audio::channelPlay(h, false) ? h : 0;
  }

 private slots:
  void initTestCase() {
    QVERIFY(tmp_.isValid());
    QVERIFY(test::writeSoundFile(tmp_.filePath("tone.wav"), test::tone(kHz, 0.5, 30 * kRate), kRate, 2));
    serverDir_ = QStringLiteral("/tmp/quorvel-pulse-return-%1").arg(getpid());
    QProcess server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORVEL_PULSE_DIR"), serverDir_);
    server.setProcessEnvironment(env);
    server.start(QStringLiteral(QUORVEL_SOUND_SERVER), {});
    QVERIFY2(server.waitForFinished(30000) && server.exitCode() == 0, "no PulseAudio server of the test's own");
    qputenv("PULSE_SERVER", "unix:" + serverDir_.toLocal8Bit() + "/native");
    audio::setBackend(nullptr);  // SDL connects afresh, to the server above
    QVERIFY(audio::recordInit(-1));
    QVERIFY(audio::init(-1, kRate, 0, 0));
  }
  // A case that failed half-way leaves no recording behind for the next.
  void cleanup() {
    stopTone();
    const audio::Handle h = audio::recordStart(kRate, 2, audio::kRecordPause, nullptr, nullptr);
    if (h == 0 && audio::errorGetCode() == audio::ErrAlready) audio::recordFree(), audio::recordInit(-1);
    else audio::channelStop(h);
  }
  void cleanupTestCase() {
    stopTone();
    audio::recordFree();
    audio::free();
    pactl({QStringLiteral("exit")});
    QDir(serverDir_).removeRecursively();
  }

  // The server makes another input the default one during a recording and
  // moves the recording there: the change is told with both names. (First:
  // SDL 2.26 may no longer name the default source once it has been
  // removed and added again, as the next case does.)
  void movedToAnotherInput() {
    const audio::Handle h = start(tmp_.filePath("moved.ogg"));
    QVERIFY(h != 0);
    QTRY_VERIFY_WITH_TIMEOUT(!audio::recordStatus(h).device.isEmpty(), 3000);
    const QString before = audio::recordStatus(h).device;
    QVERIFY(load({QStringLiteral("module-null-sink"), QStringLiteral("sink_name=quorvel_other"),
                  QStringLiteral("sink_properties=device.description=Quorvel_other")}));
    pactl({QStringLiteral("set-default-source"), QStringLiteral("quorvel_other.monitor")});
    QTRY_VERIFY_WITH_TIMEOUT(audio::recordStatus(h).deviceChanges == 1, 4000);
    const QString after = audio::recordStatus(h).device;
    QCOMPARE(audio::channelIsActive(h), int(audio::Playing));
    QVERIFY(audio::channelStop(h));
    // Back as tools/sound-server had it.
    pactl({QStringLiteral("set-default-source"), QStringLiteral("quorvel_null.monitor")});
    QVERIFY(unload({QStringLiteral("module-null-sink"), QStringLiteral("sink_name=quorvel_other")}));
    qInfo("recorded from '%s', moved to '%s'", qPrintable(before), qPrintable(after));
    const auto events = audio::recordEvents(h);
    QVERIFY(!events.empty());
    QCOMPARE(events.front().kind, int(audio::DeviceChanged));
    QCOMPARE(events.front().previous, before);
    QCOMPARE(events.front().device, after);
    QVERIFY(after.contains(QStringLiteral("Quorvel_other")));
  }

  // The only recording source goes away (its module unloaded, nothing left
  // to fall back on) and comes back: one file as long as the wall clock,
  // silence in the gap, the tone after the return.
  void onlySourceGoneAndBack() {
    const QString file = tmp_.filePath("return.ogg");
    QVERIFY(playTone());
    QTest::qWait(300);
    QElapsedTimer wall;
    const audio::Handle h = start(file);
    wall.start();
    QVERIFY(h != 0);
    QTest::qWait(1500);
    stopTone();
    QVERIFY(unload(kLoopback));
    QVERIFY(unload(kDrainSink));
    // The source is the null sink's monitor: it goes while this unload runs,
    // which a busy sound server may take a while over.
    const double goneFrom = wall.elapsed() / 1000.0;
    QVERIFY(unload(kNullSink));
    const double goneAt = wall.elapsed() / 1000.0;
    QTRY_VERIFY_WITH_TIMEOUT(audio::recordStatus(h).deviceLost, 2000);
    QTest::qWait(1500);
    QCOMPARE(audio::channelIsActive(h), int(audio::Playing));
    QVERIFY(audio::recordStatus(h).deviceLost);
    // Back as tools/sound-server had it.
    const double backAt = wall.elapsed() / 1000.0;
    QVERIFY(load(kNullSink));
    pactl({QStringLiteral("set-default-sink"), QStringLiteral("quorvel_null")});
    pactl({QStringLiteral("set-default-source"), QStringLiteral("quorvel_null.monitor")});
    QVERIFY(load(kDrainSink));
    QVERIFY(load(kLoopback));
    QVERIFY(playTone());
    QTRY_VERIFY_WITH_TIMEOUT(!audio::recordStatus(h).deviceLost, 3000);
    QTest::qWait(1500);
    QVERIFY(audio::channelStop(h));
    const double seconds = wall.elapsed() / 1000.0;
    stopTone();

    const audio::RecordStatus st = audio::recordStatus(h);
    QCOMPARE(int(st.gaps.size()), 1);
    const audio::RecordGap gap = st.gaps[0];
    const test::SoundFile f = test::readSoundFile(file);
    QVERIFY(f.ok);
    qInfo("file %.3f s, wall %.3f s; gap %.3f..%.3f s (gone at %.3f..%.3f s, back at %.3f s); device '%s'", f.seconds(),
          seconds, gap.fromMs / 1000.0, gap.toMs / 1000.0, goneFrom, goneAt, backAt, qPrintable(st.device));
    QVERIFY(std::abs(f.seconds() - seconds) < 0.5);
    QVERIFY(gap.cameBack);
    QVERIFY(gap.fromMs / 1000.0 > goneFrom - 0.5 && gap.fromMs / 1000.0 < goneAt + 0.5);
    QVERIFY(gap.toMs / 1000.0 > backAt - 0.2 && gap.toMs / 1000.0 < backAt + 1.5);
    const auto left = f.channel(0);
    const auto at = [](double s) { return std::size_t(std::max(0.0, s) * kRate); };
    QVERIFY(test::rms(left, at(gap.fromMs / 1000.0 + 0.1), at(gap.toMs / 1000.0 - 0.1)) < 1e-3);
    QVERIFY(test::toneShare(left, kRate, kHz, at(gap.toMs / 1000.0 + 0.4), left.size() - at(0.3)) > 0.8);
  }
};

QTEST_GUILESS_MAIN(TestCaptureReturn)
#include "tst_capture_return.moc"
