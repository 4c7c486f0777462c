#include "stages/TestHard.h"

#include <QProcess>

#include <QAction>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include "toolkit/dialogs.h"
#include "toolkit/digitfilter.h"
#include "toolkit/guard.h"
#include "toolkit/idle.h"
#include "toolkit/journal.h"
#include "toolkit/manifest.h"
#include "framework/judge.h"
#include "window/main.h"
#include "toolkit/names.h"
#include "toolkit/picture.h"
#include "toolkit/screenfit.h"
#include "window/stagecodes.h"
#include "toolkit/widgets.h"
#include "stages/TestRTF.h"
#include "textview/richview.h"
#include "ui_TestHard.h"

namespace {

// The field's text is a code when it is neither empty nor exactly "0"; the
// comparison is on the text, so "00" counts as given.
bool codeGiven(const QLineEdit* field) {
  const QString t = field->text();
  return !t.isEmpty() && t != QStringLiteral("0");
}

}  // namespace

// --- TfrmTestHard ---

TfrmTestHard::TfrmTestHard(QWidget* owner)
    : StageFrame(owner), ui_(std::make_unique<Ui::TfrmTestHard>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmTestHard"));
  Action1 = ui_->Action1;
  addAction(Action1);
  station::bindAction(ui_->Button1, Action1);
  Timer1 = makeSwitchTimer(100, [this] { Timer1Timer(); });

  ui_->Panel1->setFont(station::arialFont(16, true));
  ui_->lblTestREC->setFont(station::arialFont(16, true));
  ui_->lblTestRTF->setFont(station::arialFont(16, true));
  QFont subject = station::arialFont(13, true);
  subject.setItalic(true);
  subject.setUnderline(true);
  ui_->lblSubj->setFont(subject);
  ui_->lblSubj->setFixedSize(237, 33);  // scaled with the frame on a small screen
  ui_->Button1->setFont(station::arialFont(19, true));

  for (QWidget* w : {static_cast<QWidget*>(ui_->pnlTestREC), static_cast<QWidget*>(ui_->lblTestREC),
                     static_cast<QWidget*>(ui_->pnlTestRTF), static_cast<QWidget*>(ui_->lblTestRTF),
                     static_cast<QWidget*>(ui_->imgMic), static_cast<QWidget*>(ui_->imgSpeak)})
    w->hide();

  station::DigitFilter::install(ui_->edtStationCode, [this](QChar& Key) { edtStationCodeKeyPress(Key); });
  station::DigitFilter::install(ui_->edtAudCode, [this](QChar& Key) { edtAudCodeKeyPress(Key); });
  station::DigitFilter::install(ui_->edtCompCode, [this](QChar& Key) { edtCompCodeKeyPress(Key); });

  const QString testFile = station::names::testRecordingFile();
  recordingCheck_ = new station::RecordJudge(
      this, {ui_->btnRecTest, ui_->pnlTestREC, ui_->lblTestREC, ui_->imgMic, ui_->imgSpeak},
      QStringLiteral("Проверить качество записи"),
      {[testFile] { frmMain->StartRecording(testFile); }, [testFile] { frmMain->StopRecording(testFile); }});

  on(ui_->btnRecTest, &QPushButton::clicked, [this] { btnRecTestClick(); });
  on(ui_->Button4, &QPushButton::clicked, [this] { Button4Click(); });
  on(ui_->Button5, &QPushButton::clicked, [this] { Button5Click(); });
  on(ui_->btnTestRTF, &QPushButton::clicked, [this] { btnTestRTFClick(); });
  on(ui_->Button7, &QPushButton::clicked, [this] { Button7Click(); });
  on(ui_->Button8, &QPushButton::clicked, [this] { Button8Click(); });
  on(ui_->Button6, &QPushButton::clicked, [this] { Button6Click(); });
  on(ui_->btnSound, &QPushButton::clicked, [this] { btnSoundClick(); });
  on(Action1, &QAction::triggered, [this] { Action1Execute(); });
  station::onIdle(this, [this] { Action1Update(); });
  Action1Update();
}

TfrmTestHard::~TfrmTestHard() {
  // Sound settings left open close with the stage, not over the next one.
  if (soundSettings_ && soundSettings_->state() != QProcess::NotRunning) {
    soundSettings_->terminate();
    if (!soundSettings_->waitForFinished(2000)) soundSettings_->kill();
    soundSettings_->waitForFinished(1000);
  }
}

