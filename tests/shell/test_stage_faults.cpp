// Faults met at the stages that record on a button press, with the
// synthetic device and the real oggenc: the record button shows what really
// runs when the encoder dies; and the subject file is read again when the
// equipment check is finished.
#include <signal.h>

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "../audio/probe.h"
#include "modal.h"
#include "shell/guard.h"
#include "shell/main.h"
#include "stages/TestHard.h"
#include "station_fixture.h"
#include "support/sound_file.h"
#include "support/synthetic_device.h"

namespace {
const QString kStopCaption = QStringLiteral("Завершить запись и воспроизвести");
const QString kKey = QStringLiteral("2017_01_1234_0012_3");
const QString kCode = QStringLiteral("2751234567897");
}  // namespace

class TestStageFaults : public QObject {
  Q_OBJECT

  std::unique_ptr<test::StationFixture> fx;
  test::SyntheticDevice* dev = nullptr;

  void writeSubject(const QByteArray& bytes) {
    QFile f(fx->dir() + QStringLiteral("/KIM/subj"));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }

 private slots:
  void init() {
    fx = std::make_unique<test::StationFixture>();
    dev = test::installSyntheticDevice();
    dev->setSpeed(8.0);
    dev->setTone(1000.0, 0.5);
  }
  void cleanup() {
    fx.reset();
    QCOMPARE(probe::children(), QList<int>());
  }

  // The encoder killed during a recording: told within a second, the button
  // offers to record again (a new recording, shown as one), nothing runs on
  // and the part recorded before is kept.
  void recordButtonAfterAKilledEncoder_data() {
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("file");
    QTest::newRow("equipment check") << 1 << "btnRecTest" << "test.ogg";
    QTest::newRow("code recording") << 6 << "btnRecID" << "Answer_" + kKey + "/" + kCode + "/" + kCode + "_00.ogg";
  }
  void recordButtonAfterAKilledEncoder() {
    QFETCH(int, stage);
    QFETCH(QString, button);
    QFETCH(QString, file);
    fx->startStation();
    frmMain->AnswerKey = kKey;
    frmMain->ParticipantCode = kCode;
    if (stage != 1) station::guarded([&] { frmMain->StartFrame(stage); });
    auto* record = CurrentFrame->findChild<QPushButton*>(button);
    auto* mic = CurrentFrame->findChild<QWidget*>(QStringLiteral("imgMic"));
    QVERIFY(record && mic);
    const QString idle = record->text();
    test::ModalAnswerer boxes;
    test::pressRecord(record);
    QCOMPARE(record->text(), kStopCaption);
    QVERIFY(dev->waitCaptured(10 * 44100, 10000));
    QCOMPARE(probe::killChildren(SIGKILL), 1);
    QVERIFY(test::waitFor([&] { return boxes.count() > 0; }, 1000));
    QVERIFY2(boxes.lastText().startsWith(QStringLiteral("Запись ответа прервалась")), qPrintable(boxes.lastText()));
    QCOMPARE(probe::children(), QList<int>());
    QVERIFY(test::readSoundFile(fx->dir() + "/" + file).seconds() > 1.0);
    QCOMPARE(record->text(), idle);
    QVERIFY(!mic->isVisible() && !frmMain->isRecording());
    test::pressRecord(record);
    QCOMPARE(record->text(), kStopCaption);
    QVERIFY(frmMain->isRecording());
  }

  // The check's refusal box asks to correct the file and finish again: the
  // file is read anew when the check is finished.
  void subjectFileReadAgainWhenTheCheckIsFinished_data() {
    QTest::addColumn<QByteArray>("atStart");
    QTest::addColumn<QByteArray>("atFinish");
    QTest::addColumn<QString>("key");  // empty: the check stays, with a box naming the line
    const QByteArray tooLong = "X\r\n" + QByteArray(2000, '1') + "\r\n2017\r\n";
    const QByteArray utf8 = QStringLiteral("Английский язык\r\n01\r\n2017\r\n").toUtf8();
    QTest::newRow("too long line corrected") << tooLong << utf8 << kKey;
    QTest::newRow("too long line left") << tooLong << tooLong << QString();
    QTest::newRow("file changed") << utf8 << QByteArray("X\n02\n2018\n") << "2018_02_1234_0012_3";
  }
  void subjectFileReadAgainWhenTheCheckIsFinished() {
    QFETCH(QByteArray, atStart);
    QFETCH(QByteArray, atFinish);
    QFETCH(QString, key);
    writeSubject(atStart);
    test::ModalAnswerer boxes;
    fx->startStation();
    const int startBoxes = boxes.count();
    QCOMPARE(startBoxes, atStart.size() > 1000 ? 1 : 0);
    writeSubject(atFinish);
    auto* check = qobject_cast<TfrmTestHard*>(CurrentFrame.data());
    QVERIFY(check);
    check->RecordingCheckPassed = check->TextCheckPassed = true;
    check->findChild<QLineEdit*>(QStringLiteral("edtStationCode"))->setText("1234");
    check->findChild<QLineEdit*>(QStringLiteral("edtAudCode"))->setText("12");
    check->findChild<QLineEdit*>(QStringLiteral("edtCompCode"))->setText("3");
    test::pump(20);
    check->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    QVERIFY(test::waitFor([&] { return !frmMain->AnswerKey.isEmpty() || boxes.count() > startBoxes; }));
    QCOMPARE(frmMain->AnswerKey, key);
    if (key.isEmpty()) {
      QVERIFY2(boxes.lastText().startsWith(QStringLiteral("Строка 2 ")), qPrintable(boxes.lastText()));
      QCOMPARE(CurrentFrame.data(), static_cast<QWidget*>(check));
    }
  }
};

QTEST_MAIN(TestStageFaults)
#include "test_stage_faults.moc"
