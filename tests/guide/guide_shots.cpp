// Takes the pictures of the organiser's guide from the real station: the
// station's own entry runs in a station folder (this program lies in it,
// beside KIM), and a driver plays the organiser and the participant through
// one scene, saving what the X screen shows at each step as
// $GUIDE_OUT/NAME.png. tools/screenshots runs every scene under Xvfb.
//
//   GUIDE_SCENE=day         the whole day on the real sound device (speech
//                           is played into the sound server by the script)
//   GUIDE_SCENE=microphone  the countdown; the microphone lost and back
//   GUIDE_SCENE=cut         a participant's exam cut short (the process is
//                           killed during task 1, as by a power cut)
//   GUIDE_SCENE=restart     the same folder started again: the refused code
//   GUIDE_SCENE=disk        the answer folder on a small disk of its own
//
// Each picture is told on standard output as "picture: NAME", each box as
// "box: TEXT"; a step that does not come in time ends the run with status 3.
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>

#include "guide_boxes.h"
#include "station_driver.h"
#include "stages/FiveSec.h"
#include "stages/Instruction.h"
#include "stages/RecStudID.h"
#include "stages/TestHard.h"
#include "toolkit/deliverable.h"
#include "toolkit/timing.h"
#include "window/stages.h"

namespace {

const QString kCode = QStringLiteral("2751234567897");
QString g_scene;
test::SyntheticDevice* g_dev = nullptr;  // the scenes that need a microphone to fail

void say(const QString& line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

[[noreturn]] void fail(const QString& what) {
  std::fprintf(stderr, "guide-shots (%s): %s did not happen\n", qPrintable(g_scene), qPrintable(what));
  std::fflush(stderr);
  _exit(3);
}

void need(bool ok, const QString& what) {
  if (!ok) fail(what);
}

QPushButton* button(QWidget* in, const char* name) {
  auto* b = in ? in->findChild<QPushButton*>(name) : nullptr;
  need(b != nullptr, QStringLiteral("the button ") + name);
  return b;
}

// Clicks b as a person does, and lets the event loop run on.
void click(QPushButton* b) {
  need(guide::waitEnabled(b), QStringLiteral("an enabled ") + b->objectName());
  QTest::mouseClick(b, Qt::LeftButton);
}

// The current stage once its frame is named `name`.
QWidget* stageNamed(const QString& name, int timeoutMs) {
  need(test::waitFor([&] { return CurrentFrame && CurrentFrame->objectName() == name; }, timeoutMs), name);
  test::pump(300);
  return CurrentFrame.data();
}

// Records with the record button for `ms`, picturing the screen while it
// records and once it has stopped and played back.
void recordWith(QPushButton* record, int ms, const QString& whileRecording, const QString& after,
                QWidget* question) {
  test::pressRecord(record);
  test::pump(ms);
  if (!whileRecording.isEmpty()) guide::shot(whileRecording);
  test::pressRecord(record);
  need(test::waitFor([&] { return question->isVisible(); }, 15000), "the question after the recording");
  test::pump(1500);
  if (!after.isEmpty()) guide::shot(after);
}

// The equipment check with its own controls: recording, text, codes 5, 12, 1.
// beforeFinish runs once the codes are typed.
void passCheck(bool pictures, const std::function<void()>& beforeFinish = {}) {
  auto* check = test::stage<TfrmTestHard>(10000);
  need(check != nullptr, "the equipment check");
  test::pump(500);
  if (pictures) guide::shot("equipment-check");
  recordWith(button(check, "btnRecTest"), pictures ? 3000 : 1200, pictures ? "equipment-check-recording" : "",
             pictures ? "equipment-check-question" : "", check->findChild<QWidget*>("pnlTestREC"));
  click(button(check, "Button4"));
  QTimer::singleShot(0, [pictures] {
    need(test::waitFor([] { return frmTestRTF->isVisible(); }, 5000), "the text check window");
    test::pump(500);
    if (pictures) guide::shot("text-check", frmTestRTF);
    QTest::mouseClick(frmTestRTF->findChild<QPushButton*>("Button1"), Qt::LeftButton);
  });
  click(button(check, "btnTestRTF"));
  click(button(check, "Button7"));
  test::type(check->findChild<QLineEdit*>("edtStationCode"), "5");
  test::type(check->findChild<QLineEdit*>("edtAudCode"), "12");
  test::type(check->findChild<QLineEdit*>("edtCompCode"), "1");
  test::pump(300);
  if (pictures) guide::shot("station-codes");
  if (beforeFinish) beforeFinish();
  click(button(check, "Button1"));
}

// The code entry: the code typed after the 275 already in the field.
TfrmInstruction* typeCode(const QString& code) {
  auto* entry = test::stage<TfrmInstruction>(10000);
  need(entry != nullptr, "the code entry");
  entry->Edit3->setText(QStringLiteral("275"));
  test::type(entry->Edit3, code.mid(3));
  test::pump(300);
  return entry;
}

// The spoken code recorded and accepted, on to preparation 1.
void speakCode(bool pictures) {
  auto* frame = test::stage<TfrmRecStudID>(10000);
  need(frame != nullptr, "the spoken code stage");
  test::pump(500);
  recordWith(button(frame, "btnRecID"), pictures ? 3000 : 1200, pictures ? "spoken-code-recording" : "",
             pictures ? "spoken-code-question" : "", frame->findChild<QWidget*>("pnlTestREC"));
  click(button(frame, "Button4"));
  click(button(frame, "Button1"));
}

// Preparation 1 ended with "Я готов!" and its question answered Yes.
void readyForTask1(const QString& questionPicture) {
  QWidget* prep = stageNamed("frmPrepare1", 10000);
  if (!questionPicture.isEmpty()) guide::shot("preparation-1");
  guide::expectBox(questionPicture, "&Yes");
  click(button(prep, "Button1"));
}

void endStation() {
  auto* entry = typeCode(QStringLiteral("275"));
  guide::expectBox(g_scene == "day" ? "stop-question" : "", "&Yes");
  click(button(entry, "Button2"));
}

void day() {
  passCheck(true);
  auto* entry = typeCode(QStringLiteral("2751234567890"));
  guide::expectBox("wrong-code", "OK");
  click(entry->Button1);
  entry = typeCode(kCode);
  guide::shot("code-entry");
  click(entry->Button1);
  speakCode(true);
  readyForTask1("ready-question");
  stageNamed("frmTask1", 15000);
  test::pump(3000);
  guide::shot("task-1");
  stageNamed("frmPrepare2", 60000);
  guide::shot("preparation-2");
  stageNamed("frmTask2", 30000);
  test::pump(2500);
  guide::shot("task-2");
  stageNamed("frmPrepare3", 90000);
  guide::shot("preparation-3");
  stageNamed("frmTask3", 30000);
  test::pump(3000);
  guide::shot("task-3");
  QWidget* review = stageNamed("frmPlayAnswers", 60000);
  test::pump(3000);
  guide::shot("review");
  click(button(review, "Button1"));
  QWidget* done = stageNamed("frmFinishExam", 10000);
  guide::shot("completion");
  click(button(done, "Button1"));
  endStation();
}

void microphone() {
  passCheck(false);
  click(typeCode(kCode)->Button1);
  speakCode(false);
  // The countdown runs its own loop under the script: pictured from outside it.
  guide::shotWhenShown(_FiveSec, "countdown", 1500);
  readyForTask1("");
  stageNamed("frmTask1", 15000);
  need(guide::waitAnswered(1000), "the picture of the countdown");
  test::pump(3000);
  guide::expectBox("microphone-lost", "OK");
  g_dev->unplugCapture();
  need(guide::waitAnswered(10000), "the box of the lost microphone");
  test::pump(2000);
  guide::expectBox("microphone-back", "OK");
  g_dev->plugCapture();
  need(guide::waitAnswered(20000), "the box of the microphone back");
  ::raise(SIGTERM);
}

void cut() {
  passCheck(false);
  click(typeCode(kCode)->Button1);
  speakCode(false);
  readyForTask1("");
  stageNamed("frmTask1", 15000);
  test::pump(2000);
  _exit(9);  // as a power cut: nothing of the station runs on, no end is written
}

void restart() {
  passCheck(false);
  auto* entry = typeCode(kCode);
  guide::expectBox("cut-short", "OK");
  click(entry->Button1);
  endStation();
}

// The answer folder on a small disk of its own: the free-space warning when
// the check is finished; filled up, the warning at a code and the box of a
// recording refused for want of room.
void disk() {
  QString mount;
  passCheck(false, [&] {
    const auto subject = station::names::readSubjectFile(station::names::subjectFile());
    mount = frmMain->StationDir + "Answer_" +
            station::names::answerKey(subject.line3, subject.line2, "5", "12", "1");
    need(QDir().mkpath(mount), "the answer folder");
    need(QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=40m", "tmpfs", mount}) == 0, "the small disk");
    guide::expectBox("free-space-check", "OK");
  });
  auto* entry = typeCode(kCode);
  QFile filler(mount + "/filler");
  need(filler.open(QIODevice::WriteOnly), "the filler file");
  const QByteArray block(1 << 20, '\0');
  while (QStorageInfo(mount).bytesAvailable() > 2 * block.size()) filler.write(block), filler.flush();
  filler.close();
  guide::expectBox("free-space-code", "OK");
  click(entry->Button1);
  auto* frame = test::stage<TfrmRecStudID>(10000);
  need(frame != nullptr, "the spoken code stage");
  test::pump(500);
  guide::expectBox("disk-full", "OK");
  test::pressRecord(button(frame, "btnRecID"));
  need(guide::waitAnswered(10000), "the box of the full disk");
  filler.remove();
  ::raise(SIGTERM);
}

void drive() {
  guide::watchBoxes(qEnvironmentVariable("GUIDE_OUT"), say);
  QTimer::singleShot(0, [] {
    if (g_scene == "day") day();
    else if (g_scene == "microphone") microphone();
    else if (g_scene == "cut") cut();
    else if (g_scene == "restart") restart();
    else if (g_scene == "disk") disk();
    else fail("a known scene");
  });
}

}  // namespace

int main(int argc, char** argv) {
  g_scene = qEnvironmentVariable("GUIDE_SCENE");
  // The day runs ten times faster than the station's own clock; the scenes
  // that picture a box keep it, so that nothing ends while a box is open.
  station::setTimerScale(g_scene == "day" ? 0.1 : 1.0);
  if (g_scene != "day") {
    g_dev = test::installSyntheticDevice();
    g_dev->setTone(440.0, 0.3);
  }
  qAddPreRoutine(drive);
  const int rc = station::stationMain(argc, argv,
                                      {&station::registerStages, &station::createCountdownWindow,
                                       &station::createTextCheckWindow},
                                      station::kQuorvel);
  // A scene ends the station with SIGTERM once its pictures are taken: that
  // end (128 + SIGTERM) is the scene's success.
  return rc == 128 + SIGTERM ? 0 : rc;
}
