#include "stages/RecStudID.h"

#include <QAction>
#include <QResizeEvent>
#include <QTimer>

#include "toolkit/dialogs.h"
#include "toolkit/idle.h"
#include "framework/judge.h"
#include "window/main.h"
#include "toolkit/names.h"
#include "toolkit/participant.h"
#include "toolkit/picture.h"
#include "toolkit/screenfit.h"
#include "window/stagecodes.h"
#include "toolkit/widgets.h"
#include "ui_RecStudID.h"

namespace {

// Button1 keeps the design's distances to the left, right and bottom edges.
constexpr int kButton1Left = 168;
constexpr int kButton1Right = 83;
constexpr int kButton1Bottom = 14;
constexpr int kButton1Height = 57;

}  // namespace

TfrmRecStudID::TfrmRecStudID(QWidget* parent)
    : StageFrame(parent), ui_(std::make_unique<Ui::TfrmRecStudID>()) {
  ui_->setupUi(this);
  Label1 = ui_->Label1;
  Label2 = ui_->Label2;
  imgSpeak = ui_->imgSpeak;
  imgMic = ui_->imgMic;
  btnRecID = ui_->btnRecID;
  lblRecID = ui_->lblRecID;
  pnlTestREC = ui_->pnlTestREC;
  Label3 = ui_->Label3;
  Button4 = ui_->Button4;
  Button5 = ui_->Button5;
  Button1 = ui_->Button1;

  Label1->setFont(station::arialFont(21));
  Label2->setFont(station::arialFont(19, true, true));
  btnRecID->setFont(station::arialFont(19));
  lblRecID->setFont(station::arialFont(32));
  Button1->setFont(station::arialFont(19));
  // The pictures lie beneath every other control.
  imgMic->lower();
  imgSpeak->lower();

  // Button1 shows Action1: its caption and its enabled state. Until the
  // first update Action1 is unusable, so no click can slip in before it.
  Action1 = new QAction(QStringLiteral("Завершить запись кода участника и приступить к выполнению заданий"), this);
  Action1->setObjectName(QStringLiteral("Action1"));
  Action1->setEnabled(false);
  station::bindAction(Button1, Action1);
  on(Action1, &QAction::triggered, [this] { Action1Execute(); });
  station::onIdle(this, [this] { Action1Update(); });

  Timer1 = makeSwitchTimer(100, [this] { Timer1Timer(); });

  on(btnRecID, &QPushButton::clicked, [this] { btnRecIDClick(); });
  on(Button4, &QPushButton::clicked, [this] { Button4Click(); });
  on(Button5, &QPushButton::clicked, [this] { Button5Click(); });

  codeCheck_ = new station::RecordJudge(
      this, {btnRecID, pnlTestREC, lblRecID, imgMic, imgSpeak}, QStringLiteral("Запись кода участника"),
      {[this] { startCodeRecording(); }, [this] { stopAnswerRecording(codeRecordingFile()); }});
}

TfrmRecStudID::~TfrmRecStudID() = default;

void TfrmRecStudID::resizeEvent(QResizeEvent* event) {
  StageFrame::resizeEvent(event);
  // The design's width, centred like the captions above it (the design's own
  // margins, 168 and 83 px, put it 40 px right of the centre).
  using station::screen::scaled;  // the design's pixels on a small screen
  const int w = width() - scaled(kButton1Left) - scaled(kButton1Right);
  Button1->setGeometry((width() - w) / 2, height() - scaled(kButton1Bottom) - scaled(kButton1Height), w,
                       scaled(kButton1Height));
}

QString TfrmRecStudID::codeRecordingFile() const {
  return frmMain->answerFile(station::names::codeSuffix());
}

void TfrmRecStudID::Start() {
  showStatusBar(false);
  Label2->setText(QStringLiteral("Нажмите кнопку \"Запись кода участника\"\n\r"
                                  "и четко произнесите на русском языке свой код \n\r") +
                   FormatParticipantCode(frmMain->ParticipantCode));
  CodeRecordingAccepted = false;
}

void TfrmRecStudID::startCodeRecording() {
  // No recording goes into a folder that is not there: the failure is
  // reported and the next press tries again.
  QString reason;
  if (frmMain->ensureAnswerFolders(&reason)) frmMain->StartRecording(codeRecordingFile());
  else reportMissingFolder(reason);
}

// A new recording leaves the earlier answer and its mark as they are.
void TfrmRecStudID::btnRecIDClick() { codeCheck_->press(); }

void TfrmRecStudID::Button4Click() {
  CodeRecordingAccepted = true;
  codeCheck_->answer(true);
}

void TfrmRecStudID::Button5Click() {
  CodeRecordingAccepted = false;
  codeCheck_->answer(false);
  dialogs::showMessage(QStringLiteral(
      "Пригласите организатора в аудитории и сообщите о проблеме записи кода участника."));
}

void TfrmRecStudID::Action1Update() {
  // Leaving is allowed after "Да", but never while a new recording runs.
  Action1->setEnabled(CodeRecordingAccepted && !station::RecordJudge::recording());
}

void TfrmRecStudID::Action1Execute() { requestSwitch(Timer1); }

void TfrmRecStudID::Timer1Timer() {
  // A recording started just before the switch is finished by the switch
  // itself, which also silences the playback.
  frmMain->ensureAnswerFolders();
  showStatusBar(true);
  switchStage(stage::Prepare1);
}

QString TfrmRecStudID::Label2Caption() const { return Label2->text(); }
