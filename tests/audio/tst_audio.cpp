// The sound interface end to end: synthetic device in, the real oggenc,
// files read back with libsndfile, played samples caught at the device.
#include <sndfile.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cmath>
#include <thread>

#include "audio/audio.h"
#include "probe.h"
#include "support/sound_file.h"
#include "support/synthetic_device.h"

using namespace std::chrono_literals;

namespace {

// Counts the frames the record proc saw: exactly what was fed to the encoder.
std::atomic<std::uint64_t> procFrames{0};
bool countingProc(audio::Handle h, const void*, std::uint32_t bytes, void*) {
  procFrames += bytes / 4;
  return audio::encodeIsActive(h) != audio::Stopped;
}

QStringList oggenc(const QString& file) {
  return {QStringLiteral("oggenc"), QStringLiteral("-o"), file, QStringLiteral("-")};
}

bool waitFor(const std::function<bool()>& cond, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  while (!cond()) {
    if (t.elapsed() > timeoutMs) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

}  // namespace

class TestAudio : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  QString oldCwd_;
  test::SyntheticDevice* dev_ = nullptr;

  // Records `frames` frames into file; returns the frames fed, or -1.
  qint64 record(const QString& file, std::uint64_t frames) {
    procFrames = 0;
    const audio::Handle h = audio::recordStart(44100, 2, audio::kRecordPause, &countingProc, nullptr);
    if (h == 0 || audio::encodeStart(h, oggenc(file), audio::kEncodeAutoFree) == 0) return -1;
    if (audio::channelIsActive(h) != audio::Paused || !audio::channelPlay(h, false)) return -1;
    if (!waitFor([&] { return procFrames >= frames; }, 20000)) return -1;
    if (!audio::channelStop(h)) return -1;
    return qint64(procFrames.load());
  }

 private slots:
  void initTestCase() {
    QVERIFY(tmp_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(tmp_.path());
    dev_ = test::installSyntheticDevice();
    dev_->setSpeed(8.0);
    QVERIFY(audio::recordInit(-1));
    QVERIFY(audio::init(-1, 44100, 0, 0));
  }
  void cleanupTestCase() {
    audio::recordFree();
    audio::free();
    audio::stop();
    QDir::setCurrent(oldCwd_);
  }

  void recordsToneIntoFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("seconds");
    QTest::newRow("plain name") << "answer.ogg" << 440.0 << 2.0;
    QTest::newRow("space in the name") << "my answer 01.ogg" << 1000.0 << 1.0;
    QTest::newRow("relative subfolder") << "Answer_K/answer_02.ogg" << 2500.0 << 1.0;
    QTest::newRow("absolute, Cyrillic") << tmp_.filePath(QStringLiteral("ответ 03.ogg")) << 660.0 << 1.0;
  }
  void recordsToneIntoFile() {
    QFETCH(QString, file);
    QFETCH(double, hz);
    QFETCH(double, seconds);
    QDir().mkpath(QFileInfo(file).path());
    dev_->setTone(hz, 0.5);
    const qint64 fed = record(file, std::uint64_t(seconds * 44100));
    QVERIFY(fed > 0);
    // The file is complete as soon as channelStop has returned.
    const test::SoundFile f = test::readSoundFile(file);
    QVERIFY(f.ok);
    QCOMPARE(f.rate, 44100);
    QCOMPARE(f.channels, 2);
    QVERIFY2(std::abs(f.frames - fed) <= 44100 / 20,
             qPrintable(QStringLiteral("file %1 frames, fed %2").arg(f.frames).arg(fed)));
    const auto left = f.channel(0);
    QVERIFY(std::abs(test::dominantFrequency(left, 44100) - hz) < hz * 0.01);
    QVERIFY(test::toneShare(left, 44100, hz, 4410, left.size() - 4410) > 0.9);
    QVERIFY(std::abs(test::rms(left) - 0.5 / std::sqrt(2.0)) < 0.05);
  }

  // Every captured frame reaches the file, however the recording's end falls
  // against the bursts in which the samples go to the encoder: before the
  // first one, near one, between two, or after the pipe has been filled
  // faster than the encoder reads it.
  void everyCapturedFrameReachesTheFile_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("speed");
    QTest::newRow("shorter than one burst") << 0.05 << 8.0;
    QTest::newRow("about one burst") << 0.5 << 8.0;
    QTest::newRow("bursts and a remainder") << 2.3 << 8.0;
    QTest::newRow("faster than the encoder reads") << 8.0 << 200.0;
  }
  void everyCapturedFrameReachesTheFile() {
    QFETCH(double, seconds);
    QFETCH(double, speed);
    dev_->setTone(1000.0, 0.5);
    dev_->setSpeed(speed);
    const qint64 fed = record(QStringLiteral("edges.ogg"), std::uint64_t(seconds * 44100));
    dev_->setSpeed(8.0);
    QVERIFY(fed > 0);
    const test::SoundFile f = test::readSoundFile(QStringLiteral("edges.ogg"));
    QVERIFY(f.ok);
    QCOMPARE(f.frames, fed);
  }

