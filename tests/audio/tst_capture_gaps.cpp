// A recording whose device goes away and comes back: the file keeps the
// wall clock's time with silence where the device was missing, the sound
// after the return is the signal, and the gaps and device events are told.
// The synthetic device runs in real time here, since the gaps are timed.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cmath>

#include "audio/audio.h"
#include "probe.h"
#include "support/sound_file.h"
#include "support/synthetic_device.h"

namespace {

constexpr int kRate = 44100;
constexpr double kHz = 1000.0;

std::atomic<bool> procEnds{false};
std::atomic<std::uint64_t> procNonZero{0};
bool watchingProc(audio::Handle h, const void* buf, std::uint32_t bytes, void*) {
  const auto* s = static_cast<const std::int16_t*>(buf);
  for (std::uint32_t i = 0; i < bytes / 2; ++i)
    if (s[i] != 0) {
      ++procNonZero;
      break;
    }
  return !procEnds && audio::encodeIsActive(h) != audio::Stopped;
}

QStringList oggenc(const QString& file) {
  return {QStringLiteral("oggenc"), QStringLiteral("-o"), file, QStringLiteral("-")};
}

std::size_t at(double seconds) { return std::size_t(std::max(0.0, seconds) * kRate); }

}  // namespace

class TestCaptureGaps : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  QString oldCwd_;
  test::SyntheticDevice* dev_ = nullptr;

  audio::Handle start(const QString& file) {
    procEnds = false;
    const audio::Handle h = audio::recordStart(kRate, 2, audio::kRecordPause, &watchingProc, nullptr);
    if (h == 0 || audio::encodeStart(h, oggenc(file), audio::kEncodeAutoFree) == 0) return 0;
    return audio::channelPlay(h, false) ? h : 0;
  }

 private slots:
  void initTestCase() {
    QVERIFY(tmp_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(tmp_.path());
    dev_ = test::installSyntheticDevice();
    dev_->setSpeed(1.0);
    dev_->setTone(kHz, 0.5);
    QVERIFY(audio::recordInit(-1));
    QVERIFY(audio::init(-1, kRate, 0, 0));
    QCOMPARE(audio::captureDeviceName(), QStringLiteral("Synthetic microphone"));
  }
  void cleanupTestCase() {
    audio::recordFree();
    audio::free();
    QDir::setCurrent(oldCwd_);
  }
  void init() {
    dev_->plugCapture();
    dev_->setCaptureName("Synthetic microphone");
  }

  // Phases in seconds: sound, gap, sound, gap, ...; a list that ends with a
  // gap is stopped while the device is missing.
  void gapsAreSilenceAndTheFileKeepsTheClock_data() {
    QTest::addColumn<QList<double>>("phases");
    QTest::newRow("lost and back") << QList<double>{1.0, 1.5, 1.2};
    QTest::newRow("stopped right after the loss") << QList<double>{1.0, 0.3};
    QTest::newRow("lost for good, stopped in the gap") << QList<double>{1.0, 3.0};
    QTest::newRow("lost twice") << QList<double>{0.8, 0.7, 1.2, 0.9, 1.0};
  }
  void gapsAreSilenceAndTheFileKeepsTheClock() {
    QFETCH(QList<double>, phases);
    const QString file = QStringLiteral("gaps.ogg");
    QElapsedTimer wall;
    const audio::Handle h = start(file);
    wall.start();
    QVERIFY(h != 0);
    QList<double> unplugAt, plugAt;  // seconds since the start
    for (qsizetype i = 0; i < phases.size(); ++i) {
      if (i % 2 == 1) {
        unplugAt << wall.elapsed() / 1000.0;
        dev_->unplugCapture();
      }
      QTest::qWait(int(phases[i] * 1000));
      if (i % 2 == 1) {
        // Missing, yet the recording goes on.
        QCOMPARE(audio::channelIsActive(h), int(audio::Playing));
        QVERIFY(audio::recordStatus(h).deviceLost);
        if (i + 1 < phases.size()) {
          plugAt << wall.elapsed() / 1000.0;
          dev_->plugCapture();
        }
      }
    }
    const bool stoppedInGap = phases.size() % 2 == 0;
    QVERIFY(audio::channelStop(h));
    QCOMPARE(audio::errorGetCode(), int(audio::ErrOk));
    const double seconds = wall.elapsed() / 1000.0;

    const audio::RecordStatus st = audio::recordStatus(h);
    const auto events = audio::recordEvents(h);
    const test::SoundFile f = test::readSoundFile(file);
    QVERIFY(f.ok);
    qInfo("file %.3f s, wall %.3f s", f.seconds(), seconds);
    QVERIFY(std::abs(f.seconds() - seconds) < 0.5);
    QCOMPARE(qsizetype(st.gaps.size()), unplugAt.size());
    QCOMPARE(st.losses, int(unplugAt.size()));
    QCOMPARE(st.returns, int(plugAt.size()));
    QCOMPARE(st.deviceLost, stoppedInGap);
    QCOMPARE(qsizetype(events.size()), unplugAt.size() + plugAt.size());

    const auto left = f.channel(0);
    double soundFrom = 0.0;
    for (qsizetype g = 0; g < qsizetype(st.gaps.size()); ++g) {
      const audio::RecordGap& gap = st.gaps[g];
      const double from = gap.fromMs / 1000.0, to = gap.toMs / 1000.0;
      const bool back = g < plugAt.size();
      qInfo("gap %lld: %.3f..%.3f s (unplugged %.3f s, plugged %.3f s)", qlonglong(g), from, to, unplugAt[g],
            back ? plugAt[g] : -1.0);
      QCOMPARE(gap.cameBack, back);
      QVERIFY(std::abs(from - unplugAt[g]) < 0.2);
      // Back at the first try after the device is there (twice a second);
      // at the stop, the gap ends with the file.
      if (back) QVERIFY(to >= plugAt[g] - 0.1 && to < plugAt[g] + 0.75);
      else QVERIFY(std::abs(to - f.seconds()) < 0.2);
      QVERIFY(gap.toWallMs - gap.fromWallMs >= gap.toMs - gap.fromMs - 150);
      QCOMPARE(events[2 * g].kind, int(audio::DeviceLost));
      QCOMPARE(events[2 * g].atMs, gap.fromMs);
      if (back) QCOMPARE(events[2 * g + 1].kind, int(audio::DeviceBack));
      // The signal before the gap, silence in it.
      QVERIFY(test::toneShare(left, kRate, kHz, at(soundFrom + 0.1), at(from - 0.05)) > 0.9);
      QVERIFY2(test::rms(left, at(from + 0.05), at(to - 0.05)) < 1e-3,
               qPrintable(QString::number(test::rms(left, at(from + 0.05), at(to - 0.05)))));
      soundFrom = to;
    }
    // The signal after the last return.
    if (!stoppedInGap) QVERIFY(test::toneShare(left, kRate, kHz, at(soundFrom + 0.1), left.size() - at(0.05)) > 0.9);
  }

  // The sound system moves the recording to another input, with or without
  // a gap between: the change is told with both names.
  void deviceChangesAreTold_data() {
    QTest::addColumn<bool>("withGap");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QList<int>>("kinds");
    const int lost = audio::DeviceLost, back = audio::DeviceBack, changed = audio::DeviceChanged;
    QTest::newRow("moved while recording") << false << "USB headset" << QList<int>{changed};
    QTest::newRow("back on another input") << true << "USB headset" << QList<int>{lost, back, changed};
    QTest::newRow("back on the same input") << true << "Synthetic microphone" << QList<int>{lost, back};
  }
  void deviceChangesAreTold() {
    QFETCH(bool, withGap);
    QFETCH(QString, after);
    QFETCH(QList<int>, kinds);
    const audio::Handle h = start(QStringLiteral("moved.ogg"));
    QVERIFY(h != 0);
    QTRY_COMPARE(audio::recordStatus(h).device, QStringLiteral("Synthetic microphone"));
    if (withGap) {
      dev_->unplugCapture();
      QTRY_VERIFY(audio::recordStatus(h).deviceLost);
    }
    dev_->setCaptureName(after.toStdString());
    dev_->plugCapture();
    QTRY_VERIFY_WITH_TIMEOUT(!audio::recordStatus(h).deviceLost && audio::recordStatus(h).device == after, 3000);
    QCOMPARE(audio::captureDeviceName(), after);
    QVERIFY(audio::channelStop(h));
    QList<int> seen;
    const auto events = audio::recordEvents(h);
    for (const auto& e : events) seen << e.kind;
    QCOMPARE(seen, kinds);
    const bool changed = kinds.last() == audio::DeviceChanged;
    QCOMPARE(audio::recordStatus(h).deviceChanges, changed ? 1 : 0);
    if (changed) {
      QCOMPARE(events.back().previous, QStringLiteral("Synthetic microphone"));
      QCOMPARE(events.back().device, after);
    }
    QVERIFY(audio::recordEvents(h).empty());  // each event is told once
  }

  // A recording that ends for good while its device is missing: told by
  // channelIsActive at once, and by the stop's error code.
  void endedDuringTheGap_data() {
    QTest::addColumn<bool>("killEncoder");
    QTest::addColumn<int>("error");
    QTest::newRow("record proc asks to end") << false << int(audio::ErrDeviceLost);
    QTest::newRow("encoder killed") << true << int(audio::ErrEncoderEnded);
  }
  void endedDuringTheGap() {
    QFETCH(bool, killEncoder);
    QFETCH(int, error);
    const audio::Handle h = start(QStringLiteral("ended.ogg"));
    QVERIFY(h != 0);
    QTest::qWait(500);
    dev_->unplugCapture();
    QTRY_VERIFY(audio::recordStatus(h).deviceLost);
    // The proc sees the silence that stands for the missing sound.
    QTest::qWait(300);
    const std::uint64_t nonZero = procNonZero;
    QTest::qWait(300);
    QCOMPARE(procNonZero.load(), nonZero);
    if (killEncoder) QCOMPARE(probe::killChildren(SIGKILL), 1);
    else procEnds = true;
    QTRY_COMPARE_WITH_TIMEOUT(audio::channelIsActive(h), int(audio::Stopped), 2000);
    QVERIFY(audio::recordStatus(h).ended);
    QVERIFY(!audio::channelStop(h));
    QCOMPARE(audio::errorGetCode(), error);
    // A killed encoder has written little of a file this short; a finished one all of it.
    if (!killEncoder) QVERIFY(test::readSoundFile(QStringLiteral("ended.ogg")).seconds() > 0.9);
  }

  // What is known of a recording stays readable after its stop until the
  // next recording starts; other handles are refused.
  void statusOutlivesTheStop() {
    const audio::Handle h = start(QStringLiteral("kept.ogg"));
    QVERIFY(h != 0);
    QTest::qWait(300);
    QVERIFY(audio::channelStop(h));
    const audio::RecordStatus st = audio::recordStatus(h);
    QCOMPARE(audio::errorGetCode(), int(audio::ErrOk));
    QVERIFY(st.recordedMs > 200 && st.recordedMs < 600);
    QVERIFY(st.gaps.empty());
    audio::recordStatus(h + 1000);
    QCOMPARE(audio::errorGetCode(), int(audio::ErrHandle));
    const audio::Handle next = start(QStringLiteral("next.ogg"));
    audio::recordStatus(h);
    QCOMPARE(audio::errorGetCode(), int(audio::ErrHandle));
    QVERIFY(audio::channelStop(next));
    QCOMPARE(audio::handleCount(), std::size_t(0));
  }
};

QTEST_GUILESS_MAIN(TestCaptureGaps)
#include "tst_capture_gaps.moc"
