// The main window's answer recorder: StartRecording / StopRecording with
// the synthetic device and the real oggenc, and the boxes they show.
#include <sys/mount.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <thread>

#include "audio/audio.h"
#include "probe.h"
#include "shell/main.h"
#include "support/sound_file.h"
#include "support/synthetic_device.h"

using namespace std::chrono_literals;

namespace {

const QString kEncoderMissing = QStringLiteral(
    "Couldn't start encoding...\nMake sure OGGENC.EXE (if encoding to OGG) is in the same\n"
    "direcory as this RECTEST, or LAME.EXE (if encoding to MP3).\n(error code: 48)");

// Answers every message box that opens while it lives, keeping its text.
class BoxCatcher : public QObject {
 public:
  BoxCatcher() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts << box->text();
        captions << box->windowTitle();
        box->accept();
      }
    });
    timer_.start();
  }
  QStringList texts;
  QStringList captions;

 private:
  QTimer timer_;
};

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
    BoxCatcher boxes;
    main_ = new TfrmMain();
    QCOMPARE(boxes.texts, QStringList());
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
    BoxCatcher boxes;
    main_->StartRecording(file);
    // Counted from here: what the device delivers while the recording runs
    // (frames of the moment it was created paused are not part of it).
    const std::uint64_t before = dev_->capturedFrames();
    QVERIFY(RecordChannel != 0);
    QCOMPARE(audio::channelIsActive(RecordChannel), int(audio::Playing));
    speak(2 * 44100);
    main_->StopRecording(file);
    const std::uint64_t fed = dev_->capturedFrames() - before;
    QCOMPARE(RecordChannel, 0u);
    QVERIFY(RecordedStream != 0);
    QCOMPARE(boxes.texts, QStringList());
    const test::SoundFile f = test::readSoundFile(file);
    QVERIFY(f.ok);
    QCOMPARE(f.rate, 44100);
    QCOMPARE(f.channels, 2);
    QVERIFY2(f.frames >= qint64(fed) - 441 && f.frames <= qint64(fed) + 44100 / 20,
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

    BoxCatcher boxes;
    main_->StartRecording(file);
    qputenv("PATH", oldPath);
    QCOMPARE(boxes.texts, QStringList{box});
    QCOMPARE(boxes.captions, QStringList{QStringLiteral("Error")});
    QCOMPARE(RecordChannel, 0u);
    QCOMPARE(audio::channelIsActive(RecordChannel), int(audio::Stopped));

    main_->StopRecording(file);
    QCOMPARE(boxes.texts.size(), 1);
    QCOMPARE(RecordChannel, 0u);
    QCOMPARE(RecordedStream != 0, olderFile);
  }

  // A recording that ends by itself (encoder killed, disk full, microphone
  // unplugged) is noticed and told within a second, with no call of the
  // station's: the stage is told first, the encoder is reaped by then, and
  // what was recorded before stays readable.
  void recordingEndsByItself_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("box");
    const QString encoderEnded = QStringLiteral("Запись ответа прервалась: программа кодирования");
    QTest::newRow("encoder killed") << "kill" << encoderEnded;
    QTest::newRow("disk full") << "full" << encoderEnded;
    QTest::newRow("microphone unplugged") << "unplug"
                                          << QStringLiteral("Запись ответа прервалась: устройство записи звука");
  }
  void recordingEndsByItself() {
    QFETCH(QString, fault);
    QFETCH(QString, box);
    QString file = QStringLiteral("ended.ogg");
    if (fault == "full") {
      // A small disk of its own that the answer fills up.
      QVERIFY(QDir().mkpath(QStringLiteral("small")));
      if (mount("tmpfs", "small", "tmpfs", 0, "size=48k") != 0)
        QSKIP("cannot mount a small tmpfs here (needs root): the full-disk case is not run");
      mounted_ = QDir().absoluteFilePath(QStringLiteral("small"));
      file = QStringLiteral("small/ended.ogg");
    }
    BoxCatcher boxes;
    int endedSignals = 0;
    QStringList boxesAtSignal;
    QList<int> childrenAtSignal{-1};
    connect(main_, &TfrmMain::recordingEndedByItself, this, [&] {
      ++endedSignals;
      boxesAtSignal = boxes.texts;
      childrenAtSignal = probe::children();
      QCOMPARE(RecordChannel, 0u);
    });
    main_->StartRecording(file);
    speak(10 * 44100);
    QElapsedTimer sinceFault;
    sinceFault.start();
    if (fault == "kill") QCOMPARE(probe::killChildren(SIGKILL), 1);
    if (fault == "unplug") dev_->loseCapture();
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.texts.isEmpty(), fault == "full" ? 30000 : 3000);
    if (fault != "full") QVERIFY2(sinceFault.elapsed() < 1000, qPrintable(QString::number(sinceFault.elapsed())));
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts[0].startsWith(box), qPrintable(boxes.texts[0]));
    QVERIFY(boxes.texts[0].contains(file));
    QCOMPARE(endedSignals, 1);
    QCOMPARE(boxesAtSignal, QStringList());
    QCOMPARE(childrenAtSignal, QList<int>());
    QCOMPARE(RecordChannel, 0u);

    // The stage's own stop later tells nothing more and opens what was kept.
    main_->StopRecording(file);
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(RecordedStream != 0);
    const test::SoundFile f = test::readSoundFile(file);
    QVERIFY(f.ok);
    qInfo("%.2f s readable", f.seconds());
    QVERIFY2(f.seconds() > 0.5, qPrintable(QString::number(f.seconds())));
  }

  // A microphone that is gone makes the next start fail, told; once it is
  // back the next recording works without a restart, and so does a station
  // that had no devices at start-up.
  void deviceBackWithoutRestart_data() {
    QTest::addColumn<bool>("missingAtStartUp");
    QTest::newRow("lost during a recording") << false;
    QTest::newRow("missing at start-up") << true;
  }
  void deviceBackWithoutRestart() {
    QFETCH(bool, missingAtStartUp);
    BoxCatcher boxes;
    if (missingAtStartUp) {
      delete main_;
      dev_ = test::installSyntheticDevice();
      dev_->setSpeed(8.0);
      dev_->failCapture(audio::ErrDevice);
      main_ = new TfrmMain();
      QCOMPARE(boxes.texts, QStringList{QStringLiteral("Can't initialize device\n(error code: 23)")});
    } else {
      main_->StartRecording(QStringLiteral("lost.ogg"));
      speak(44100);
      dev_->loseCapture();
      dev_->failCapture(audio::ErrDevice);
      QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), 1, 3000);
    }
    main_->StartRecording(QStringLiteral("again.ogg"));
    QCOMPARE(boxes.texts.last(), QStringLiteral("Couldn't start recording\n(error code: 23)"));
    QCOMPARE(RecordChannel, 0u);
    const int told = int(boxes.texts.size());

    dev_->failCapture(audio::ErrOk);
    main_->StartRecording(QStringLiteral("again.ogg"));
    QVERIFY(RecordChannel != 0);
    speak(44100);
    main_->StopRecording(QStringLiteral("again.ogg"));
    QCOMPARE(boxes.texts.size(), told);
    QVERIFY(test::readSoundFile(QStringLiteral("again.ogg")).seconds() > 0.9);
    dev_->clearPlayed();
    QVERIFY(audio::channelPlay(RecordedStream, true));
    QTRY_VERIFY_WITH_TIMEOUT(!dev_->played().empty(), 3000);
  }

  // Speakers unplugged during a playback: told within a second, and the
  // next playback opens the default device afresh.
  void outputLostDuringPlayback() {
    BoxCatcher boxes;
    main_->StartRecording(QStringLiteral("played.ogg"));
    speak(10 * 44100);
    main_->StopRecording(QStringLiteral("played.ogg"));
    QVERIFY(audio::channelPlay(RecordedStream, true));
    QTRY_VERIFY_WITH_TIMEOUT(!dev_->played().empty(), 3000);
    QElapsedTimer sinceLoss;
    sinceLoss.start();
    dev_->loseOutput();
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.texts.isEmpty(), 3000);
    QVERIFY(sinceLoss.elapsed() < 1000);
    QVERIFY2(boxes.texts[0].startsWith(QStringLiteral("Воспроизведение прервалось")), qPrintable(boxes.texts[0]));
    QCOMPARE(audio::channelIsActive(RecordedStream), int(audio::Stopped));
    dev_->clearPlayed();
    QVERIFY(audio::channelPlay(RecordedStream, true));
    QTRY_VERIFY_WITH_TIMEOUT(!dev_->played().empty(), 3000);
    QCOMPARE(boxes.texts.size(), 1);
  }

  // The encoder cannot write the answer file: told at the stop, not silent.
  void answerFileCannotBeWritten() {
    QFile blocker(QStringLiteral("Answer_blocked"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString file = QStringLiteral("Answer_blocked/1234567890123_01.ogg");
    BoxCatcher boxes;
    main_->StartRecording(file);
    speak(44100);
    main_->StopRecording(file);
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts[0].startsWith(QStringLiteral("Запись ответа прервалась")), qPrintable(boxes.texts[0]));
    QCOMPARE(RecordedStream, 0u);
  }

  // A second StartRecording ends the first one properly.
  void secondStartEndsTheFirst() {
    BoxCatcher boxes;
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
    QCOMPARE(boxes.texts, QStringList());
  }

  // A day of recordings: no process, thread, descriptor or stream left over.
  void manyRecordingsLeaveNothingBehind() {
    BoxCatcher boxes;
    auto cycle = [&](int i) {
      const QString file = QStringLiteral("day_%1.ogg").arg(i % 4);
      main_->StartRecording(file);
      speak(441);
      main_->StopRecording(file);
      QVERIFY(RecordedStream != 0);
      if (i % 2) audio::channelPlay(RecordedStream, true);
    };
    cycle(0);
    const int fds = probe::openFds(), threads = probe::threads();
    for (int i = 1; i <= 200 && !QTest::currentTestFailed(); ++i) cycle(i);
    QCOMPARE(boxes.texts, QStringList());
    QCOMPARE(audio::handleCount(), std::size_t(1));  // RecordedStream
    QCOMPARE(probe::children(), QList<int>());
    QCOMPARE(probe::openFds(), fds);
    QVERIFY(probe::threads() <= threads + 1);  // the output device may be running
  }
};

QTEST_MAIN(TestRecorder)
#include "tst_recorder.moc"