void TfrmTestHard::resizeEvent(QResizeEvent* event) {
  StageFrame::resizeEvent(event);
  // The top strip spans the frame; the exit button keeps to the top right
  // corner and the finishing button to the bottom centre; the pictures are
  // centred in the whole area under the strip.
  const int w = width();
  const int h = height();
  const int strip = ui_->Panel1->height();
  ui_->Panel1->setGeometry(0, 0, w, strip);
  using station::screen::scaled;  // the design's pixels on a small screen
  ui_->Button6->move(w - ui_->Button6->width() - scaled(16), strip + scaled(8));
  ui_->btnSound->move(ui_->Button6->x(), ui_->Button6->geometry().bottom() + scaled(9));
  ui_->Button1->move((w - ui_->Button1->width()) / 2, h - ui_->Button1->height() - scaled(24));
  const QRect pictures(0, strip, w, std::max(0, h - strip));
  ui_->imgMic->setGeometry(pictures);
  ui_->imgSpeak->setGeometry(pictures);
}

void TfrmTestHard::Start() {
  showStatusBar(false);
  RecordingCheckPassed = false;
  TextCheckPassed = false;
  // A subject file that cannot be read ends Start here; the checks and the
  // finishing button work all the same, with empty subject lines.
  station::guarded([this] {
    ui_->lblSubj->setText(QStringLiteral("Станция для приема экзамена по:\n\r") + frmMain->readSubject());
  });
}

// --- recording check ---

void TfrmTestHard::btnRecTestClick() {
  // Every press, start or stop, takes back an earlier answer at once.
  RecordingCheckPassed = false;
  ui_->lblTestREC->hide();
  recordingCheck_->press();
}

void TfrmTestHard::recordingAnswered(bool accepted) {
  RecordingCheckPassed = accepted;
  recordingCheck_->answer(accepted);
}

void TfrmTestHard::Button4Click() { recordingAnswered(true); }
void TfrmTestHard::Button5Click() { recordingAnswered(false); }

// --- text display check ---

void TfrmTestHard::btnTestRTFClick() {
  if (!frmTestRTF) return;  // not created yet: the program is still starting
  frmTestRTF->RichEdit1->loadFromFile(station::names::testTextFile());
  QPointer<TfrmTestHard> self(this);
  frmTestRTF->ShowModal();
  if (!self) return;
  ui_->pnlTestRTF->show();
  // The keyboard goes on to the question, and after the answer back to the button.
  ui_->Button7->setFocus(Qt::OtherFocusReason);
}

void TfrmTestHard::textAnswered(bool accepted) {
  TextCheckPassed = accepted;
  QWidget* focused = focusWidget();
  const bool keyboardHere = focused && ui_->pnlTestRTF->isAncestorOf(focused);
  ui_->pnlTestRTF->hide();
  if (keyboardHere) ui_->btnTestRTF->setFocus(Qt::OtherFocusReason);
  ui_->btnTestRTF->setEnabled(true);
  station::showVerdict(ui_->lblTestRTF, accepted);
}

void TfrmTestHard::Button7Click() { textAnswered(true); }
void TfrmTestHard::Button8Click() { textAnswered(false); }

// --- finishing ---

void TfrmTestHard::Action1Update() {
  Action1->setEnabled(RecordingCheckPassed && TextCheckPassed && codeGiven(ui_->edtStationCode) &&
                      codeGiven(ui_->edtAudCode) && codeGiven(ui_->edtCompCode));
}

void TfrmTestHard::Action1Execute() {
  // The stage is switched by the timer, never from inside the action; a
  // second press while the timer runs changes nothing.
  requestSwitch(Timer1);
}

