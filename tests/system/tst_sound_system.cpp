// The station's recorder on a real sound server: speech and tone bursts are
// played into a PulseAudio null sink, the recorder records its monitor (the
// default recording source) through SDL2 and oggenc, and the answer file is
// measured; then the file is played back through the same server.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

#include "audio/audio.h"
#include "audio/backend.h"
#include "window/main.h"
#include "support/modal.h"
#include "support/sound_file.h"

namespace {

constexpr int kRate = 44100;
constexpr double kBurst1Hz = 2000.0;
constexpr double kBurst2Hz = 3000.0;

bool run(const QString& program, const QStringList& args, int timeoutMs = 10000) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(timeoutMs)) {
    p.kill();
    p.waitForFinished();
    return false;
  }
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool finished(QProcess& p, int timeoutMs) {
  return (p.state() == QProcess::NotRunning || p.waitForFinished(timeoutMs)) && p.exitCode() == 0;
}

// Where the tone first makes up most of a 20 ms window; -1 if nowhere.
double findBurst(const std::vector<float>& mono, double hz, double fromSec, double toSec) {
  const std::size_t win = kRate / 50;
  for (auto at = std::size_t(fromSec * kRate); at + win <= std::min(mono.size(), std::size_t(toSec * kRate));
       at += win / 2) {
    if (test::rms(mono, at, at + win) > 0.05 && test::toneShare(mono, kRate, hz, at, at + win) > 0.6)
      return double(at) / kRate;
  }
  return -1.0;
}

}  // namespace

