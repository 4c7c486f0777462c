// Faults met at the stages that record on a button press, with the
// synthetic device and the real oggenc: the record button shows what really
// runs when the encoder dies; and the subject file is read again when the
// equipment check is finished.
#include <signal.h>

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include "../audio/probe.h"
#include "modal.h"
#include "toolkit/guard.h"
#include "window/main.h"
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

  // A record press where the participant folder cannot be made: the box
  // keeps its first line and names the system's cause on the second, at
  // every press, and nothing records.
  void folderBoxNamesTheCause_data() {
    QTest::addColumn<QString>("disk");  // tmpfs options, then what is done to it
    QTest::addColumn<QString>("cause");
    QTest::newRow("read-only") << "ro" << "файловая система доступна только для чтения";
    QTest::newRow("no room for a folder") << "full" << "на диске нет места";
    QTest::newRow("a file in the way") << "file" << "на этом месте уже есть файл с таким именем";
  }
  void folderBoxNamesTheCause() {
    QFETCH(QString, disk);
    QFETCH(QString, cause);
    const QString root = fx->dir() + "/disk";
    QVERIFY(QDir().mkpath(root));
    // Room for the mount's own folder and the answer folder, nothing more.
    const QString options = disk == "full" ? "size=64k,nr_inodes=2" : "size=64k";
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", root}) != 0)
      QSKIP("cannot mount a tmpfs here (needs root)");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {root}); });
    if (disk == "ro") QCOMPARE(QProcess::execute("mount", {"-o", "remount,ro", root}), 0);
    if (disk == "file") {
      QVERIFY(QDir().mkpath(root + "/Answer_" + kKey));
      QFile plain(root + "/Answer_" + kKey + "/" + kCode);
      QVERIFY(plain.open(QIODevice::WriteOnly));
    }
    fx->startStation();
    frmMain->StationDir = root + "/";
    frmMain->AnswerKey = kKey;
    frmMain->ParticipantCode = kCode;
    station::guarded([&] { frmMain->StartFrame(6); });
    auto* record = CurrentFrame->findChild<QPushButton*>("btnRecID");
    QVERIFY(record);
    const QString expected = QStringLiteral("Не удалось создать папку \"%1\"\nПричина: %2.")
                                 .arg(root + "/Answer_" + kKey + "/" + kCode, cause);
    test::ModalAnswerer boxes;
    for (int press = 1; press <= 2; ++press) {
      test::pressRecord(record);
      QVERIFY2(test::waitFor([&] { return boxes.count() == press; }, 2000),
               qPrintable(QString::number(boxes.count()) + ": " + boxes.lastText()));
      QCOMPARE(boxes.lastText(), expected);
      QVERIFY(!frmMain->isRecording());
    }
    station::guarded([] { frmMain->StartFrame(-1); });
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
