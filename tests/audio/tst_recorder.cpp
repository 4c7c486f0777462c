// The main window's answer recorder: StartRecording / StopRecording with
// the synthetic device and the real oggenc, and the boxes they show.
#include <sys/mount.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <thread>

#include "audio/audio.h"
#include "probe.h"
#include "window/main.h"
#include "support/modal.h"
#include "support/sound_file.h"
#include "support/synthetic_device.h"
#include "toolkit/handover.h"

using namespace std::chrono_literals;

namespace {

const QString kEncoderMissing = QStringLiteral(
    "Couldn't start encoding...\nMake sure OGGENC.EXE (if encoding to OGG) is in the same\n"
    "direcory as this RECTEST, or LAME.EXE (if encoding to MP3).\n(error code: 48)");

}  // namespace

class TestRecorder : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  QString oldCwd_;
  test::SyntheticDevice* dev_ = nullptr;
  TfrmMain* main_ = nullptr;
  QString mounted_;  // a small tmpfs to take away

  void speak(std::uint64_t frames) { QVERIFY(dev_->waitCaptured(frames, 10000)); }

 private slots:
  void initTestCase() {
    QVERIFY(tmp_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(tmp_.path());
  }
  void cleanupTestCase() { QDir::setCurrent(oldCwd_); }

  void init() {
    dev_ = test::installSyntheticDevice();
    dev_->setSpeed(8.0);
    dev_->setTone(880.0, 0.5);
    test::ModalAnswerer boxes;
    main_ = new TfrmMain();
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(RecordChannel, 0u);
    QCOMPARE(RecordedStream, 0u);
  }
  void cleanup() {
    delete main_;
    main_ = nullptr;
    if (!mounted_.isEmpty()) umount2(qPrintable(mounted_), MNT_DETACH);
    mounted_.clear();
    QCOMPARE(probe::children(), QList<int>());
    QCOMPARE(audio::handleCount(), std::size_t(0));
  }

  // The file is complete and open for playback right when StopRecording returns.
  void recordsAnswerAndOpensIt_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("relative answer path") << "Answer_1234 56 7/1234567890123/1234567890123_01.ogg";
    QTest::newRow("test file") << "test.ogg";
  }
  void recordsAnswerAndOpensIt() {
    QFETCH(QString, file);
    QDir().mkpath(QFileInfo(file).path());
    test::ModalAnswerer boxes;
    const std::size_t captures = dev_->captureLengths().size();
    main_->StartRecording(file);
    QVERIFY(RecordChannel != 0);
    QCOMPARE(audio::channelIsActive(RecordChannel), int(audio::Playing));
    speak(2 * 44100);
    main_->StopRecording(file);
    // What the device gave this recording's capture (frames of the moment it
    // was created paused are not part of it), however late this looks.
    QVERIFY(test::waitFor([&] { return dev_->captureLengths().size() > captures; }, 5000));
    const std::uint64_t fed = dev_->captureLengths()[captures];
    QCOMPARE(RecordChannel, 0u);
    QVERIFY(RecordedStream != 0);
    QCOMPARE(boxes.texts(), QStringList());
    const test::SoundFile f = test::readSoundFile(file);
    QVERIFY(f.ok);
    QCOMPARE(f.rate, 44100);
    QCOMPARE(f.channels, 2);
    QVERIFY2(f.frames >= qint64(fed) - 441 && f.frames <= qint64(fed) + 441,
             qPrintable(QStringLiteral("%1 vs %2").arg(f.frames).arg(fed)));
    QVERIFY(std::abs(test::dominantFrequency(f.channel(1), 44100) - 880.0) < 9.0);

    // And it plays.
    dev_->clearPlayed();
    QVERIFY(audio::channelPlay(RecordedStream, true));
    QTRY_COMPARE_WITH_TIMEOUT(audio::channelIsActive(RecordedStream), int(audio::Stopped), 5000);
    QVERIFY(dev_->played().size() / 2 >= std::size_t(f.frames));
  }

  // A failed start is told once; the stop that follows shows nothing more and
  // opens the file only when an older one of that name is there.
  void failedStarts_data() {
    QTest::addColumn<bool>("deviceMissing");
    QTest::addColumn<bool>("olderFile");
    QTest::addColumn<QString>("box");
    QTest::newRow("no encoder") << false << false << kEncoderMissing;
    QTest::newRow("no encoder, older file") << false << true << kEncoderMissing;
    QTest::newRow("no recording device") << true << false
                                         << QStringLiteral("Couldn't start recording\n(error code: 23)");
  }
  void failedStarts() {
    QFETCH(bool, deviceMissing);
    QFETCH(bool, olderFile);
    QFETCH(QString, box);
    const QString file = QStringLiteral("failed.ogg");
    QFile::remove(file);
    if (olderFile) QVERIFY(test::writeSoundFile(file, test::tone(300, 0.3, 4410), 44100, 2));
    QTemporaryDir emptyDir;
    const QByteArray oldPath = qgetenv("PATH");
    if (deviceMissing) dev_->failCapture(audio::ErrDevice);
    else qputenv("PATH", QFile::encodeName(emptyDir.path()));

    test::ModalAnswerer boxes;
    main_->StartRecording(file);
    qputenv("PATH", oldPath);
    QCOMPARE(boxes.texts(), QStringList{box});
    QCOMPARE(boxes.titles(), QStringList{QStringLiteral("Error")});
    QCOMPARE(RecordChannel, 0u);
    QCOMPARE(audio::channelIsActive(RecordChannel), int(audio::Stopped));

    main_->StopRecording(file);
    QCOMPARE(boxes.texts().size(), 1);
    QCOMPARE(RecordChannel, 0u);
    QCOMPARE(RecordedStream != 0, olderFile);
  }

  // Faults during an answer or its playback are told within a second with
  // no call of the station's: the stage first, the encoder reaped by then;
  // what was recorded stays readable and the device works again once back.
  void faultsToldWithinASecond_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("box");
    const QString encoder = QStringLiteral("Запись ответа прервалась: программа кодирования");
    QTest::newRow("encoder killed") << "kill" << encoder;
    QTest::newRow("disk full") << "full" << QStringLiteral("Запись ответа прервалась: на диске нет места");
    QTest::newRow("speakers unplugged") << "speakers" << QStringLiteral("Воспроизведение прервалось");
  }
  void faultsToldWithinASecond() {
    QFETCH(QString, fault);
    QFETCH(QString, box);
    const QString file = fault == "full" ? QStringLiteral("small/ended.ogg") : QStringLiteral("ended.ogg");
    if (fault == "full") {
      QVERIFY(QDir().mkpath(QStringLiteral("small")));
      if (mount("tmpfs", "small", "tmpfs", 0, "size=48k") != 0) QSKIP("cannot mount a small tmpfs (needs root)");
      mounted_ = QDir().absoluteFilePath(QStringLiteral("small"));
      // The disk fills while recording, not before the start.
      main_->recorder()->setRoomNeeded(1);
    }
    test::ModalAnswerer boxes;
    QStringList atSignal{"none"};
    connect(main_, &TfrmMain::recordingEndedByItself, this, [&] {
      atSignal = boxes.texts();
      atSignal << QString::number(probe::children().size()) << QString::number(RecordChannel);
    });
    main_->StartRecording(file);
    speak(10 * 44100);
    if (fault == "speakers") {
      main_->StopRecording(file);
      QVERIFY(audio::channelPlay(RecordedStream, true));
      QTRY_VERIFY_WITH_TIMEOUT(!dev_->played().empty(), 3000);
    }
    QElapsedTimer sinceFault;
    sinceFault.start();
    if (fault == "kill") QCOMPARE(probe::killChildren(SIGKILL), 1);
    if (fault == "mic") dev_->loseCapture();
    if (fault == "speakers") dev_->loseOutput();
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.texts().isEmpty(), fault == "full" ? 30000 : 3000);
    QVERIFY(fault == "full" || sinceFault.elapsed() < 1000);
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY2(boxes.texts()[0].startsWith(box), qPrintable(boxes.texts()[0]));
    QCOMPARE(atSignal, fault == "speakers" ? QStringList{"none"} : (QStringList{"0", "0"}));

    main_->StopRecording(file);  // the stage's own stop tells nothing more
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY(test::readSoundFile(file).seconds() > 5.0);
    dev_->clearPlayed();
    QVERIFY(audio::channelPlay(RecordedStream, true));
    QTRY_VERIFY_WITH_TIMEOUT(!dev_->played().empty(), 3000);
  }

  // Devices missing at start-up or gone since are tried again at each
  // recording: told while missing, working once back, without a restart.
  void devicesTriedAgainAtEachRecording() {
    delete main_;
    dev_ = test::installSyntheticDevice();
    dev_->setSpeed(8.0);
    dev_->failCapture(audio::ErrDevice);
    test::ModalAnswerer boxes;
    main_ = new TfrmMain();
    main_->StartRecording(QStringLiteral("again.ogg"));
    QCOMPARE(boxes.texts(), (QStringList{"Can't initialize device\n(error code: 23)",
                                       "Couldn't start recording\n(error code: 23)"}));
    dev_->failCapture(audio::ErrOk);
    main_->StartRecording(QStringLiteral("again.ogg"));
    speak(44100);
    main_->StopRecording(QStringLiteral("again.ogg"));
    QCOMPARE(boxes.texts().size(), 2);
    QVERIFY(test::readSoundFile(QStringLiteral("again.ogg")).seconds() > 0.9);
    QVERIFY(audio::channelPlay(RecordedStream, true));
    QTRY_VERIFY_WITH_TIMEOUT(!dev_->played().empty(), 3000);
  }

  // The encoder cannot write the answer file: told at the stop, not silent.
  void answerFileCannotBeWritten() {
    QFile blocker(QStringLiteral("Answer_blocked"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString file = QStringLiteral("Answer_blocked/1234567890123_01.ogg");
    test::ModalAnswerer boxes;
    main_->StartRecording(file);
    speak(44100);
    main_->StopRecording(file);
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY2(boxes.texts()[0].startsWith(QStringLiteral("Запись ответа прервалась")), qPrintable(boxes.texts()[0]));
    QCOMPARE(RecordedStream, 0u);
  }

  // A second StartRecording ends the first one properly.
  void secondStartEndsTheFirst() {
    test::ModalAnswerer boxes;
    main_->StartRecording(QStringLiteral("first.ogg"));
    speak(44100);
    const audio::Handle first = RecordChannel;
    main_->StartRecording(QStringLiteral("second.ogg"));
    QVERIFY(RecordChannel != 0);
    QVERIFY(RecordChannel != first);
    QCOMPARE(audio::channelIsActive(first), int(audio::Stopped));
    QCOMPARE(probe::children().size(), 1);
    const test::SoundFile f = test::readSoundFile(QStringLiteral("first.ogg"));
    QVERIFY(f.ok);
    QVERIFY(f.frames >= 44100);
    speak(4410);
    main_->StopRecording(QStringLiteral("second.ogg"));
    QVERIFY(RecordedStream != 0);
    QCOMPARE(boxes.texts(), QStringList());
  }

  // A day of recordings: no process, thread, descriptor or stream left over.
  void manyRecordingsLeaveNothingBehind() {
    test::ModalAnswerer boxes;
    auto cycle = [&](int i) {
      const QString file = QStringLiteral("day_%1.ogg").arg(i % 4);
      main_->StartRecording(file);
      speak(441);
      main_->StopRecording(file);
      QVERIFY(RecordedStream != 0);
      if (i % 2) audio::channelPlay(RecordedStream, true);
    };
    // The file's check reads it on a worker thread for a moment after each
    // stop: both counts are taken once the checks have finished.
    auto settle = [] { QVERIFY(station::handover::waitForAll(10000)); };
    cycle(0);
    settle();
    const int fds = probe::openFds(), threads = probe::threads();
    for (int i = 1; i <= 200 && !QTest::currentTestFailed(); ++i) cycle(i);
    settle();
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(audio::handleCount(), std::size_t(1));  // RecordedStream
    QCOMPARE(probe::children(), QList<int>());
    QCOMPARE(probe::openFds(), fds);
    QVERIFY(probe::threads() <= threads + 1);  // the output device may be running
  }
};

QTEST_MAIN(TestRecorder)
#include "tst_recorder.moc"