  // The encoder's writer sleeps between bursts: a few wake-ups a second,
  // not one for each of the device's 100 blocks a second.
  void writerWakesAFewTimesASecond() {
    const audio::Handle h = audio::recordStart(44100, 2, audio::kRecordPause, &countingProc, nullptr);
    QVERIFY(audio::encodeStart(h, oggenc(QStringLiteral("quiet.ogg")), 0) != 0);
    dev_->setSpeed(1.0);
    QVERIFY(audio::channelPlay(h, false));
    QVERIFY(dev_->waitCaptured(4410, 2000));
    const long before = probe::threadWakeups(QStringLiteral("encoder-feed"));
    QVERIFY(dev_->waitCaptured(2 * 44100, 5000));
    const long wakeups = probe::threadWakeups(QStringLiteral("encoder-feed")) - before;
    dev_->setSpeed(8.0);
    QVERIFY(audio::channelStop(h));
    QVERIFY2(before >= 0 && wakeups <= 2 * 6, qPrintable(QStringLiteral("%1 wake-ups in 2 s").arg(wakeups)));
  }

  // An encoder that ends is seen at once, also while no burst is on its way
  // to it: the writer does not wait for the next burst or its idle look.
  void encoderEndSeenBetweenBursts_data() {
    QTest::addColumn<bool>("paused");
    QTest::newRow("paused, nothing captured") << true;
    QTest::newRow("recording, before the first burst") << false;
  }
  void encoderEndSeenBetweenBursts() {
    QFETCH(bool, paused);
    dev_->setSpeed(1.0);
    const audio::Handle h = audio::recordStart(44100, 2, audio::kRecordPause, &countingProc, nullptr);
    QVERIFY(audio::encodeStart(h, oggenc(QStringLiteral("gone.ogg")), 0) != 0);
    if (!paused) QVERIFY(audio::channelPlay(h, false));
    QVERIFY(dev_->waitCaptured(4410, 2000));
    QCOMPARE(audio::encodeIsActive(h), int(audio::Playing));
    QCOMPARE(probe::killChildren(SIGKILL), 1);
    QElapsedTimer sinceKill;
    sinceKill.start();
    QVERIFY(waitFor([&] { return audio::encodeIsActive(h) == audio::Stopped; }, 3000));
    const qint64 seen = sinceKill.elapsed();
    dev_->setSpeed(8.0);
    QVERIFY(!audio::channelStop(h));
    QCOMPARE(audio::errorGetCode(), int(audio::ErrEncoderEnded));
    QVERIFY(probe::children().isEmpty());
    QVERIFY2(seen < 400, qPrintable(QStringLiteral("seen after %1 ms").arg(seen)));
  }

  // Nothing named oggenc beside the test, nothing on PATH.
  void missingEncoderFailsToStart() {
    QTemporaryDir empty;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    const audio::Handle h = audio::recordStart(44100, 2, audio::kRecordPause, nullptr, nullptr);
    QVERIFY(h != 0);
    QCOMPARE(audio::encodeStart(h, oggenc(QStringLiteral("never.ogg")), audio::kEncodeAutoFree), 0u);
    QCOMPARE(audio::errorGetCode(), int(audio::ErrEncoderStart));
    qputenv("PATH", oldPath);
    QCOMPARE(audio::encodeIsActive(h), int(audio::Stopped));
    QVERIFY(audio::channelStop(h));
    QVERIFY(!QFile::exists(QStringLiteral("never.ogg")));
    QCOMPARE(audio::handleCount(), std::size_t(0));
  }

