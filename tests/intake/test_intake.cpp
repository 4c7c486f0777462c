// A whole participant intake on a started station: the code typed and
// accepted, the spoken code recorded into the program folder's answer
// folder, accepted and handed over to the tasks; then the same code refused
// at the next intake.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "audio/audio.h"
#include "modal.h"
#include "test_deliverable.h"
#include "toolkit/guard.h"
#include "window/main.h"
#include "toolkit/names.h"
#include "window/stages.h"
#include "toolkit/widgets.h"
#include "stages/Instruction.h"
#include "stages/RecStudID.h"
#include "stages/TestRTF.h"
#include "station_driver.h"
#include "station_fixture.h"
#include "support/sound_file.h"
#include "support/synthetic_device.h"

namespace {

// Stands in for stage 10, the first preparation.
int g_handovers = 0;
class TPrepare : public QFrame {
 public:
  explicit TPrepare(QWidget* owner) : QFrame(owner) {}
  void Start() { ++g_handovers; }
};

}  // namespace

class TestIntake : public QObject {
  Q_OBJECT

 private slots:
  void wholeIntake_data() {
    QTest::addColumn<bool>("ownFolder");
    QTest::newRow("started in its own folder") << true;
    QTest::newRow("started from another folder") << false;
  }
  void wholeIntake() {
    QFETCH(bool, ownFolder);
    test::StationFixture fx;
    station::registerStageClass<TPrepare>(10);
    g_handovers = 0;
    test::SyntheticDevice* dev = test::installSyntheticDevice();
    dev->setSpeed(8.0);
    dev->setTone(700.0, 0.5);
    QTemporaryDir programFolder;
    {
      test::ModalAnswerer noBoxExpected;
      fx.startStation();
      QCOMPARE(noBoxExpected.count(), 0);
    }
    if (!ownFolder) frmMain->StationDir = programFolder.path() + "/";
    test::passEquipmentCheck(dev);
    QVERIFY(!QTest::currentTestFailed());

    const QString code = "2753000000003";
    auto* entry = test::stage<TfrmInstruction>();
    QVERIFY(entry);
    const auto subject = station::names::readSubjectFile("KIM/subj");
    QCOMPARE(frmMain->AnswerKey, subject.line3 + "_" + subject.line2 + "_0005_0012_1");
    QVERIFY(frmMain->Panel1->isHidden());
    test::type(entry->Edit3, code.mid(3));
    QCOMPARE(entry->Edit3->text(), code);
    QTest::mouseClick(entry->Button1, Qt::LeftButton);

    auto* rec = test::stage<TfrmRecStudID>();
    QVERIFY(rec);
    QCOMPARE(frmMain->ParticipantCode, code);
    QCOMPARE(frmMain->KimVariant, test::flat() ? QString() : QString("3"));
    QVERIFY(rec->Label2Caption().endsWith("\n\r275-300-000-00-03"));
    test::pressRecord(rec->btnRecID);
    QVERIFY(dev->waitCaptured(2 * 44100, 10000));
    test::pressRecord(rec->btnRecID);
    QVERIFY(rec->pnlTestREC->isVisible());
    QTest::mouseClick(rec->Button4, Qt::LeftButton);
    QVERIFY(test::waitFor([&] { return rec->Button1->isEnabled(); }));
    QTest::mouseClick(rec->Button1, Qt::LeftButton);
    QVERIFY(test::waitFor([] { return g_handovers == 1; }));

    // One root: the recording lies in the program folder, nothing in the current one.
    const QString file = frmMain->StationDir + "Answer_" + frmMain->AnswerKey + "/" + code + "/" + code + "_00.ogg";
    const test::SoundFile sound = test::readSoundFile(file);
    QVERIFY2(sound.ok, qPrintable(file));
    QVERIFY(sound.seconds() >= 1.9);
    QVERIFY(std::abs(test::dominantFrequency(sound.channel(0), sound.rate) - 700.0) < 10.0);
    if (!ownFolder) QVERIFY(!QDir(fx.dir() + "/Answer_" + frmMain->AnswerKey).exists());

    // The next participant types the same code.
    station::guarded([] { frmMain->StartFrame(5); });
    entry = test::stage<TfrmInstruction>();
    QVERIFY(entry);
    test::type(entry->Edit3, code.mid(3));
    test::ModalAnswerer boxes;
    QTest::mouseClick(entry->Button1, Qt::LeftButton);
    QCOMPARE(boxes.count(), 1);
    // Only the spoken code is on disk: the exam was cut short.
    QCOMPARE(boxes.lastText(),
             QString("Некорректный код участника!\n\rУчастник с таким кодом уже отвечал на данной станции\n"
                     "Экзамен этого участника был прерван: на диске есть 1 из 8 ответов. "
                     "Пригласите организатора в аудитории."));
    test::pump(300);
    QCOMPARE(CurrentFrame.data(), entry);
    QVERIFY(test::readSoundFile(file).ok);
  }
};

QTEST_MAIN(TestIntake)
#include "test_intake.moc"