class TestSoundSystem : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  TfrmMain* main_ = nullptr;
  // Where the two bursts lie in the recorded answer: each paplay starts when
  // the machine gets round to it, so their distance is the file's own.
  double fileBurst1_ = -1, fileBurst2_ = -1, fileSeconds_ = 0;
  test::ModalAnswerer boxes_;  // answers every box with OK

  QString path(const QString& name) const { return tmp_.filePath(name); }

 private slots:
  void initTestCase() {
    QVERIFY(tmp_.isValid());
    // A missing server must fail here, clearly and at once.
    QVERIFY2(run(QStringLiteral("pactl"), {QStringLiteral("info")}, 5000),
             "no PulseAudio server answers at PULSE_SERVER: start it with tools/sound-server");
    QVERIFY2(run(QStringLiteral("espeak-ng"),
                 {QStringLiteral("-w"), path(QStringLiteral("speech.wav")), QStringLiteral("-s"),
                  QStringLiteral("150"), QStringLiteral("Station check. One two three four five.")}),
             "espeak-ng cannot make the speech");
    QVERIFY(test::writeSoundFile(path(QStringLiteral("burst1.wav")), test::tone(kBurst1Hz, 0.5, kRate / 8), kRate, 2));
    QVERIFY(test::writeSoundFile(path(QStringLiteral("burst2.wav")), test::tone(kBurst2Hz, 0.5, kRate / 8), kRate, 2));

    main_ = new TfrmMain();  // the real SDL2 devices
    QCOMPARE(boxes_.texts(), QStringList());
  }
  void cleanupTestCase() {
    delete main_;
    run(QStringLiteral("pkill"), {QStringLiteral("-KILL"), QStringLiteral("-f"), QStringLiteral("/tmp/quorvel-pulse-loss-%1/").arg(getpid())});
  }

  void recordsSpeechWithItsBeginningAndEnd() {
    const QString answer = path(QStringLiteral("answer 01.ogg"));
    QElapsedTimer clock;
    main_->StartRecording(answer);
    clock.start();
    QVERIFY(RecordChannel != 0);
    QProcess burst1, speech, burst2;
    burst1.start(QStringLiteral("paplay"), {path(QStringLiteral("burst1.wav"))});
    QTest::qWait(600);
    speech.start(QStringLiteral("paplay"), {path(QStringLiteral("speech.wav"))});
    // The second burst is played and has reached the sink right before the stop.
    while (clock.elapsed() < 4830) QTest::qWait(5);
    burst2.start(QStringLiteral("paplay"), {path(QStringLiteral("burst2.wav"))});
    QVERIFY(finished(burst2, 3000));
    const qint64 stoppedAt = clock.elapsed();
    main_->StopRecording(answer);
    const qint64 stopTook = clock.elapsed() - stoppedAt;
    QVERIFY(finished(burst1, 3000));
    QVERIFY(finished(speech, 10000));

    QCOMPARE(boxes_.texts(), QStringList());
    QVERIFY(RecordedStream != 0);
    const test::SoundFile f = test::readSoundFile(answer);
    QVERIFY(f.ok);
    QCOMPARE(f.rate, kRate);
    QCOMPARE(f.channels, 2);
    const auto left = f.channel(0);
    const double b1 = findBurst(left, kBurst1Hz, 0.0, 1.0);
    const double b2 = findBurst(left, kBurst2Hz, f.seconds() - 1.0, f.seconds());
    const double speechLevel = test::rms(left, std::size_t(1.0 * kRate), std::size_t(4.0 * kRate));
    qInfo("length %.3f s (stopped at %.3f s, stop took %lld ms); burst 1 at %.3f s, burst 2 at %.3f s; "
          "speech rms %.4f",
          f.seconds(), stoppedAt / 1000.0, stopTook, b1, b2, speechLevel);
    fileBurst1_ = b1, fileBurst2_ = b2, fileSeconds_ = f.seconds();
    QVERIFY(std::abs(f.seconds() - 5.0) <= 0.3);
    QVERIFY2(b1 >= 0, "the burst played right after the start is not in the file");
    QVERIFY2(b2 >= 0, "the burst played right before the stop is not in the file");
    QVERIFY2(speechLevel > 0.01, "the speech is not audible in the file");
  }

  // The recording plays back through the same server: caught at the sink's
  // monitor (by parec, which keeps up with any stream), it is all there, and
  // in time: a playback that runs dry puts the server's silence between the
  // bursts, which a participant hears as a stutter.
  void playsBackThroughTheServer() {
    const audio::Handle s = audio::streamCreateFile(path(QStringLiteral("answer 01.ogg")));
    QVERIFY(s != 0);
    QProcess parec;
    parec.start(QStringLiteral("parec"), {QStringLiteral("--raw"), QStringLiteral("--latency-msec=10"),
                                          QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                                          QStringLiteral("--channels=2")});
    QVERIFY(parec.waitForStarted(3000));
    QTest::qWait(200);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(audio::channelPlay(s, true));
    QCOMPARE(audio::channelIsActive(s), int(audio::Playing));
    QTRY_COMPARE_WITH_TIMEOUT(audio::channelIsActive(s), int(audio::Stopped), 10000);
    const qint64 played = clock.elapsed();
    QTest::qWait(300);
    parec.terminate();
    QVERIFY(parec.waitForFinished(3000));
    QVERIFY(audio::streamFree(s));
    const QByteArray raw = parec.readAllStandardOutput();
    std::vector<float> left;
    const auto* pcm = reinterpret_cast<const std::int16_t*>(raw.constData());
    for (qsizetype i = 0; i + 1 < raw.size() / 2; i += 2) left.push_back(pcm[i] / 32768.0f);
    const double seconds = double(left.size()) / kRate;
    const double b1 = findBurst(left, kBurst1Hz, 0.0, seconds);
    const double b2 = findBurst(left, kBurst2Hz, 0.0, seconds);
    qInfo("played back in %lld ms; at the monitor: burst 1 at %.3f s, burst 2 at %.3f s", played, b1, b2);
    QVERIFY2(fileBurst1_ >= 0 && fileBurst2_ >= 0, "the recording with the two bursts is missing");
    // Ended once the last block was handed to the server, one block before it is heard.
    QVERIFY2(played >= fileSeconds_ * 1000 - 200 && played < fileSeconds_ * 1000 + 1000, qPrintable(QString::number(fileSeconds_)));
    QVERIFY2(b1 >= 0 && b2 >= 0, "the bursts are not heard at the sink");
    QVERIFY2(std::abs((b2 - b1) - (fileBurst2_ - fileBurst1_)) < 0.05,
             qPrintable(QString("%1 s apart in the file").arg(fileBurst2_ - fileBurst1_)));
    QVERIFY(test::rms(left, std::size_t((b1 + 1.0) * kRate), std::size_t((b1 + 3.5) * kRate)) > 0.01);
    QCOMPARE(boxes_.texts(), QStringList());
  }

  // The sound server killed during an answer (one of this test's own, not
  // the shared one): told within a second, the answer goes on in silence
  // and keeps the clock, its end without a microphone told; with a server
  // back the next recording works without a restart.
  void serverGoneAndBack() {
    const QString dir = QStringLiteral("/tmp/quorvel-pulse-loss-%1").arg(getpid());
    auto server = [&](bool start) {
      if (!start) return run(QStringLiteral("pkill"), {QStringLiteral("-KILL"), QStringLiteral("-f"), dir + "/server.pa"});
      qputenv("QUORVEL_PULSE_DIR", dir.toLocal8Bit());
      return run(QStringLiteral(QUORVEL_SOUND_SERVER), {}, 30000);
    };
    delete main_;
    audio::setBackend(nullptr);  // SDL connects afresh, to the server below
    QVERIFY(server(true));
    qputenv("PULSE_SERVER", "unix:" + dir.toLocal8Bit() + "/native");
    main_ = new TfrmMain();
    const QString cut = path(QStringLiteral("cut.ogg")), again = path(QStringLiteral("again.ogg"));
    QElapsedTimer recording;
    recording.start();
    main_->StartRecording(cut);
    QTest::qWait(1500);
    QElapsedTimer sinceKill;
    sinceKill.start();
    QVERIFY(server(false));
    QTRY_VERIFY_WITH_TIMEOUT(boxes_.count() > 0, 5000);
    qInfo("told %lld ms after the server was killed", sinceKill.elapsed());
    QVERIFY(sinceKill.elapsed() < 1000);
    QVERIFY2(boxes_.texts()[0].startsWith(QStringLiteral("Микрофон отключился (")), qPrintable(boxes_.texts()[0]));
    QVERIFY(main_->isRecording());
    main_->StopRecording(cut);
    const double wall = recording.elapsed() / 1000.0;
    QCOMPARE(boxes_.count(), 2);
    QVERIFY2(boxes_.texts()[1].startsWith(QStringLiteral("Микрофон отключился в")), qPrintable(boxes_.texts()[1]));
    QVERIFY2(std::abs(test::readSoundFile(cut).seconds() - wall) < 0.5, qPrintable(QString::number(wall)));

    QVERIFY(server(true));
    main_->StartRecording(again);
    QTest::qWait(1000);
    main_->StopRecording(again);
    QCOMPARE(boxes_.count(), 2);
    QVERIFY(test::readSoundFile(again).seconds() > 0.8);
    server(false);
    QDir(dir).removeRecursively();
  }
};

QTEST_MAIN(TestSoundSystem)
#include "tst_sound_system.moc"
