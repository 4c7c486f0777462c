// The instruction and code entry stage: the code checks and their reasons,
// what an accepted or refused code leaves behind, the key filter, the end of
// the station's work and a missing instruction text.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "modal.h"
#include "test_deliverable.h"
#include "toolkit/guard.h"
#include "window/main.h"
#include "toolkit/participant.h"
#include "window/stages.h"
#include "stages/Instruction.h"
#include "station_fixture.h"
#include "support/synthetic_device.h"
#include "textview/richview.h"

namespace {

const QString kKey = QStringLiteral("33_22_0005_0012_1");
const QString kHeadline = QStringLiteral("Некорректный код участника!");
const QString kLength = QStringLiteral("\n\rКод участника должен состоять из 13 цифр");
const QString kPrefix = QStringLiteral("\n\rКод участника должен начинаться на 275");
const QString kCheckDigit =
    QStringLiteral("\n\rНекорректный код участника. Введите код с бланка регистрации");
const QString kAnswered = QStringLiteral("\n\rУчастник с таким кодом уже отвечал на данной станции");

// Stands in for stage 6: counts how often the code entry hands over.
int g_handovers = 0;
class TNextStage : public QFrame {
 public:
  explicit TNextStage(QWidget* owner) : QFrame(owner) {}
  void Start() { ++g_handovers; }
};

}  // namespace

class TestInstruction : public QObject {
  Q_OBJECT

  std::unique_ptr<test::StationFixture> fx;

  // The station as the equipment check leaves it, entering stage 5.
  void startStation() {
    test::installSyntheticDevice();  // no sound is made here; the device keeps start-up quiet
    fx->startStation();
    frmMain->AnswerKey = kKey;
    frmMain->Panel1->show();  // the equipment check shows the status bar when it hands over
  }
  TfrmInstruction* enterStage() {
    station::guarded([] { frmMain->StartFrame(5); });
    return qobject_cast<TfrmInstruction*>(CurrentFrame.data());
  }
  TfrmInstruction* startStage() {
    startStation();
    return enterStage();
  }

  QString participantFolder(const QString& key, const QString& code) {
    return fx->dir() + "/Answer_" + key + "/" + code;
  }
  // The participant folder with the first `count` answer files in exam
  // order, the last `empty` of them left empty.
  void fillAnswers(const QString& code, int count, int empty = 0) {
    const QString folder = participantFolder(kKey, code);
    QVERIFY(QDir().mkpath(folder));
    const QStringList suffixes{"_00.ogg", "_01.ogg", "_02_1.ogg", "_02_2.ogg",
                               "_02_3.ogg", "_02_4.ogg", "_02_5.ogg", "_03.ogg"};
    for (int i = 0; i < count; ++i) {
      QFile file(folder + "/" + code + suffixes[i]);
      QVERIFY(file.open(QIODevice::WriteOnly));
      if (i < count - empty) file.write("OggS");
    }
  }

 private slots:
  void init() {
    fx = std::make_unique<test::StationFixture>();
    station::registerStageClass<TNextStage>(6);
    g_handovers = 0;
  }
  void cleanup() { fx.reset(); }

  void startShowsInstructionAndPreparesField() {
    TfrmInstruction* f = startStage();
    QVERIFY(f);
    QVERIFY(frmMain->Panel1->isHidden());
    QCOMPARE(f->Edit3->text(), QString("275"));
    QCOMPARE(f->Edit3->maxLength(), 13);
    QVERIFY(!f->RichEdit1->toPlainText().isEmpty());
    QVERIFY(f->Edit3->hasFocus() || QApplication::focusWidget() == f->Edit3 ||
            f->focusWidget() == f->Edit3);
    QVERIFY(!f->Timer1->isActive());
  }

  void missingInstructionLeavesTheEntryReady() {
    QVERIFY(QFile::remove(fx->dir() + "/KIM/I.rtf"));
    startStation();
    test::ModalAnswerer boxes;
    TfrmInstruction* f = enterStage();
    QVERIFY(f);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
    QVERIFY2(boxes.lastText().startsWith("Cannot open file \"KIM/I.rtf\""), qPrintable(boxes.lastText()));
    // The code entry is set up as after a good load and takes a code.
    QVERIFY(frmMain->Panel1->isHidden());
    QCOMPARE(f->Edit3->text(), QString("275"));
    f->Edit3->setText("2751234567897");
    f->Button1->click();
    QCOMPARE(frmMain->ParticipantCode, QString("2751234567897"));
  }

