// The equipment check stage: what it shows at start, the two checks and
// their marks, the enabling rule of the finishing button, the code fields,
// the answer folder key and the switch to the instruction stage.
#include <sndfile.h>

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "audio/audio.h"
#include "modal.h"
#include "sound_file.h"
#include "synthetic_device.h"
#include "framework/judge.h"
#include "toolkit/journal.h"
#include "toolkit/levelmeter.h"
#include "toolkit/manifest.h"
#include "window/main.h"
#include "toolkit/picture.h"
#include "window/stages.h"
#include "station_fixture.h"
#include "stages/TestHard.h"
#include "stages/TestRTF.h"
#include "textview/richview.h"

namespace {

constexpr double kTone = 1000.0;  // what the synthetic microphone hears

// Stands in for the instruction stage: counts how often it is started.
int g_instructionStarts = 0;
class TInstructionProbe : public QFrame {
 public:
  explicit TInstructionProbe(QWidget* owner) : QFrame(owner) {}
  void Start() { ++g_instructionStarts; }
};

const QString kSubjectCaption = QStringLiteral("Станция для приема экзамена по:\n\r");

QByteArray cp1251(const QString& s) { return QStringEncoder("windows-1251")(s); }

// The station started on the equipment check in a temporary folder.
struct CheckStation {
  test::StationFixture fx;
  test::ModalAnswerer boxes;
  test::SyntheticDevice* device = nullptr;
  TfrmTestHard* frame = nullptr;

  // prepare runs on the station folder before the station starts.
  explicit CheckStation(const std::function<void(const QString&)>& prepare = {}) {
    device = test::installSyntheticDevice();
    device->setSpeed(8.0);
    device->setTone(kTone, 0.5);
    if (prepare) prepare(fx.dir());
    fx.startStation();
    g_instructionStarts = 0;
    frame = qobject_cast<TfrmTestHard*>(CurrentFrame.data());
  }

  template <class W>
  W* w(const char* name) const {
    W* found = frame->findChild<W*>(QLatin1String(name));
    if (!found) qFatal("no control %s", name);
    return found;
  }
  QPushButton* button(const char* name) const { return w<QPushButton>(name); }
  QLabel* label(const char* name) const { return w<QLabel>(name); }
  QLineEdit* field(const char* name) const { return w<QLineEdit>(name); }

