// Results computed on a worker thread (an answer's check and checksum, the
// review's lengths) while their receiver goes away: the worker is held
// after its work, the review, the stage or the whole window is ended, the
// worker let go. Nothing may crash, and the answer's manifest and journal
// lines are written all the same. And work that cannot be delivered as
// asked: it throws, it comes after the station began to end, or its
// receiver lives on another thread.
#include <QLabel>
#include <QPushButton>
#include <QSemaphore>
#include <QThread>
#include <QtTest>
#include <atomic>

#include "modal.h"
#include "station_fixture.h"
#include "support/sound_file.h"
#include "support/synthetic_device.h"
#include "toolkit/guard.h"
#include "toolkit/handover.h"
#include "toolkit/journal.h"
#include "toolkit/manifest.h"

namespace {
const QString kKey = QStringLiteral("2017_01_1234_0012_3");
const QString kCode = QStringLiteral("2751234567897");

QStringList journalLines(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}
}  // namespace

class TestHandover : public QObject {
  Q_OBJECT

  std::unique_ptr<test::StationFixture> fx;
  test::SyntheticDevice* dev = nullptr;

 private slots:
  void init() {
    fx = std::make_unique<test::StationFixture>();
    dev = test::installSyntheticDevice();
    dev->setSpeed(8.0);
    dev->setTone(1000.0, 0.5);
  }
  void cleanup() {
    station::handover::setBeforeHandOver({});
    fx.reset();
    station::journal::open({});
  }

  void receiverGoneBeforeTheResult_data() {
    QTest::addColumn<QString>("ended");  // what goes while the worker is held
    QTest::newRow("review left") << "review";
    QTest::newRow("stage ended") << "stage";
    QTest::newRow("window ended") << "window";
  }
  void receiverGoneBeforeTheResult() {
    QFETCH(QString, ended);
    fx->startStation();
    frmMain->AnswerKey = kKey;
    frmMain->ParticipantCode = kCode;
    const QString journal = frmMain->answerFolder() + ".log";
    station::journal::open(journal);
    QVERIFY(QDir().mkpath(frmMain->participantFolder()));

    // The worker waits after its work: for the test's go, or, when the
    // window ends, until the station's end waits for it.
    QSemaphore done, go;
    const bool untilTheEnd = ended == "window";
    station::handover::setBeforeHandOver([&] {
      done.release();
      if (!untilTheEnd) go.acquire();
      else
        while (!station::handover::finishing()) QThread::yieldCurrentThread();
    });

    const QString answer = frmMain->answerFile("_00.ogg");
    if (ended == "review") {
      QVERIFY(test::writeSoundFile(answer, test::tone(440, 0.5, 44100), 44100, 2));
      station::guarded([] { frmMain->StartFrame(40); });
    } else {
      station::guarded([] { frmMain->StartFrame(6); });
      auto* record = CurrentFrame->findChild<QPushButton*>("btnRecID");
      test::pressRecord(record);
      QVERIFY(dev->waitCaptured(44100, 10000));
      test::pressRecord(record);
    }
    QVERIFY(done.tryAcquire(1, 10000));
    QPointer<QWidget> frame = CurrentFrame.data();

    if (ended == "window") {
      fx->stopStation();
    } else {
      station::guarded([] { frmMain->StartFrame(-1); });
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QVERIFY(frame.isNull());
      go.release();
      QVERIFY(station::handover::finish(10000));
      test::pump(20);
    }
    QVERIFY(frame.isNull());
    if (ended == "review") return;

    // The answer's lines, whatever became of the stage or the window; the
    // check's line before the station's end.
    const QList<station::manifest::Entry> listed =
        station::manifest::read(station::manifest::manifestFile(fx->dir(), kKey), kKey);
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed[0].path, QString("Answer_%1/%2/%2_00.ogg").arg(kKey, kCode));
    QCOMPARE(listed[0].hex, station::manifest::sha256Hex(answer));
    const QStringList lines = journalLines(journal);
    const auto checked = std::find_if(lines.begin(), lines.end(), [&](const QString& l) {
      return l.contains("\trecording-checked\t" + answer + "; ") &&
             l.endsWith("; ok; sha256 " + station::manifest::sha256Hex(answer));
    });
    QVERIFY2(checked != lines.end(), qPrintable(lines.join('\n')));
    const auto end = std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.contains("\tstation-end"); });
    QVERIFY(untilTheEnd ? end != lines.end() && checked < end : end == lines.end());
  }

  void workThatCannotBeDelivered_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("runs");       // the work runs at all
    QTest::addColumn<bool>("told");       // the receiver hears of it
    QTest::addColumn<QString>("error");   // what it hears
    QTest::addColumn<QString>("journal"); // the journal's line, or none
    QTest::newRow("work that throws") << "throws" << true << true << "the disk went away" << "";
    QTest::newRow("work queued after the end began") << "late" << false << true << "the station is ending"
                                                     << "\twork-refused\ttest work: the station is ending";
    QTest::newRow("a receiver on another thread") << "thread" << false << false << ""
                                                  << "\twork-refused\ttest work: the receiver lives on another thread";
  }
  void workThatCannotBeDelivered() {
    QFETCH(QString, how);
    QFETCH(bool, runs);
    QFETCH(bool, told);
    QFETCH(QString, error);
    QFETCH(QString, journal);
#ifndef QT_NO_DEBUG
    if (how == "thread") QSKIP("refused by an assertion in a debug build");
#endif
    station::handover::open();  // as a station starting: an earlier row ended one
    QTemporaryDir dir;
    const QString log = dir.filePath("Answer_x.log");
    station::journal::open(log);
    QObject local;
    QThread other;
    QObject* receiver = &local;
    std::unique_ptr<QObject> away;
    if (how == "thread") {
      away = std::make_unique<QObject>();
      away->moveToThread(&other);
      receiver = away.get();
    }
    if (how == "late") station::handover::finish(1000);
    std::atomic<bool> ran{false};
    bool heard = false;
    QString said;
    const bool taken = station::handover::run(
        receiver, "test work",
        [&, how]() -> int {
          ran = true;
          if (how == "throws") throw std::runtime_error("the disk went away");
          return 1;
        },
        [&](const station::handover::Outcome<int>& o) {
          heard = true;
          QVERIFY(!o.ok());
          said = o.error;
        });
    station::handover::waitForAll(10000);
    test::pump(20);
    station::handover::open();
    QCOMPARE(taken, runs);
    QCOMPARE(ran.load(), runs);
    QCOMPARE(heard, told);
    QCOMPARE(said, error);
    station::journal::open({});
    const QString lines = journalLines(log).join('\n');
    if (!journal.isEmpty()) QVERIFY2(lines.contains(journal), qPrintable(lines));
    else QVERIFY2(!lines.contains("work-refused"), qPrintable(lines));
  }
};

QTEST_MAIN(TestHandover)
#include "test_handover.moc"
