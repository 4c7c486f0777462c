// The recorder's states: every input from every state it can be left in,
// with the synthetic device and the real oggenc, without a main window.
#include <signal.h>
#include <sys/mount.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "audio/audio.h"
#include "probe.h"
#include "toolkit/durable.h"
#include "toolkit/journal.h"
#include "recorder/recorder.h"
#include "support/synthetic_device.h"

using State = station::Recorder::State;
Q_DECLARE_METATYPE(State)

class TestRecorderStates : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  test::SyntheticDevice* dev_ = nullptr;

  QString file(const char* name) const { return tmp_.filePath(QString::fromLatin1(name)); }

 private slots:
  void init() {
    QVERIFY(tmp_.isValid());
    dev_ = test::installSyntheticDevice();
    dev_->setSpeed(8.0);
    dev_->setTone(440.0, 0.5);
  }
  void cleanup() {
    audio::recordFree();
    audio::free();
    RecordChannel = 0;
    RecordedStream = 0;
    QCOMPARE(probe::children(), QList<int>());
  }

  void inputs_data() {
    QTest::addColumn<State>("from");
    QTest::addColumn<QString>("input");
    QTest::addColumn<State>("to");
    QTest::addColumn<bool>("channel");       // RecordChannel set afterwards
    QTest::addColumn<bool>("stream");        // RecordedStream set afterwards
    QTest::addColumn<int>("endedByItself");  // signals
    QTest::addColumn<QString>("failure");    // part of the one failure told, or empty
    QTest::addColumn<int>("checks");         // files checked afterwards

    QTest::newRow("idle, start") << State::Idle << "start" << State::Recording << true << false << 0 << "" << 0;
    QTest::newRow("idle, stop") << State::Idle << "stop" << State::Idle << false << false << 0 << "" << 0;
    QTest::newRow("idle, leave") << State::Idle << "leave" << State::Idle << false << false << 0 << "" << 0;
    QTest::newRow("idle, signal") << State::Idle << "signal" << State::Finished << false << false << 0 << "" << 0;
    QTest::newRow("recording, start") << State::Recording << "start" << State::Recording << true << false << 0 << ""
                                      << 1;
    QTest::newRow("recording, stop") << State::Recording << "stop" << State::Idle << false << true << 0 << "" << 1;
    QTest::newRow("recording, leave") << State::Recording << "leave" << State::Idle << false << true << 0 << "" << 1;
    QTest::newRow("recording, encoder ends") << State::Recording << "kill" << State::Idle << false << false << 1
                                             << "завершилась раньше времени" << 1;
    QTest::newRow("recording, signal") << State::Recording << "signal" << State::Finished << false << false << 0
                                       << "" << 0;
    QTest::newRow("finished, start") << State::Finished << "start" << State::Finished << false << false << 0 << ""
                                     << 0;
    QTest::newRow("finished, stop") << State::Finished << "stop" << State::Finished << false << false << 0 << ""
                                    << 0;
  }
  void inputs() {
    QFETCH(State, from);
    QFETCH(QString, input);
    QFETCH(State, to);
    QFETCH(bool, channel);
    QFETCH(bool, stream);
    QFETCH(int, endedByItself);
    QFETCH(QString, failure);
    QFETCH(int, checks);

    station::Recorder rec;
    QSignalSpy ended(&rec, &station::Recorder::endedByItself);
    QSignalSpy failed(&rec, &station::Recorder::failed);
    QSignalSpy checked(&rec, &station::Recorder::checked);
    if (from == State::Recording) {
      rec.start(file("first.ogg"));
      QVERIFY(dev_->waitCaptured(44100, 10000));
    } else if (from == State::Finished) {
      rec.endOnSignal();
    }
    QCOMPARE(rec.state(), from);

    if (input == "start") {
      rec.start(file("second.ogg"));
    } else if (input == "stop") {
      rec.stop(file(from == State::Recording ? "first.ogg" : "none.ogg"));
    } else if (input == "leave") {
      rec.endSound();
    } else if (input == "signal") {
      rec.endOnSignal();
    } else if (input == "kill") {
      QCOMPARE(probe::killChildren(SIGKILL), 1);
      QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 3000);
    }
    QCOMPARE(rec.state(), to);
    QCOMPARE(RecordChannel != 0, channel);
    QCOMPARE(RecordedStream != 0, stream);
    QCOMPARE(ended.size(), endedByItself);
    if (failure.isEmpty()) {
      QCOMPARE(failed.size(), 0);
    } else {
      QCOMPARE(failed.size(), 1);
      QVERIFY2(failed.at(0).at(0).toString().contains(failure), qPrintable(failed.at(0).at(0).toString()));
    }
    QTRY_COMPARE_WITH_TIMEOUT(checked.size(), checks, 5000);
    // A recording ended on a signal is complete, though not checked.
    if (from == State::Recording && input == "signal") QVERIFY(QFileInfo(file("first.ogg")).size() > 0);
    if (rec.state() == State::Recording) {
      rec.stop(file("second.ogg"));
      QTRY_COMPARE_WITH_TIMEOUT(checked.size(), checks + 1, 5000);
    }
  }

  // Every way a recording ends flushes the file and its folder to the disk
  // before the journal says it stopped.
  void flushedBeforeJournaled_data() {
    QTest::addColumn<QString>("end");
    QTest::newRow("stopped") << "stop";
    QTest::newRow("station ends on a signal") << "signal";
  }
  void flushedBeforeJournaled() {
    QFETCH(QString, end);
    const QString log = file("journal.log");
    station::journal::open(log);
    const QString answer = file("flushed.ogg");
    // The lines held before the journal was opened may hold stops already.
    const auto stops = [&] {
      QFile f(log);
      f.open(QIODevice::ReadOnly);
      return f.readAll().count("recording-stop");
    };
    const qsizetype before = stops();
    QStringList seen;
    station::durable::setObserver([&](const char* op, const QString& path) {
      const bool journaled = stops() > before;
      seen << QStringLiteral("%1 %2%3").arg(QLatin1String(op), QFileInfo(path).fileName(),
                                            journaled ? QStringLiteral(" after the journal") : QString());
    });
    station::Recorder rec;
    rec.start(answer);
    QVERIFY(dev_->waitCaptured(44100, 10000));
    if (end == "stop") rec.stop(answer);
    else rec.endOnSignal();
    station::durable::setObserver({});
    QCOMPARE(seen, (QStringList{"sync-file flushed.ogg", "sync-folder " + QFileInfo(tmp_.path()).fileName()}));
    QCOMPARE(stops(), before + 1);
    station::journal::open(QString());
  }

  // A microphone lost during an answer: told at once, the recording goes on,
  // and its return (or not) is told with the gap, which the journal names.
  void microphone_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QStringList>("told");     // the start of each failure told, in order
    QTest::addColumn<QStringList>("journal");  // events that must be in the journal
    QTest::newRow("lost and back") << "back" << QStringList{"Микрофон отключился (", "Микрофон снова подключён"}
                                   << QStringList{"device-lost", "device-back", "recording-gap"};
    QTest::newRow("lost until the stop") << "gone" << QStringList{"Микрофон отключился (", "Микрофон отключился в"}
                                         << QStringList{"device-lost", "recording-gap"};
    QTest::newRow("input changed") << "moved" << QStringList{} << QStringList{"device-changed"};
  }
  void microphone() {
    QFETCH(QString, what);
    QFETCH(QStringList, told);
    QFETCH(QStringList, journal);
    const QString log = file("mic.log");
    QFile::remove(log);
    station::journal::open(log);
    dev_->setSpeed(1.0);
    station::Recorder rec;
    QSignalSpy failed(&rec, &station::Recorder::failed);
    const QString answer = file("mic.ogg");
    rec.start(answer);
    QVERIFY(dev_->waitCaptured(22050, 5000));
    if (what == "moved") {
      dev_->setCaptureName("second microphone");
      QTest::qWait(2000);
    } else {
      dev_->unplugCapture();
      QTRY_VERIFY_WITH_TIMEOUT(failed.size() >= 1, 3000);
      QVERIFY(rec.isRecording());
      QTest::qWait(1000);
      if (what == "back") {
        dev_->plugCapture();
        QTRY_VERIFY_WITH_TIMEOUT(failed.size() >= 2, 3000);
      }
    }
    rec.stop(answer);
    QStringList starts;
    for (const QList<QVariant>& f : failed) {
      const QString text = f.at(0).toString();
      for (const QString& t : told)
        if (text.startsWith(t)) starts << t;
    }
    QCOMPARE(starts, told);
    QCOMPARE(failed.size(), told.size());
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString lines = QString::fromUtf8(f.readAll());
    for (const QString& event : journal) QVERIFY2(lines.contains("\t" + event + "\t"), qPrintable(event + "\n" + lines));
    station::journal::open(QString());
  }

  // A disk without room: the answer is not started when the room is not
  // there, and an encoder that runs out of room is told as a full disk.
  void fullDisk_data() {
    QTest::addColumn<qint64>("roomNeeded");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("failure");
    QTest::newRow("no room for an answer") << qint64(4'000'000) << false << "нет места для записи ответа";
    QTest::newRow("the disk fills while recording") << qint64(1) << true << "на диске нет места (свободно";
  }
  void fullDisk() {
    QFETCH(qint64, roomNeeded);
    QFETCH(bool, starts);
    QFETCH(QString, failure);
    const QString disk = tmp_.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(disk));
    if (mount("tmpfs", qPrintable(disk), "tmpfs", 0, "size=256k") != 0) QSKIP("cannot mount a tmpfs here");
    struct Unmount {
      QString d;
      ~Unmount() { umount2(qPrintable(d), MNT_DETACH); }
    } unmount{disk};
    // Most of the disk taken already: some 80 KB stay free.
    QFile filler(disk + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    filler.write(QByteArray(256 * 1024 - 80 * 1024, 'x'));
    filler.close();

    station::Recorder rec;
    rec.setRoomNeeded(roomNeeded);
    QSignalSpy failed(&rec, &station::Recorder::failed);
    QSignalSpy ended(&rec, &station::Recorder::endedByItself);
    rec.start(disk + QStringLiteral("/answer.ogg"));
    QCOMPARE(rec.isRecording(), starts);
    if (starts) QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 20000);
    QCOMPARE(failed.size(), 1);
    QVERIFY2(failed.at(0).at(0).toString().contains(failure), qPrintable(failed.at(0).at(0).toString()));
    QCOMPARE(failed.at(0).at(1).toInt(), station::Recorder::kPlain);
    QCOMPARE(QFileInfo::exists(disk + QStringLiteral("/answer.ogg")), starts);
  }
};

QTEST_MAIN(TestRecorderStates)
#include "tst_recorder_states.moc"
