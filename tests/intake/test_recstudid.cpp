// The participant code recording stage with the synthetic sound device and
// the real oggenc: the prompt, every state of the stage with its controls
// and sound, the way out and what it leaves behind.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "audio/audio.h"
#include "modal.h"
#include "toolkit/guard.h"
#include "framework/judge.h"
#include "window/main.h"
#include "toolkit/picture.h"
#include "window/stages.h"
#include "toolkit/widgets.h"
#include "stages/RecStudID.h"
#include "station_fixture.h"
#include "support/sound_file.h"
#include "support/synthetic_device.h"

namespace {

const QString kKey = QStringLiteral("33_22_0005_0012_1");
const QString kCode = QStringLiteral("2751234567897");
const QString kPrompt = QStringLiteral(
    "Нажмите кнопку \"Запись кода участника\"\n\rи четко произнесите на русском языке свой код \n\r");
const QString kOrganiser =
    QStringLiteral("Пригласите организатора в аудитории и сообщите о проблеме записи кода участника.");
constexpr double kTone = 1000.0;

// Stands in for stage 10: counts how often the stage hands over.
int g_handovers = 0;
class TPrepare : public QFrame {
 public:
  explicit TPrepare(QWidget* owner) : QFrame(owner) {}
  void Start() { ++g_handovers; }
};

}  // namespace

class TestRecStudID : public QObject {
  Q_OBJECT

  std::unique_ptr<test::StationFixture> fx;
  test::SyntheticDevice* dev = nullptr;
  QPointer<TfrmRecStudID> f;
  QString mark;  // the verdict mark the stage should show: "", "V" or "X"

  QString codeFile() const { return fx->dir() + "/Answer_" + kKey + "/" + kCode + "/" + kCode + "_00.ogg"; }

  TfrmRecStudID* enterStage() {
    station::guarded([] { frmMain->StartFrame(6); });
    f = qobject_cast<TfrmRecStudID*>(CurrentFrame.data());
    test::pump(20);  // lets the idle update run
    return f;
  }

  // Checks one state of the stage's state table.
  void expectState(const QString& state) {
    const bool recording = state == "Recording";
    const bool checking = state == "Checking";
    const bool accepted = state == "Accepted" || (mark == "V" && (recording || checking));
    QVERIFY(test::waitFor([&] { return f->Button1->isEnabled() == (accepted && !recording); }, 2000));
    QCOMPARE(f->btnRecID->text(),
             recording ? QString("Завершить запись и воспроизвести") : QString("Запись кода участника"));
    QCOMPARE(f->btnRecID->isEnabled(), !checking);
    QCOMPARE(f->imgMic->isVisible(), recording);
    QCOMPARE(f->imgSpeak->isVisible(), checking);
    QCOMPARE(f->pnlTestREC->isVisible(), checking);
    QCOMPARE(f->lblRecID->isVisible(), !mark.isEmpty());
    if (!mark.isEmpty()) {
      QCOMPARE(f->lblRecID->text(), mark);
      QCOMPARE(f->lblRecID->palette().color(QPalette::WindowText),
               mark == "V" ? QColor(0, 128, 0) : QColor(255, 0, 0));
    }
    QCOMPARE(f->CodeRecordingAccepted, accepted);
    QCOMPARE(audio::channelIsActive(RecordChannel) != audio::Stopped, recording);
    if (state == "Accepted" || state == "Rejected" || state == "Ready")
      QCOMPARE(audio::channelIsActive(RecordedStream), int(audio::Stopped));
    QVERIFY(frmMain->Panel1->isHidden());
    QCOMPARE(g_handovers, 0);
  }

  void record(double seconds) {
    test::pressRecord(f->btnRecID);
    QVERIFY(dev->waitCaptured(std::uint64_t(seconds * 44100), 10000));
  }