  // The encoder ends mid-answer: the record proc ends the recording, the
  // stop says so, and what was encoded before stays readable.
  void encoderKilledMidAnswer_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGKILL") << SIGKILL;
  }
  void encoderKilledMidAnswer() {
    QFETCH(int, signal);
    dev_->setTone(440, 0.5);
    procFrames = 0;
    const audio::Handle h = audio::recordStart(44100, 2, audio::kRecordPause, &countingProc, nullptr);
    QVERIFY(audio::encodeStart(h, oggenc(QStringLiteral("killed.ogg")), 0) != 0);
    QVERIFY(audio::channelPlay(h, false));
    // oggenc writes its file in blocks: after ten seconds most of it is out.
    QVERIFY(waitFor([] { return procFrames >= 10 * 44100; }, 10000));
    QCOMPARE(audio::encodeIsActive(h), int(audio::Playing));
    QCOMPARE(probe::killChildren(signal), 1);
    QVERIFY(waitFor([&] { return audio::channelIsActive(h) == audio::Stopped; }, 3000));
    QCOMPARE(audio::encodeIsActive(h), int(audio::Stopped));
    const std::uint64_t endedAt = procFrames;
    QVERIFY(dev_->waitCaptured(4410, 2000));
    QCOMPARE(procFrames.load(), endedAt);  // the proc is not called any more
    QVERIFY(!audio::channelStop(h));
    QCOMPARE(audio::errorGetCode(), int(audio::ErrEncoderEnded));
    QVERIFY(probe::children().isEmpty());
    const test::SoundFile f = test::readSoundFile(QStringLiteral("killed.ogg"));
    QVERIFY(f.ok);
    QVERIFY2(f.frames > 5 * 44100, qPrintable(QString::number(f.frames)));
  }

  // An encoder that cannot write its file (a file stands where its folder
  // should be) ends at once; that is seen too.
  void encoderCannotWriteItsFile() {
    QFile blocker(QStringLiteral("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    procFrames = 0;
    const audio::Handle h = audio::recordStart(44100, 2, audio::kRecordPause, &countingProc, nullptr);
    QVERIFY(audio::encodeStart(h, oggenc(QStringLiteral("blocker/x.ogg")), 0) != 0);
    QVERIFY(audio::channelPlay(h, false));
    QVERIFY(waitFor([&] { return audio::channelIsActive(h) == audio::Stopped; }, 5000));
    QVERIFY(!audio::channelStop(h));
    QCOMPARE(audio::errorGetCode(), int(audio::ErrEncoderEnded));
  }

  void playbackStreamsAllSamples_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("exact");
    QTest::newRow("WAV 44100 stereo") << "p1.wav" << 44100 << 2 << (SF_FORMAT_WAV | SF_FORMAT_PCM_16) << true;
    QTest::newRow("FLAC 44100 stereo") << "p2.flac" << 44100 << 2 << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16) << true;
    QTest::newRow("Ogg Vorbis 44100 stereo") << "p3.ogg" << 44100 << 2 << (SF_FORMAT_OGG | SF_FORMAT_VORBIS)
                                             << false;
    QTest::newRow("WAV 22050 mono") << "p4.wav" << 22050 << 1 << (SF_FORMAT_WAV | SF_FORMAT_PCM_16) << false;
    QTest::newRow("FLAC 48000 stereo") << "p5.flac" << 48000 << 2 << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16)
                                       << false;
  }
  void playbackStreamsAllSamples() {
    QFETCH(QString, file);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, format);
    QFETCH(bool, exact);
    const int frames = rate * 3 / 4;
    QVERIFY(test::writeSoundFile(file, test::tone(750.0, 0.4, frames, rate, channels), rate, channels, format));
    const test::SoundFile source = test::readSoundFile(file);
    QVERIFY(source.ok);

    dev_->clearPlayed();
    const audio::Handle s = audio::streamCreateFile(file);
    QVERIFY(s != 0);
    QVERIFY(audio::channelPlay(s, true));
    QCOMPARE(audio::channelIsActive(s), int(audio::Playing));
    QVERIFY(waitFor([&] { return audio::channelIsActive(s) == audio::Stopped; }, 5000));
    const std::vector<std::int16_t> played = dev_->played();
    QVERIFY(audio::streamFree(s));

    // The device got the whole file at 44100 Hz stereo, then silence.
    const std::size_t expected = std::size_t(std::llround(double(source.frames) * 44100 / rate));
    QVERIFY(played.size() / 2 >= expected);
    QVERIFY(played.size() / 2 < expected + 1024 + 2);
    std::vector<float> left;
    for (std::size_t i = 0; i < expected * 2; i += 2) left.push_back(played[i] / 32768.0f);
    QVERIFY(std::abs(test::dominantFrequency(left, 44100) - 750.0) < 5.0);
    for (std::size_t i = expected * 2 + 4; i < played.size(); ++i) QCOMPARE(played[i], std::int16_t(0));
    if (exact) {
      for (std::size_t i = 0; i < std::size_t(source.frames) * 2; ++i)
        QCOMPARE(played[i], std::int16_t(std::lround(source.samples[i] * 32768.0f)));
    }
    for (std::size_t i = 0; i < expected * 2; i += 2) QCOMPARE(played[i], played[i + 1]);
  }

  void restartPlaysFromTheStart() {
    QVERIFY(test::writeSoundFile(QStringLiteral("r.wav"), test::tone(500.0, 0.3, 44100 / 2), 44100, 2));
    dev_->clearPlayed();
    const audio::Handle s = audio::streamCreateFile(QStringLiteral("r.wav"));
    QVERIFY(audio::channelPlay(s, true));
    QVERIFY(waitFor([&] { return dev_->played().size() >= 2 * 8192; }, 3000));
    QVERIFY(audio::channelStop(s));
    QCOMPARE(audio::channelIsActive(s), int(audio::Stopped));
    dev_->clearPlayed();
    QVERIFY(audio::channelPlay(s, true));
    QVERIFY(waitFor([&] { return audio::channelIsActive(s) == audio::Stopped; }, 3000));
    const auto played = dev_->played();
    QVERIFY(played.size() / 2 >= 44100 / 2);
    const auto original = test::tone(500.0, 0.3, 44100 / 2);
    for (std::size_t i = 0; i < original.size(); ++i) QCOMPARE(played[i], original[i]);
    QVERIFY(audio::streamFree(s));
  }

  void unreadableFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("error");
    QTest::newRow("missing") << "missing.ogg" << QByteArray() << int(audio::ErrFileOpen);
    QTest::newRow("a folder") << "." << QByteArray() << int(audio::ErrFileOpen);
    QTest::newRow("empty") << "empty.ogg" << QByteArray("") << int(audio::ErrFileFormat);
    QTest::newRow("text") << "text.ogg" << QByteArray("not a sound\r\n") << int(audio::ErrFileFormat);
    QTest::newRow("broken Ogg") << "broken.ogg" << QByteArray("OggS\0\2\0\0garbage", 16) << int(audio::ErrFileFormat);
    QTest::newRow("absurd WAV header")
        << "absurd.wav"
        << QByteArray("RIFF\xff\xff\xff\xffWAVEfmt \x10\0\0\0\1\0\xff\xff\xff\xff\xff\xff\0\0\0\0\4\0\x10\0data\0\0\0\0",
                      44)
        << int(audio::ErrFileFormat);
  }
  void unreadableFiles() {
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, error);
    if (!content.isNull()) {
      QFile f(file);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(content);
    }
    QCOMPARE(audio::streamCreateFile(file), 0u);
    QCOMPARE(audio::errorGetCode(), error);
  }

  // Calls on 0 or on handles that are gone are harmless.
  void harmlessCalls() {
    QVERIFY(!audio::channelStop(0));
    QCOMPARE(audio::errorGetCode(), int(audio::ErrHandle));
    QCOMPARE(audio::channelIsActive(0), int(audio::Stopped));
    QCOMPARE(audio::encodeIsActive(0), int(audio::Stopped));
    QVERIFY(!audio::channelPlay(0, true));
    QVERIFY(!audio::streamFree(0));
    QVERIFY(!audio::channelStop(0xFFFFFFF0u));
    const audio::Handle h = audio::recordStart(44100, 2, audio::kRecordPause, nullptr, nullptr);
    QCOMPARE(audio::recordStart(44100, 2, 0, nullptr, nullptr), 0u);  // one at a time
    QCOMPARE(audio::errorGetCode(), int(audio::ErrAlready));
    QVERIFY(!audio::streamFree(h));  // not a stream
    QVERIFY(audio::channelStop(h));
    QVERIFY(!audio::channelStop(h));  // already gone
    QCOMPARE(audio::recordStart(8000, 1, 0, nullptr, nullptr), 0u);
    QCOMPARE(audio::errorGetCode(), int(audio::ErrFormat));
    QCOMPARE(audio::handleCount(), std::size_t(0));
  }

  // Many recordings and playbacks leave no process, thread, descriptor or
  // handle behind.
  void cyclesLeaveNothingBehind() {
    QVERIFY(test::writeSoundFile(QStringLiteral("c.wav"), test::tone(500.0, 0.3, 4410), 44100, 2));
    auto cycle = [&](int i) {
      const QString file = QStringLiteral("cycle_%1.ogg").arg(i % 3);
      const audio::Handle h = audio::recordStart(44100, 2, audio::kRecordPause, &countingProc, nullptr);
      QVERIFY(audio::encodeStart(h, oggenc(file), audio::kEncodeAutoFree) != 0);
      QVERIFY(audio::channelPlay(h, false));
      QVERIFY(dev_->waitCaptured(441, 2000));
      QVERIFY(audio::channelStop(h));
      const audio::Handle s = audio::streamCreateFile(i % 2 ? file : QStringLiteral("c.wav"));
      QVERIFY(s != 0);
      QVERIFY(audio::channelPlay(s, true));
      QVERIFY(audio::streamFree(s));
    };
    cycle(0);  // warm-up: threads that stay by design exist after this
    const int fds = probe::openFds(), threads = probe::threads();
    for (int i = 1; i <= 200; ++i) {
      cycle(i);
      if (QTest::currentTestFailed()) return;
    }
    QCOMPARE(probe::children(), QList<int>());
    QCOMPARE(audio::handleCount(), std::size_t(0));
    QCOMPARE(probe::openFds(), fds);
    QVERIFY(probe::threads() <= threads);
  }
};

QTEST_GUILESS_MAIN(TestAudio)
#include "tst_audio.moc"
