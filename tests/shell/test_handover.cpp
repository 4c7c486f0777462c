// Results computed on a worker thread (an answer's check and checksum, the
// review's lengths) while their receiver goes away: the worker is held
// after its work, the review, the stage or the whole window is ended, the
// worker let go. Nothing may crash, and the answer's manifest and journal
// lines are written all the same.
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
      return l.contains("\trecording-checked\t" + answer + "; ") && l.endsWith("; ok");
    });
    QVERIFY2(checked != lines.end(), qPrintable(lines.join('\n')));
    const auto end = std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.contains("\tstation-end"); });
    QVERIFY(untilTheEnd ? end != lines.end() && checked < end : end == lines.end());
  }
};

QTEST_MAIN(TestHandover)
#include "test_handover.moc"