  void fill(const QString& station, const QString& aud, const QString& comp) const {
    field("edtStationCode")->setText(station);
    field("edtAudCode")->setText(aud);
    field("edtCompCode")->setText(comp);
  }
  // Lets the update-on-idle handlers run, as the idle station does.
  bool finishEnabled() const {
    test::pump(20);
    const bool enabled = frame->Action1->isEnabled();
    if (button("Button1")->isEnabled() != enabled) qFatal("Button1 does not follow Action1");
    return enabled;
  }
  // Opens the text check window with its button, runs whileOpen inside it,
  // then closes it with "Закрыть". False when the window never showed.
  bool checkText(const std::function<void()>& whileOpen = {}) const {
    bool shown = false;
    QTimer::singleShot(0, [&] {
      if (!test::waitFor([] { return frmTestRTF->isVisible(); }, 2000)) return;
      shown = true;
      if (whileOpen) whileOpen();
      QTest::mouseClick(frmTestRTF->Button1, Qt::LeftButton);
    });
    QTest::mouseClick(button("btnTestRTF"), Qt::LeftButton);
    return shown;
  }
  // The recording check, answered: record about a second, stop, and while
  // the recording plays back answer "Да" or "Нет".
  void answerRecording(bool yes) const {
    test::pressRecord(button("btnRecTest"));
    QVERIFY(device->waitCaptured(44100, 10000));
    test::pressRecord(button("btnRecTest"));
    QVERIFY(frame->findChild<QWidget*>("pnlTestREC")->isVisible());
    QTest::mouseClick(button(yes ? "Button4" : "Button5"), Qt::LeftButton);
  }
  void acceptBothChecks() const {
    answerRecording(true);
    checkText();
    QTest::mouseClick(button("Button7"), Qt::LeftButton);
  }
  // Presses the finishing button and waits until the next stage has
  // started (true) or a box has answered instead (false).
  bool finish() const {
    const int seen = boxes.count();
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    test::waitFor([&] { return g_instructionStarts > 0 || boxes.count() > seen; }, 2000);
    return g_instructionStarts > 0;
  }
};

void writeSubject(const QString& dir, const QByteArray& bytes) {
  QFile f(dir + QStringLiteral("/KIM/subj"));
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

}  // namespace

class TestTestHard : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    test::registerStationStages();
    station::registerStageClass<TInstructionProbe>(5);
  }

  void startShowsTheStageWithTheFinishingButtonDisabled() {
    CheckStation s;
    QVERIFY(s.frame);
    QCOMPARE(s.boxes.count(), 0);
    QVERIFY(frmMain->Panel1->isHidden());
    QVERIFY(!s.frame->RecordingCheckPassed && !s.frame->TextCheckPassed);
    for (const char* hidden : {"pnlTestREC", "lblTestREC", "pnlTestRTF", "lblTestRTF", "imgMic", "imgSpeak"})
      QVERIFY2(s.frame->findChild<QWidget*>(hidden)->isHidden(), hidden);
    QCOMPARE(s.button("Button1")->text(), QString("Завершить проверку оборудования и приступить к приему экзамена"));
    // Even with every field filled the checks are still owed.
    s.fill("1234", "12", "3");
    QVERIFY(!s.finishEnabled());
    QVERIFY(s.frame->Timer1->interval() == 100 && !s.frame->Timer1->isActive());
  }

  void subjectFileFillsTheCaptionAndLines_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<QString>("line3");
    QTest::newRow("sample, CR LF") << QByteArray() << "Английский язык" << "01" << "2017";
    QTest::newRow("LF only, extra lines ignored")
        << cp1251("Физика\n12\n2018\nлишняя\n") << "Физика" << "12" << "2018";
    QTest::newRow("one line") << cp1251("Химия") << "Химия" << "" << "";
    QTest::newRow("markup is shown as text") << QByteArray("<b>X</b>\r\n1\r\n2\r\n") << "<b>X</b>" << "1" << "2";
  }
  void subjectFileFillsTheCaptionAndLines() {
    QFETCH(QByteArray, file);
    QFETCH(QString, subject);
    QFETCH(QString, line2);
    QFETCH(QString, line3);
    CheckStation s([&](const QString& dir) {
      if (!file.isNull()) writeSubject(dir, file);
    });
    QCOMPARE(s.boxes.count(), 0);
    auto* lblSubj = static_cast<CaptionLabel*>(s.label("lblSubj"));
    QCOMPARE(lblSubj->text(), kSubjectCaption + subject);
    QCOMPARE(lblSubj->textFormat(), Qt::PlainText);
    // The carriage return after the line feed is kept in the text, not drawn.
    QCOMPARE(lblSubj->shownText(), QString("Станция для приема экзамена по:\n") + subject);
    QCOMPARE(frmMain->SubjLine2, line2);
    QCOMPARE(frmMain->SubjLine3, line3);
  }

  void missingSubjectFileIsReportedAndTheChecksStillWork() {
    CheckStation s([](const QString& dir) { QFile::remove(dir + "/KIM/subj"); });
    QCOMPARE(s.boxes.count(), 1);
    QCOMPARE(s.boxes.seen()[0].icon, QMessageBox::Critical);
    QVERIFY2(s.boxes.lastText().contains("KIM/subj"), qPrintable(s.boxes.lastText()));
    QVERIFY(frmMain->Panel1->isHidden());
    QCOMPARE(s.label("lblSubj")->text(), QString("Экзамен:"));
    s.acceptBothChecks();
    s.fill("1", "2", "3");
    QVERIFY(s.finishEnabled());
    QVERIFY(s.finish());
    QCOMPARE(frmMain->AnswerKey, QString("__0001_0002_3"));
  }

  void enablingRule_data() {
    QTest::addColumn<bool>("recording");
    QTest::addColumn<bool>("text");
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("aud");
    QTest::addColumn<QString>("comp");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("all given") << true << true << "1234" << "12" << "3" << true;
    QTest::newRow("recording refused") << false << true << "1234" << "12" << "3" << false;
    QTest::newRow("text refused") << true << false << "1234" << "12" << "3" << false;
    QTest::newRow("both refused") << false << false << "1234" << "12" << "3" << false;
    QTest::newRow("venue empty") << true << true << "" << "12" << "3" << false;
    QTest::newRow("venue 0") << true << true << "0" << "12" << "3" << false;
    QTest::newRow("venue 00") << true << true << "00" << "12" << "3" << true;
    QTest::newRow("room empty") << true << true << "1234" << "" << "3" << false;
    QTest::newRow("room 0") << true << true << "1234" << "0" << "3" << false;
    QTest::newRow("room 00") << true << true << "1234" << "00" << "3" << true;
    QTest::newRow("room 0000") << true << true << "1234" << "0000" << "3" << true;
    QTest::newRow("station empty") << true << true << "1234" << "12" << "" << false;
    QTest::newRow("station 0") << true << true << "1234" << "12" << "0" << false;
  }
  void enablingRule() {
    QFETCH(bool, recording);
    QFETCH(bool, text);
    QFETCH(QString, station);
    QFETCH(QString, aud);
    QFETCH(QString, comp);
    QFETCH(bool, enabled);
    CheckStation s;
    s.answerRecording(recording);
    QVERIFY(s.checkText());
    QTest::mouseClick(s.button(text ? "Button7" : "Button8"), Qt::LeftButton);
    s.fill(station, aud, comp);
    QCOMPARE(s.finishEnabled(), enabled);
    // Pressing a disabled finishing button does nothing.
    QTest::mouseClick(s.button("Button1"), Qt::LeftButton);
    test::pump(250);
    QCOMPARE(g_instructionStarts, enabled ? 1 : 0);
  }

  void noThenYes_data() {
    QTest::addColumn<QString>("check");
    QTest::newRow("recording") << "REC";
    QTest::newRow("text") << "RTF";
  }
  void noThenYes() {
    QFETCH(QString, check);
    const bool rec = check == "REC";
    CheckStation s;
    s.fill("1234", "12", "3");
    // The other check is accepted; this one is answered "Нет", then "Да".
    if (rec) {
      QVERIFY(s.checkText());
      QTest::mouseClick(s.button("Button7"), Qt::LeftButton);
    } else {
      s.answerRecording(true);
    }
    QLabel* mark = s.label(rec ? "lblTestREC" : "lblTestRTF");
    QWidget* panel = s.frame->findChild<QWidget*>(rec ? "pnlTestREC" : "pnlTestRTF");
    bool& flag = rec ? s.frame->RecordingCheckPassed : s.frame->TextCheckPassed;
    for (bool yes : {false, true}) {
      if (rec) {
        s.answerRecording(yes);
      } else {
        QVERIFY(s.checkText());
        QVERIFY(panel->isVisible());
        QTest::mouseClick(s.button(yes ? "Button7" : "Button8"), Qt::LeftButton);
      }
      QCOMPARE(flag, yes);
      QVERIFY(mark->isVisible());
      QCOMPARE(mark->text(), QString(yes ? "V" : "X"));
      QCOMPARE(mark->palette().color(QPalette::WindowText), yes ? QColor(0, 128, 0) : QColor(255, 0, 0));
      QVERIFY(panel->isHidden());
      QVERIFY(s.button(rec ? "btnRecTest" : "btnTestRTF")->isEnabled());
      QCOMPARE(s.finishEnabled(), yes);
    }
  }

  // One round of the recording check: the microphone while recording, the
  // test file written, played back with the loudspeaker, and the answer
  // silences it.
  void recordingCheckRecordsAndPlaysBack() {
    CheckStation s;
    QPushButton* rec = s.button("btnRecTest");
    auto* mic = s.frame->findChild<QWidget*>("imgMic");
    auto* speaker = s.frame->findChild<QWidget*>("imgSpeak");
    QFile::remove(s.fx.dir() + "/test.ogg");

    test::pressRecord(rec);
    QCOMPARE(s.boxes.count(), 0);
    QVERIFY(RecordChannel != 0);
    QCOMPARE(rec->text(), QString("Завершить запись и воспроизвести"));
    QVERIFY(mic->isVisible() && speaker->isHidden());
    QVERIFY(s.device->waitCaptured(44100, 10000));

    s.device->clearPlayed();
    test::pressRecord(rec);
    QCOMPARE(s.boxes.count(), 0);
    QCOMPARE(RecordChannel, 0u);
    QCOMPARE(rec->text(), QString("Проверить качество записи"));
    QVERIFY(!rec->isEnabled());
    QVERIFY(s.frame->findChild<QWidget*>("pnlTestREC")->isVisible());
    QVERIFY(speaker->isVisible() && mic->isHidden());

    // test.ogg in the current folder holds what the microphone heard ...
    const test::SoundFile file = test::readSoundFile(s.fx.dir() + "/test.ogg");
    QVERIFY(file.ok);
    QVERIFY2(file.seconds() > 0.9, qPrintable(QString::number(file.seconds())));
    QVERIFY(std::abs(test::dominantFrequency(file.channel(0), 44100) - kTone) < 10.0);
    // ... and it is what the speakers play now.
    QCOMPARE(audio::channelIsActive(RecordedStream), int(audio::Playing));
    QVERIFY(test::waitFor([&] { return s.device->played().size() >= 2 * 22050; }, 5000));
    std::vector<float> left;
    const auto played = s.device->played();
    for (std::size_t i = 0; i < played.size(); i += 2) left.push_back(played[i] / 32768.0f);
    QVERIFY(test::toneShare(left, 44100, kTone, 0, left.size()) > 0.8);

    QTest::mouseClick(s.button("Button5"), Qt::LeftButton);
    QCOMPARE(audio::channelIsActive(RecordedStream), int(audio::Stopped));
    QVERIFY(mic->isHidden() && speaker->isHidden());
    QVERIFY(rec->isEnabled());
  }

  // The input level bar follows the microphone while a recording runs and
  // is gone once it stops.
  void levelBarFollowsTheMicrophone() {
    CheckStation s;
    s.device->setSpeed(1.0);
    test::pressRecord(s.button("btnRecTest"));
    station::LevelMeter* meter = frmMain->levelMeter();
    QVERIFY(meter && meter->isVisible());
    QVERIFY(test::waitFor([&] { return meter->levelDb() > -8.0; }, 2000));  // the tone: -6 dBFS
    s.device->setSilence();
    QVERIFY(test::waitFor([&] { return meter->levelDb() <= station::LevelMeter::kFloorDb; }, 3000));
    s.device->setTone(kTone, 0.05);
    QVERIFY(test::waitFor([&] { return meter->levelDb() > -28.0; }, 2000));
    QVERIFY(meter->levelDb() < -24.0);
    test::pressRecord(s.button("btnRecTest"));
    QVERIFY(meter->isHidden());
  }

  // Each recording is checked when it stops; a faulty one gets a warning
  // under the question, which goes with the answer.
  void stoppedRecordingIsChecked_data() {
    QTest::addColumn<double>("amplitude");
    QTest::addColumn<double>("speed");  // below 1 the device delivers less than the time recorded
    QTest::addColumn<QString>("warning");
    QTest::newRow("good") << 0.5 << 8.0 << "";
    QTest::newRow("silent") << 0.0 << 8.0 << "запись пустая";
    QTest::newRow("too short") << 0.5 << 0.2 << "файл короче, чем длилась запись";
  }
  void stoppedRecordingIsChecked() {
    QFETCH(double, amplitude);
    QFETCH(double, speed);
    QFETCH(QString, warning);
    CheckStation s;
    s.device->setTone(kTone, amplitude);
    s.device->setSpeed(speed);
    QSignalSpy checked(frmMain, &TfrmMain::recordingChecked);
    test::pressRecord(s.button("btnRecTest"));
    test::pump(1000);
    test::pressRecord(s.button("btnRecTest"));
    QVERIFY(checked.wait(5000));
    test::pump(20);
    const QLabel* line = s.frame->findChild<QLabel*>("lblRecordingWarning");
    QCOMPARE(line && line->isVisible(), !warning.isEmpty());
    if (line && !warning.isEmpty()) {
      QVERIFY2(line->text().contains(warning), qPrintable(line->text()));
      // Under the question, not over it.
      QVERIFY(line->y() > s.frame->findChild<QWidget*>("pnlTestREC")->geometry().bottom());
      QTest::mouseClick(s.button("Button4"), Qt::LeftButton);
      QVERIFY(line->isHidden());
    }
  }

  // A double click on the record button is one press: the recording runs on.
  void doubleClickRecordsOnce() {
    CheckStation s;
    QPushButton* rec = s.button("btnRecTest");
    QTest::mouseClick(rec, Qt::LeftButton);
    QTest::mouseClick(rec, Qt::LeftButton, {}, {}, 40);
    QVERIFY(frmMain->isRecording());
    QCOMPARE(rec->text(), QString("Завершить запись и воспроизвести"));
    test::pump(station::RecordJudge::kPressMergeMs);
    test::pressRecord(rec);
    QVERIFY(!frmMain->isRecording());
    QVERIFY(s.frame->findChild<QWidget*>("pnlTestREC")->isVisible());
  }

  // Starting the recording check again clears its mark and flag at once and
  // the finishing button waits for the new answer.
  void recordingAgainClearsTheAcceptedCheck() {
    CheckStation s;
    s.acceptBothChecks();
    s.fill("1234", "12", "3");
    QVERIFY(s.finishEnabled());
    test::pressRecord(s.button("btnRecTest"));
    QVERIFY(!s.frame->RecordingCheckPassed);
    QVERIFY(s.label("lblTestREC")->isHidden());
    QVERIFY(!s.finishEnabled());
    QVERIFY(s.device->waitCaptured(4410, 10000));
    test::pressRecord(s.button("btnRecTest"));
    QVERIFY(!s.finishEnabled());
    QTest::mouseClick(s.button("Button4"), Qt::LeftButton);
    QVERIFY(s.finishEnabled());
  }

  // A recording that cannot start is reported by the recorder; the button
  // still turns to "stop", and the next press tries to start again.
  void recordingThatCannotStart() {
    CheckStation s;
    s.device->failCapture(audio::ErrDevice);
    QPushButton* rec = s.button("btnRecTest");
    for (int press = 1; press <= 2; ++press) {
      test::pressRecord(rec);
      QCOMPARE(s.boxes.count(), press);
      QCOMPARE(s.boxes.lastText(), QString("Couldn't start recording\n(error code: 23)"));
      QCOMPARE(RecordChannel, 0u);
      // Nothing records: the button does not offer to end a recording.
      QCOMPARE(rec->text(), QString("Проверить качество записи"));
      QVERIFY(s.frame->findChild<QWidget*>("pnlTestREC")->isHidden());
    }
  }

  void reopeningTheTextWindowKeepsMarkAndFlag() {
    CheckStation s;
    s.acceptBothChecks();
    s.fill("1234", "12", "3");
    QVERIFY(s.finishEnabled());
    // A stale view: the check loads the sample again on every showing.
    frmTestRTF->RichEdit1->setPlainText("stale");
    bool markWhileOpen = false;
    QVERIFY(s.checkText([&] {
      markWhileOpen = s.label("lblTestRTF")->isVisible() && s.frame->TextCheckPassed;
      QVERIFY(!frmTestRTF->RichEdit1->toPlainText().contains("stale"));
      QVERIFY(frmTestRTF->RichEdit1->toPlainText().contains("Проверка отображения текста заданий"));
    }));
    QVERIFY(markWhileOpen);
    QVERIFY(frmTestRTF->isHidden());
    QVERIFY(s.frame->findChild<QWidget*>("pnlTestRTF")->isVisible());
    QCOMPARE(s.label("lblTestRTF")->text(), QString("V"));
    QVERIFY(s.frame->TextCheckPassed);
    QVERIFY(s.finishEnabled());
  }

  void missingTestTextShowsNoWindow() {
    CheckStation s([](const QString& dir) { QFile::remove(dir + "/KIM/TestRTF.rtf"); });
    QVERIFY(!s.checkText());
    QCOMPARE(s.boxes.count(), 1);
    QCOMPARE(s.boxes.seen()[0].icon, QMessageBox::Critical);
    QVERIFY2(s.boxes.lastText().startsWith("Cannot open file \"KIM/TestRTF.rtf\"."), qPrintable(s.boxes.lastText()));
    QVERIFY(frmTestRTF->isHidden());
    QVERIFY(s.frame->findChild<QWidget*>("pnlTestRTF")->isHidden());
  }

  void keyFilters_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("venue: letters ignored") << "edtStationCode" << "1a2Zй3" << "123";
    QTest::newRow("venue: fifth digit refused") << "edtStationCode" << "12345" << "1234";
    QTest::newRow("venue: signs and spaces ignored") << "edtStationCode" << "-1 +2.3,/" << "123";
    QTest::newRow("room: fifth digit refused") << "edtAudCode" << "98765" << "9876";
    QTest::newRow("room: backspace") << "edtAudCode" << "12\b3" << "13";
    QTest::newRow("station: second digit refused") << "edtCompCode" << "34" << "3";
    QTest::newRow("station: letter ignored") << "edtCompCode" << "x7" << "7";
    QTest::newRow("station: backspace, then a digit") << "edtCompCode" << "3\b5" << "5";
  }
  void keyFilters() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    CheckStation s;
    QLineEdit* edit = s.field(field.toLatin1().constData());
    edit->setFocus();
    // Each character as the keyboard delivers it: the key and the text it types.
    for (QChar c : typed) {
      if (c == QLatin1Char('\b')) QTest::keyClick(edit, Qt::Key_Backspace);
      else QTest::sendKeyEvent(QTest::Click, edit, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
    QCOMPARE(edit->text(), expected);
  }

  void finishingBuildsTheKeyAndSwitches_data() {
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("aud");
    QTest::addColumn<QString>("comp");
    QTest::addColumn<QString>("key");
    QTest::newRow("1234 12 3") << "1234" << "12" << "3" << "2017_01_1234_0012_3";
    QTest::newRow("00 0012 9") << "00" << "0012" << "9" << "2017_01_0000_0012_9";
    QTest::newRow("7 9999 1") << "7" << "9999" << "1" << "2017_01_0007_9999_1";
  }
  void finishingBuildsTheKeyAndSwitches() {
    QFETCH(QString, station);
    QFETCH(QString, aud);
    QFETCH(QString, comp);
    QFETCH(QString, key);
    CheckStation s;
    s.acceptBothChecks();
    s.fill(station, aud, comp);
    QVERIFY(s.finishEnabled());
    QPointer<QWidget> old = s.frame;
    QVERIFY(s.finish());
    QCOMPARE(frmMain->AnswerKey, key);
    QCOMPARE(frmMain->StationCode, station);
    QCOMPARE(frmMain->AudCode, aud);
    QCOMPARE(frmMain->CompCode, comp);
    QVERIFY(frmMain->Panel1->isVisible());
    QVERIFY(CurrentFrame && CurrentFrame != old);
    QVERIFY(test::waitFor([&] { return old.isNull(); }));
    QCOMPARE(s.boxes.count(), 0);
  }

  // A restart after a crash or a power cut that cut off an answer's check,
  // its journal line or the manifest's replacement: finishing the equipment
  // check completes them before anyone records. A check line is taken only
  // for the bytes it names; anything else is checked again and journaled.
  // Afterwards sha256sum accepts the manifest and the room's checker judges
  // the participant by what is really on disk.
  void finishingRepairsTheManifest_data() {
    QTest::addColumn<QStringList>("listed");     // answers in the manifest before
    QTest::addColumn<QStringList>("unchecked");  // answers without a check line
    QTest::addColumn<QStringList>("stale");      // answers whose check line names other bytes
    QTest::addColumn<QString>("damaged");        // an answer damaged inside, or none
    QTest::addColumn<int>("checker");            // quorvel-check's exit status afterwards
    const QStringList all{"_00", "_01", "_02_1", "_02_2", "_02_3", "_02_4", "_02_5", "_03"};
    QStringList allBut01 = all;
    allBut01.removeOne("_01");
    QTest::newRow("a check line without a manifest line") << allBut01 << QStringList{} << QStringList{} << "" << 0;
    QTest::newRow("no manifest at all") << QStringList{} << QStringList{} << QStringList{} << "" << 0;
    QTest::newRow("neither line: the check was cut off") << allBut01 << QStringList{"_01"} << QStringList{} << "" << 0;
    QTest::newRow("neither line, and the answer damaged") << allBut01 << QStringList{"_01"} << QStringList{} << "_01" << 1;
    QTest::newRow("a check line of other bytes") << all << QStringList{} << QStringList{"_02_2"} << "" << 0;
    QTest::newRow("a check line of other bytes, now damaged") << allBut01 << QStringList{} << QStringList{"_01"} << "_01" << 1;
  }
  void finishingRepairsTheManifest() {
    QFETCH(QStringList, listed);
    QFETCH(QStringList, unchecked);
    QFETCH(QStringList, stale);
    QFETCH(QString, damaged);
    QFETCH(int, checker);
    const QString key = "2017_01_1234_0012_3", code = "2751234567897";
    const QString folder = "Answer_" + key + "/" + code + "/";
    const QStringList all{"_00", "_01", "_02_1", "_02_2", "_02_3", "_02_4", "_02_5", "_03"};
    CheckStation s([&](const QString& dir) {
      QVERIFY(QDir().mkpath(dir + "/" + folder));
      QByteArray manifest, journal;
      auto line = [&](const char* event, const QString& details) {
        journal += "2026-12-08T09:41:07.118+03:00\t" + code.toUtf8() + "\t11\t" + event + "\t" + details.toUtf8() + "\n";
      };
      for (const QString& suffix : all) {
        const QString path = folder + code + suffix + ".ogg";
        const QString file = dir + "/" + path;
        // Three seconds of noise: loud throughout, so that damage inside shows.
        std::vector<std::int16_t> noise = test::tone(440, 0.5, 3 * 22050, 22050, 1);
        for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = std::int16_t((i * 7919 % 20000) - 10000);
        QVERIFY(test::writeSoundFile(file, noise, 22050, 1, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
        line("recording-stop", "/elsewhere/" + path + "; 3.00 s recorded; stopped");
        QByteArray digest = station::manifest::sha256Hex(file);
        if (listed.contains(suffix)) manifest += digest + "  " + path.toUtf8() + "\n";
        if (stale.contains(suffix)) digest = QByteArray(64, 'e');
        if (!unchecked.contains(suffix))
          line("recording-checked", "/elsewhere/" + path + "; length 3.00 s; peak -6.0 dBFS; ok; sha256 " + digest);
        if (suffix == damaged) {
          QFile f(file);
          QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(f.size() / 2) && f.write(QByteArray(300, '\x55')) == 300);
        }
      }
      QFile m(dir + "/Answer_" + key + ".sha256"), j(dir + "/Answer_" + key + ".log");
      QVERIFY(listed.isEmpty() || (m.open(QIODevice::WriteOnly) && m.write(manifest) > 0));
      QVERIFY(j.open(QIODevice::WriteOnly) && j.write(journal) > 0);
    });
    s.acceptBothChecks();
    s.fill("1234", "12", "3");
    QVERIFY(s.finishEnabled());
    QVERIFY2(s.finish(), qPrintable(s.boxes.lastText()));
    station::journal::open({});

    QStringList now;
    for (const auto& e : station::manifest::read(s.fx.dir() + "/Answer_" + key + ".sha256", key))
      now << e.path.mid(folder.size() + code.size()).chopped(4);
    QCOMPARE(now, all);
    QProcess sha;
    sha.setWorkingDirectory(s.fx.dir());
    sha.start("sha256sum", {"-c", "--quiet", "Answer_" + key + ".sha256"});
    QVERIFY(sha.waitForFinished(10000));
    QCOMPARE(sha.exitCode(), 0);

    // Each answer without a check of its bytes was checked again, said so,
    // and got a check line of its own digest; the others were left alone.
    QFile j(s.fx.dir() + "/Answer_" + key + ".log");
    QVERIFY(j.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(j.readAll());
    const QStringList again = unchecked + stale;
    QCOMPARE(text.count("\tanswer-rechecked\t"), again.size());
    for (const QString& suffix : again) {
      const QString file = s.fx.dir() + "/" + folder + code + suffix + ".ogg";
      QVERIFY2(text.contains(QRegularExpression(code + "\t\\d+\trecording-checked\t" + QRegularExpression::escape(file) +
                                                 "; .*; sha256 " + station::manifest::sha256Hex(file))),
               qPrintable(text));
    }

    QProcess check;
    check.start(QUORVEL_CHECK, {"--answers", s.fx.dir()});
    QVERIFY(check.waitForFinished(30000));
    QVERIFY2(check.exitCode() == checker, qPrintable(check.readAllStandardOutput()));
  }

  // The sound settings button opens the system's own tool in front of the
  // station, or says plainly that it is not there.
  void soundSettings_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("box");
    QTest::newRow("the tool is there") << true << "";
    QTest::newRow("the tool is missing") << false << "Программа настройки звука";
  }
  void soundSettings() {
    QFETCH(bool, installed);
    QFETCH(QString, box);
    QTemporaryDir tools;
    const QString marker = tools.filePath("started");
    const QString program = tools.filePath("sound-settings");
    if (installed) {
      QFile f(program);
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write("#!/bin/sh\ntouch '" + marker.toUtf8() + "'\nexec sleep 30\n") > 0);
      f.close();
      QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
    }
    const QString before = TfrmTestHard::soundSettingsProgram;
    TfrmTestHard::soundSettingsProgram = program;
    CheckStation s;
    QTest::mouseClick(s.button("btnSound"), Qt::LeftButton);
    TfrmTestHard::soundSettingsProgram = before;
    if (installed) {
      QVERIFY(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
      QCOMPARE(s.button("btnSound")->text(), "Закрыть настройки звука");
      // Pressed again: closed, as the session has no window manager to close it.
      QTest::mouseClick(s.button("btnSound"), Qt::LeftButton);
      QVERIFY(QTest::qWaitFor([&] { return s.button("btnSound")->text() == "Настройки звука"; }, 5000));
    }
    QCOMPARE(s.boxes.count(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty()) QVERIFY2(s.boxes.lastText().contains(box), qPrintable(s.boxes.lastText()));
    QVERIFY(s.button("btnSound")->isVisible());
  }

  void twoQuickPressesSwitchOnce() {
    CheckStation s;
    s.acceptBothChecks();
    s.fill("1234", "12", "3");
    QVERIFY(s.finishEnabled());
    QTest::mouseClick(s.button("Button1"), Qt::LeftButton);
    QTest::qWait(30);
    if (s.button("Button1")->isVisible()) QTest::mouseClick(s.button("Button1"), Qt::LeftButton);
    s.frame->Action1->trigger();  // and once more straight through the action
    test::pump(400);
    QCOMPARE(g_instructionStarts, 1);
  }

  // The recording check started again in the moment between the press and
  // the switch does not go on recording into the next stage.
  void recordingStartedBeforeTheSwitchEnds() {
    CheckStation s;
    s.acceptBothChecks();
    s.fill("1234", "12", "3");
    QVERIFY(s.finishEnabled());
    test::pump(400);  // the record press below must follow the finishing press at once
    QTest::mouseClick(s.button("Button1"), Qt::LeftButton);
    test::pressRecord(s.button("btnRecTest"));
    QVERIFY(RecordChannel != 0);
    QVERIFY(test::waitFor([] { return g_instructionStarts == 1; }, 2000));
    QCOMPARE(RecordChannel, 0u);
    QCOMPARE(s.boxes.count(), 0);
  }

  void pastedNonDigitKeepsTheStage_data() {
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("aud");
    QTest::addColumn<QString>("bad");
    QTest::newRow("venue") << "12a" << "12" << "12a";
    QTest::newRow("room") << "1234" << "1 2" << "1 2";
  }
  void pastedNonDigitKeepsTheStage() {
    QFETCH(QString, station);
    QFETCH(QString, aud);
    QFETCH(QString, bad);
    CheckStation s;
    s.acceptBothChecks();
    s.fill(station, aud, "3");  // setText: what a paste leaves in the field
    QVERIFY(s.finishEnabled());
    QVERIFY(!s.finish());
    QCOMPARE(s.boxes.count(), 1);
    QCOMPARE(s.boxes.seen()[0].icon, QMessageBox::Critical);
    QCOMPARE(s.boxes.lastText(), QString("'%1' is not a valid integer value").arg(bad));
    QCOMPARE(CurrentFrame.data(), static_cast<QWidget*>(s.frame));
    QVERIFY(!s.frame->Timer1->isActive());
    QCOMPARE(frmMain->StationCode, station);
    QCOMPARE(frmMain->AudCode, aud);
    QVERIFY(frmMain->AnswerKey.isEmpty());
    QVERIFY(frmMain->Panel1->isHidden());
    // Corrected, the same button finishes.
    s.fill("1234", "12", "3");
    QVERIFY(s.finish());
    QCOMPARE(frmMain->AnswerKey, QString("2017_01_1234_0012_3"));
  }

  void subjectLinesThatAreNoFolderNameAreRefused_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("comp");
    QTest::addColumn<QString>("named");
    QTest::newRow("line 3 climbs up") << QByteArray("X\r\n01\r\n..\r\n") << "3" << "Строка 3";
    QTest::newRow("line 2 holds a separator") << QByteArray("X\r\na/b\r\n2017\r\n") << "3" << "Строка 2";
    QTest::newRow("line 2 holds a backslash") << QByteArray("X\r\na\\b\r\n2017\r\n") << "3" << "Строка 2";
    QTest::newRow("line 3 holds a colon") << QByteArray("X\r\n01\r\nC:\r\n") << "3" << "Строка 3";
    QTest::newRow("pasted station number") << QByteArray() << "/" << "Номер станции";
  }
  void subjectLinesThatAreNoFolderNameAreRefused() {
    QFETCH(QByteArray, file);
    QFETCH(QString, comp);
    QFETCH(QString, named);
    CheckStation s([&](const QString& dir) {
      if (!file.isNull()) writeSubject(dir, file);
    });
    QCOMPARE(s.boxes.count(), 0);
    s.acceptBothChecks();
    s.fill("1234", "12", comp);
    QVERIFY(s.finishEnabled());
    QVERIFY(!s.finish());
    QCOMPARE(s.boxes.count(), 1);
    QCOMPARE(s.boxes.seen()[0].icon, QMessageBox::NoIcon);
    QCOMPARE(s.boxes.seen()[0].title, QString("ТАВРЭ - 2017 (устный экзамен)"));
    QVERIFY2(s.boxes.lastText().startsWith(named), qPrintable(s.boxes.lastText()));
    QCOMPARE(CurrentFrame.data(), static_cast<QWidget*>(s.frame));
    QVERIFY(frmMain->AnswerKey.isEmpty());
    QVERIFY(frmMain->Panel1->isHidden());
  }

  void exitButtonEndsTheProgramWithoutAQuestion() {
    CheckStation s;
    QTest::mouseClick(s.button("Button6"), Qt::LeftButton);
    QCOMPARE(s.boxes.count(), 0);
    QVERIFY(frmMain->CanExit);
    QVERIFY(!frmMain->isVisible());
  }

  // Every control fits the frame, none covers another, every caption fits
  // its control, and the pictures stand centred under the top strip at
  // their natural size, at both heights the frame has.
  void layoutIsReadable_data() {
    QTest::addColumn<bool>("statusBar");
    QTest::addColumn<int>("height");
    QTest::newRow("1016 x 713, status bar hidden") << false << 713;
    QTest::newRow("1016 x 663, status bar shown") << true << 663;
  }
  void layoutIsReadable() {
    QFETCH(bool, statusBar);
    QFETCH(int, height);
    CheckStation s;
    frmMain->Panel1->setVisible(statusBar);
    s.label("lblSubj")->setText(kSubjectCaption + "Английский язык");
    for (const char* name : {"pnlTestREC", "lblTestREC", "pnlTestRTF", "lblTestRTF", "imgMic"})
      s.frame->findChild<QWidget*>(name)->show();
    s.label("lblTestREC")->setText("X");
    test::pump(20);
    QCOMPARE(s.frame->size(), QSize(1016, height));

    QList<QWidget*> controls;
    for (QWidget* c : s.frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (c->isVisible() && !qobject_cast<StationPicture*>(c)) controls << c;
    QVERIFY(controls.size() >= 16);
    for (QWidget* c : controls) {
      QVERIFY2(s.frame->rect().contains(c->geometry()), qPrintable(c->objectName()));
      for (QWidget* other : controls)
        if (c != other)
          QVERIFY2(!c->geometry().intersects(other->geometry()),
                   qPrintable(c->objectName() + " covers " + other->objectName()));
    }
    for (QPushButton* b : s.frame->findChildren<QPushButton*>()) {
      const QRect box = b->contentsRect().adjusted(3, 3, -3, -3);
      const QRect needed = b->fontMetrics().boundingRect(box, Qt::AlignCenter | Qt::TextWordWrap, b->text());
      QVERIFY2(box.contains(needed) && (qobject_cast<WordWrapButton*>(b) ||
                                        b->fontMetrics().horizontalAdvance(b->text()) <= box.width()),
               qPrintable(b->objectName()));
    }
    for (QLabel* l : s.frame->findChildren<QLabel*>()) {
      const QString shown = qobject_cast<CaptionLabel*>(l) ? static_cast<CaptionLabel*>(l)->shownText() : l->text();
      const QRect needed = l->fontMetrics().boundingRect(l->contentsRect(), l->alignment(), shown);
      QVERIFY2(l->contentsRect().contains(needed), qPrintable(l->objectName()));
    }
    const QRect under(0, 41, 1016, height - 41);
    for (const char* name : {"imgMic", "imgSpeak"}) {
      auto* picture = s.frame->findChild<StationPicture*>(name);
      const QRect drawn = picture->pictureRect().translated(picture->pos());
      QCOMPARE(drawn.size(), QSize(256, 256));
      QCOMPARE(drawn.center(), under.center());
      // Behind every control.
      for (QWidget* c : controls)
        QVERIFY2(s.frame->children().indexOf(picture) < s.frame->children().indexOf(c), qPrintable(c->objectName()));
    }
  }
};

QTEST_MAIN(TestTestHard)
#include "test_testhard.moc"