 private slots:
  void init() {
    fx = std::make_unique<test::StationFixture>();
    station::registerStageClass<TPrepare>(10);
    g_handovers = 0;
    mark.clear();
    dev = test::installSyntheticDevice();
    dev->setSpeed(8.0);
    dev->setTone(kTone, 0.5);
    fx->startStation();
    frmMain->AnswerKey = kKey;
    frmMain->ParticipantCode = kCode;
  }
  void cleanup() {
    fx.reset();
    f = nullptr;
  }

  void startShowsPromptAndCode_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("shown");
    QTest::newRow("13 digits") << "1234567890123" << "123-456-789-01-23";
    QTest::newRow("accepted code") << kCode << "275-123-456-78-97";
    QTest::newRow("short code") << "27512" << "275-12---";
  }
  void startShowsPromptAndCode() {
    QFETCH(QString, code);
    QFETCH(QString, shown);
    frmMain->ParticipantCode = code;
    QVERIFY(enterStage());
    QCOMPARE(kPrompt.size(), 88);
    QCOMPARE(f->Label2Caption(), kPrompt + shown);
    // Drawn as three centred lines, without the carriage returns.
    QCOMPARE(f->Label2->shownText().split('\n'),
             (QStringList{"Нажмите кнопку \"Запись кода участника\"",
                          "и четко произнесите на русском языке свой код ", shown}));
    QCOMPARE(f->Label1->text(), QString("Запись кода участника экзамена"));
    QCOMPARE(f->Button1->text(), QString("Завершить запись кода участника и приступить к выполнению заданий"));
    expectState("Ready");
  }

  // Walks the stage through its states; every step checks the controls and
  // the sound of the state it reaches.
  void stateTable_data() {
    QTest::addColumn<QStringList>("answers");  // "Да" or "Нет" after each recording
    QTest::newRow("Да") << QStringList{"Да"};
    QTest::newRow("Нет") << QStringList{"Нет"};
    QTest::newRow("Нет, then Да") << QStringList{"Нет", "Да"};
    QTest::newRow("Да, then Нет") << QStringList{"Да", "Нет"};
    QTest::newRow("Да twice") << QStringList{"Да", "Да"};
  }
  void stateTable() {
    QFETCH(QStringList, answers);
    QVERIFY(enterStage());
    expectState("Ready");
    for (const QString& answer : answers) {
      dev->clearPlayed();
      record(1.0);
      expectState("Recording");
      QCOMPARE(audio::channelIsActive(RecordChannel), int(audio::Playing));

      test::pressRecord(f->btnRecID);
      expectState("Checking");
      // The code recording file is complete, under the program folder, and played back.
      const test::SoundFile file = test::readSoundFile(codeFile());
      QVERIFY(file.ok);
      QVERIFY(file.seconds() >= 0.9);
      QVERIFY(std::abs(test::dominantFrequency(file.channel(0), file.rate) - kTone) < 10.0);
      QVERIFY(test::waitFor([&] { return dev->played().size() / 2 >= std::size_t(file.frames) / 2; }));

      test::ModalAnswerer boxes;
      (answer == "Да" ? f->Button4 : f->Button5)->click();
      mark = answer == "Да" ? "V" : "X";
      if (answer == "Нет") {
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.seen()[0].text, kOrganiser);
        QCOMPARE(boxes.seen()[0].title, QString("ТАВРЭ - 2017 (устный экзамен)"));
        QCOMPARE(boxes.seen()[0].icon, QMessageBox::NoIcon);
        QCOMPARE(boxes.seen()[0].buttons, QStringList{"OK"});
      } else {
        QCOMPARE(boxes.count(), 0);
      }
      expectState(answer == "Да" ? "Accepted" : "Rejected");
    }
  }

  // A recording that cannot start leaves the record caption; the next click
  // tries again instead of asking about a recording that does not exist.
  void failedStartIsTriedAgain() {
    QVERIFY(enterStage());
    dev->failCapture(audio::ErrDevice);
    test::ModalAnswerer boxes;
    test::pressRecord(f->btnRecID);
    QCOMPARE(boxes.count(), 1);
    QVERIFY(boxes.lastText().startsWith("Couldn't start recording"));
    QVERIFY(!f->imgMic->isVisible());
    QCOMPARE(f->btnRecID->text(), QString("Запись кода участника"));
    test::pressRecord(f->btnRecID);
    QCOMPARE(boxes.count(), 2);
    QVERIFY(!f->pnlTestREC->isVisible());
    dev->failCapture(audio::ErrOk);
    record(0.5);
    expectState("Recording");
  }

  void folderThatCannotBeMadeIsReported() {
    QVERIFY(enterStage());
    // A plain file where the answer folder belongs.
    QFile blocker(fx->dir() + "/Answer_" + kKey);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    test::ModalAnswerer boxes;
    test::pressRecord(f->btnRecID);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
    QVERIFY2(boxes.lastText().contains(kCode), qPrintable(boxes.lastText()));
    QCOMPARE(RecordChannel, 0u);
  }

  void startClearsEarlierAcceptance() {
    QVERIFY(enterStage());
    record(0.5);
    test::pressRecord(f->btnRecID);
    f->Button4->click();
    QVERIFY(test::waitFor([&] { return f->Button1->isEnabled(); }));
    // The next participant's stage starts unaccepted.
    QPointer<TfrmRecStudID> first = f;
    QVERIFY(enterStage());
    QVERIFY(f != first);
    QVERIFY(!f->CodeRecordingAccepted);
    test::pump(50);
    QVERIFY(!f->Button1->isEnabled());
    QVERIFY(!f->lblRecID->isVisible());
  }

  // Leaving: exactly one switch, the status bar back, both folders in place.
  void leaving_data() {
    QTest::addColumn<bool>("removeFolders");
    QTest::newRow("folders there") << false;
    QTest::newRow("folders missing") << true;
  }
  void leaving() {
    QFETCH(bool, removeFolders);
    QVERIFY(enterStage());
    record(0.5);
    test::pressRecord(f->btnRecID);
    f->Button4->click();
    QVERIFY(test::waitFor([&] { return f->Button1->isEnabled(); }));
    if (removeFolders) QVERIFY(QDir(fx->dir() + "/Answer_" + kKey).removeRecursively());
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QCOMPARE(g_handovers, 0);  // never from inside the click
    QVERIFY(test::waitFor([] { return g_handovers > 0; }));
    test::pump(300);
    QCOMPARE(g_handovers, 1);
    QVERIFY(frmMain->Panel1->isVisible());
    QVERIFY(QFileInfo(fx->dir() + "/Answer_" + kKey).isDir());
    QVERIFY(QFileInfo(fx->dir() + "/Answer_" + kKey + "/" + kCode).isDir());
  }

  // After "Да" a new recording makes Button1 unusable until it is stopped;
  // a recording started while the switch is pending is finished on leaving.
  void noLeavingWithARecordingRunning() {
    QVERIFY(enterStage());
    record(0.5);
    test::pressRecord(f->btnRecID);
    f->Button4->click();
    mark = "V";
    expectState("Accepted");
    record(0.5);
    expectState("Recording");

    test::pressRecord(f->btnRecID);
    f->Button4->click();
    expectState("Accepted");
    test::pump(station::RecordJudge::kPressMergeMs);  // the record press must follow Button1 at once
    f->Button1->click();
    record(0.2);  // within the 100 ms of the pending switch
    QVERIFY(test::waitFor([] { return g_handovers == 1; }));
    QCOMPARE(RecordChannel, 0u);
    QCOMPARE(audio::channelIsActive(RecordedStream), int(audio::Stopped));
    QVERIFY(test::readSoundFile(codeFile()).ok);
  }
};

QTEST_MAIN(TestRecStudID)
#include "test_recstudid.moc"