  void validation_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("setup");  // "", "folder", "file", "other key"
    QTest::addColumn<QString>("reasons");
    QTest::newRow("empty") << "" << "" << kLength;
    QTest::newRow("12 digits") << "275123456789" << "" << kLength;
    QTest::newRow("12 characters, wrong prefix") << "999999999999" << "" << kLength;
    QTest::newRow("prefix") << "2760000000001" << "" << kPrefix;
    QTest::newRow("prefix before check digit") << "2760000000009" << "" << kPrefix;
    QTest::newRow("check digit 2") << "2750000000002" << "" << "";
    QTest::newRow("check digit 7") << "2751234567897" << "" << "";
    QTest::newRow("check digit 0 (c = 10)") << "2754000000000" << "" << "";
    QTest::newRow("wrong check digit") << "2750000000003" << "" << kCheckDigit;
    QTest::newRow("transposed digits") << "2752134567897" << "" << kCheckDigit;
    QTest::newRow("answered here") << "2751234567897" << "folder" << kAnswered;
    QTest::newRow("a file of that name") << "2751234567897" << "file" << "";
    QTest::newRow("answered under another key") << "2751234567897" << "other key" << "";
  }
  void validation() {
    QFETCH(QString, code);
    QFETCH(QString, setup);
    QFETCH(QString, reasons);
    TfrmInstruction* f = startStage();
    if (setup == "folder") {
      fillAnswers(code, station::kAnswerFiles);  // a finished exam
    } else if (setup == "file") {
      QVERIFY(QDir().mkpath(fx->dir() + "/Answer_" + kKey));
      QFile file(participantFolder(kKey, code));
      QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (setup == "other key") {
      QVERIFY(QDir().mkpath(participantFolder("33_22_0005_0012_2", code)));
    }
    const bool accepted = reasons.isEmpty();

    QString seen = "left over";
    QCOMPARE(f->ValidateParticipantCode(code, seen), accepted);
    QCOMPARE(seen, reasons);

    // The same through the button: a refusal is a plain box and stores nothing.
    test::ModalAnswerer boxes;
    f->Edit3->setText(code);
    f->Button1->click();
    if (accepted) {
      QCOMPARE(boxes.count(), 0);
      QCOMPARE(frmMain->ParticipantCode, code);
      QVERIFY(test::waitFor([] { return g_handovers == 1; }));
    } else {
      QCOMPARE(boxes.count(), 1);
      QCOMPARE(boxes.seen()[0].text, kHeadline + reasons);
      QCOMPARE(boxes.seen()[0].icon, QMessageBox::NoIcon);
      QCOMPARE(boxes.seen()[0].title, QString("ТАВРЭ - 2017 (устный экзамен)"));
      QCOMPARE(boxes.seen()[0].buttons, QStringList{"OK"});
      QCOMPARE(frmMain->ParticipantCode, QString("1234567890123"));
      test::pump(300);
      QCOMPARE(g_handovers, 0);
      QCOMPARE(CurrentFrame.data(), f);
      QCOMPARE(f->Edit3->text(), code);
    }
  }

  // A code already answered stays refused; when that exam was cut short
  // (fewer than the eight answers on disk) the box says so and how many are
  // there. Empty files do not count as answers.
  void interruptedExamIsNamed_data() {
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("empty");
    QTest::addColumn<QString>("note");
    const QString cut = QStringLiteral("\nЭкзамен этого участника был прерван: ");
    const QString act = QStringLiteral(". Пригласите организатора в аудитории.");
    QTest::newRow("folder only") << 0 << 0 << cut + "на диске нет ни одного из 8 ответов" + act;
    QTest::newRow("the spoken code") << 1 << 0 << cut + "на диске есть 1 из 8 ответов" + act;
    QTest::newRow("two") << 2 << 0 << cut + "на диске есть 2 из 8 ответов" + act;
    QTest::newRow("in task 2") << 5 << 0 << cut + "на диске есть 5 из 8 ответов" + act;
    QTest::newRow("all but task 3") << 7 << 0 << cut + "на диске есть 7 из 8 ответов" + act;
    QTest::newRow("task 3 left empty") << 8 << 1 << cut + "на диске есть 7 из 8 ответов" + act;
    QTest::newRow("finished") << 8 << 0 << "";
  }
  void interruptedExamIsNamed() {
    QFETCH(int, files);
    QFETCH(int, empty);
    QFETCH(QString, note);
    TfrmInstruction* f = startStage();
    const QString code = "2751234567897";
    fillAnswers(code, files, empty);
    test::ModalAnswerer boxes;
    f->Edit3->setText(code);
    f->Button1->click();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.lastText(), kHeadline + kAnswered + note);
    test::pump(200);
    QCOMPARE(g_handovers, 0);
  }

  void folderMovedAwayLetsCodePass() {
    TfrmInstruction* f = startStage();
    const QString folder = participantFolder(kKey, "2751234567897");
    QVERIFY(QDir().mkpath(folder));
    QString reasons;
    QVERIFY(!f->ValidateParticipantCode("2751234567897", reasons));
    QVERIFY(QDir().rename(folder, folder + ".moved"));
    QVERIFY(f->ValidateParticipantCode("2751234567897", reasons));
  }

  void pastedNonDigitIsRefused_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("character");
    QTest::newRow("letter at 4") << "275a234567897" << "a";
    QTest::newRow("blank at 8") << "2751234 67897" << " ";
    QTest::newRow("minus at 12") << "27512345678-7" << "-";
    QTest::newRow("letter at 13") << "275123456789x" << "x";
    QTest::newRow("arabic-indic digit") << QString("27512345678") + QChar(0x0669) + "7" << QString(QChar(0x0669));
  }
  void pastedNonDigitIsRefused() {
    QFETCH(QString, code);
    QFETCH(QString, character);
    TfrmInstruction* f = startStage();
    test::ModalAnswerer boxes;
    f->Edit3->setText(code);  // as a paste does: the key filter is not asked
    f->Button1->click();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.lastText(), QString("'%1' is not a valid integer value").arg(character));
    QCOMPARE(frmMain->ParticipantCode, QString("1234567890123"));
    QVERIFY(frmMain->KimVariant.isEmpty());
    test::pump(300);
    QCOMPARE(g_handovers, 0);
    QCOMPARE(CurrentFrame.data(), f);
  }

  void acceptanceStoresCodeAndHandsOver() {
    TfrmInstruction* f = startStage();
    f->Edit3->setText("2751234567897");
    f->Button1->click();
    QCOMPARE(frmMain->ParticipantCode, QString("2751234567897"));
    QCOMPARE(frmMain->KimVariant, test::flat() ? QString() : QString("1"));
    // The switch waits for the timer: the frame is still up right after the click.
    QCOMPARE(CurrentFrame.data(), f);
    QCOMPARE(g_handovers, 0);
    QVERIFY(test::waitFor([] { return g_handovers == 1; }));
    QVERIFY(frmMain->Panel1->isVisible());
    test::pump(300);
    QCOMPARE(g_handovers, 1);
  }

  void keyFilter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("keepsFocus");
    QTest::newRow("digits") << "1234" << "2751234" << true;
    QTest::newRow("letter, blank, minus") << "1a 2-3" << "275123" << true;
    QTest::newRow("plus, dot, cyrillic") << "+.ж4" << "2754" << true;
    QTest::newRow("backspace") << "12\b\b9" << "2759" << true;
    QTest::newRow("14th digit") << "12345678901" << "2751234567890" << true;
    QTest::newRow("Tab leaves the field") << "12\t" << "27512" << false;
  }
  void keyFilter() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, keepsFocus);
    TfrmInstruction* f = startStage();
    f->Edit3->setFocus();
    f->Edit3->end(false);
    for (QChar c : typed) {
      if (c == QChar(8)) QTest::keyClick(f->Edit3, Qt::Key_Backspace);
      else if (c == QLatin1Char('\t')) QTest::keyClick(f->Edit3, Qt::Key_Tab);
      else QTest::sendKeyEvent(QTest::Click, f->Edit3, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QCOMPARE(f->Edit3->text(), shown);
    QCOMPARE(frmMain->focusWidget() == f->Edit3, keepsFocus);
  }

  void endingTheStationAsksFirst_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("ends");
    QTest::newRow("No") << "&No" << false;
    QTest::newRow("Yes") << "&Yes" << true;
  }
  void endingTheStationAsksFirst() {
    QFETCH(QString, answer);
    QFETCH(bool, ends);
    TfrmInstruction* f = startStage();
    test::ModalAnswerer boxes(answer);
    f->Button2->click();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.seen()[0].text, QString("Завершить прием экзамена на станции?"));
    QCOMPARE(boxes.seen()[0].title, QString("Confirm"));
    QCOMPARE(boxes.seen()[0].buttons, (QStringList{"&Yes", "&No"}));
    QCOMPARE(boxes.seen()[0].defaultButton, QString("&Yes"));
    QCOMPARE(frmMain->CanExit, ends);
    QCOMPARE(frmMain->isVisible(), !ends);
    QCOMPARE(f->isVisible(), !ends);
    QCOMPARE(CurrentFrame.data(), f);
  }
};

QTEST_MAIN(TestInstruction)
#include "test_instruction.moc"