void TfrmTestHard::Timer1Timer() {
  frmMain->StationCode = ui_->edtStationCode->text();
  frmMain->AudCode = ui_->edtAudCode->text();
  frmMain->CompCode = ui_->edtCompCode->text();
  // A corrected subject file takes effect now; a refused one stops here.
  frmMain->rereadSubject();
  // A code field holding a non-number (pasted) ends here with the conversion
  // error; the organiser corrects it and presses the button again.
  const QString key = station::names::answerKey(frmMain->SubjLine3, frmMain->SubjLine2,
                                                frmMain->StationCode, frmMain->AudCode,
                                                frmMain->CompCode);
  // The key becomes a folder name: a subject line or a pasted station number
  // that would make it a path, or no valid folder name, is refused here.
  const struct {
    const QString& value;
    QString what;
  } parts[] = {
      {frmMain->SubjLine3, QStringLiteral("Строка 3 файла %1").arg(station::names::subjectFile())},
      {frmMain->SubjLine2, QStringLiteral("Строка 2 файла %1").arg(station::names::subjectFile())},
      {frmMain->CompCode, QStringLiteral("Номер станции")},
  };
  for (const auto& part : parts) {
    const QString reason = station::names::unsafeNamePart(part.value);
    if (!reason.isEmpty()) {
      dialogs::showMessage(QStringLiteral("%1 не может быть частью имени папки ответов: %2.\n"
                                          "Исправьте и завершите проверку ещё раз.")
                               .arg(part.what, reason));
      return;
    }
  }
  frmMain->AnswerKey = key;
  station::journal::open(frmMain->answerFolder() + QStringLiteral(".log"));
  station::journal::write(QStringLiteral("check-finished"),
                          QStringLiteral("venue %1; room %2; station %3; answer folder %4")
                              .arg(frmMain->StationCode, frmMain->AudCode, frmMain->CompCode,
                                   QFileInfo(frmMain->answerFolder()).fileName()));
  // What a crash or a power cut cut off (an answer's check, its journal
  // line, the manifest's replacement) is completed now, before anyone
  // records again: answers never checked are checked here.
  const station::manifest::Repaired repaired =
      station::manifest::repair(frmMain->StationDir, key, station::journal::path());
  if (repaired.listed > 0 || repaired.rechecked > 0)
    station::journal::write(QStringLiteral("manifest-repaired"),
                            QStringLiteral("%1 lines of %2 set from the journal's checks; %3 answers checked again")
                                .arg(repaired.listed)
                                .arg(station::manifest::manifestFile(frmMain->StationDir, key))
                                .arg(repaired.rechecked));
  if (!repaired.written) station::journal::write(QStringLiteral("manifest-failed"), repaired.error);
  // Ten participants' answers should fit before the first one comes.
  frmMain->warnAboutSpace(10);
  // A test recording started in the moment before the timer fired ends with
  // the stage switch, which also stops the playback.
  showStatusBar(true);
  switchStage(stage::CodeEntry);
}

void TfrmTestHard::Button6Click() { frmMain->StopExam(); }

void TfrmTestHard::btnSoundClick() {
  if (soundSettings_ && soundSettings_->state() != QProcess::NotRunning) {
    soundSettings_->terminate();
    return;
  }
  // The choice is the sound server's: it keeps the default microphone and
  // headphones and their volumes across restarts, and every recording opens
  // the default devices afresh, so the next one uses what was chosen.
  delete soundSettings_;
  soundSettings_ = new QProcess(this);
  connect(soundSettings_, &QProcess::stateChanged, this, [this](QProcess::ProcessState state) {
    ui_->btnSound->setText(state == QProcess::NotRunning ? QStringLiteral("Настройки звука")
                                                         : QStringLiteral("Закрыть настройки звука"));
  });
  // Input devices first: the microphone is what a recording depends on.
  soundSettings_->start(soundSettingsProgram, {QStringLiteral("--tab=4")});
  if (!soundSettings_->waitForStarted(5000)) {
    station::journal::write(QStringLiteral("sound-settings-failed"),
                            QStringLiteral("%1: %2").arg(soundSettingsProgram, soundSettings_->errorString()));
    dialogs::showMessage(QStringLiteral("Программа настройки звука (%1) не запускается. "
                                        "Установите пакет pavucontrol.")
                             .arg(soundSettingsProgram));
    return;
  }
  station::journal::write(QStringLiteral("sound-settings"), soundSettingsProgram);
}

void TfrmTestHard::edtStationCodeKeyPress(QChar& Key) { station::digitKey(Key); }
void TfrmTestHard::edtAudCodeKeyPress(QChar& Key) { station::digitKey(Key); }
void TfrmTestHard::edtCompCodeKeyPress(QChar& Key) { station::digitKey(Key); }

