#include "stages/RecStudID.h"

#include <QAction>
#include <QPalette>
#include <QResizeEvent>
#include <QTimer>

#include "audio/audio.h"
#include "shell/dialogs.h"
#include "shell/guard.h"
#include "shell/idle.h"
#include "shell/main.h"
#include "shell/names.h"
#include "shell/participant.h"
#include "shell/picture.h"
#include "shell/timing.h"
#include "shell/widgets.h"
#include "ui_RecStudID.h"

namespace {

const QString kRecordCaption = QStringLiteral("Запись кода участника");
const QString kStopCaption = QStringLiteral("Завершить запись и воспроизвести");

// Button1 keeps the design's distances to the left, right and bottom edges.
constexpr int kButton1Left = 168;
constexpr int kButton1Right = 83;
constexpr int kButton1Bottom = 14;
constexpr int kButton1Height = 57;

void setMark(QLabel* mark, const QColor& colour, const QString& text) {
  QPalette palette = mark->palette();
  palette.setColor(QPalette::WindowText, colour);
  mark->setPalette(palette);
  mark->show();
  mark->setText(text);
}

}  // namespace

TfrmRecStudID::TfrmRecStudID(QWidget* parent)
    : QFrame(parent), ui_(std::make_unique<Ui::TfrmRecStudID>()) {
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
  station::onEvent(Action1, &QAction::triggered, this, [this] { Action1Execute(); });
  station::onIdle(this, [this] { Action1Update(); });

  Timer1 = station::makeTimer(this, 100);
  Timer1->setSingleShot(true);

  station::onEvent(btnRecID, &QPushButton::clicked, this, [this] { btnRecIDClick(); });
  station::onEvent(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  station::onEvent(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
  station::onEvent(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  // A recording that ended by itself (reported by the recorder) leaves the
  // button ready to record again.
  station::onEvent(frmMain, &TfrmMain::recordingEndedByItself, this, [this] {
    btnRecID->setText(kRecordCaption);
    imgMic->hide();
  });
}

TfrmRecStudID::~TfrmRecStudID() = default;

void TfrmRecStudID::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  Button1->setGeometry(kButton1Left, height() - kButton1Bottom - kButton1Height,
                       width() - kButton1Left - kButton1Right, kButton1Height);
}

QString TfrmRecStudID::codeRecordingFile() const {
  return frmMain->answerFile(station::names::codeSuffix());
}

void TfrmRecStudID::Start() {
  frmMain->Panel1->hide();
  Label2->setText(QStringLiteral("Нажмите кнопку \"Запись кода участника\"\n\r"
                                  "и четко произнесите на русском языке свой код \n\r") +
                   FormatParticipantCode(frmMain->ParticipantCode));
  CodeRecordingAccepted = false;
}

void TfrmRecStudID::btnRecIDClick() {
  imgMic->show();
  // The caption tells what the click does: a recording that failed to start
  // or ended by itself leaves the record caption, and the click after a
  // recording that died unnoticed stops it (its file kept) rather than
  // starting another one over it.
  if (!frmMain->isRecording()) {
    if (frmMain->ensureAnswerFolders()) {
      frmMain->StartRecording(codeRecordingFile());
    } else {
      dialogs::showStopBox(QStringLiteral("Не удалось создать папку \"%1\"").arg(frmMain->participantFolder()));
    }
    btnRecID->setText(frmMain->isRecording() ? kStopCaption : kRecordCaption);
    imgMic->setVisible(frmMain->isRecording());
  } else {
    frmMain->ensureAnswerFolders();
    frmMain->StopRecording(codeRecordingFile());
    btnRecID->setText(kRecordCaption);
    btnRecID->setEnabled(false);
    pnlTestREC->show();
    // A file that cannot be played leaves the participant in silence; the
    // question is asked all the same and "Нет" calls the organiser.
    audio::channelPlay(RecordedStream, true);
    imgSpeak->show();
    imgMic->hide();
  }
}

void TfrmRecStudID::Button4Click() {
  CodeRecordingAccepted = true;
  imgMic->hide();
  imgSpeak->hide();
  audio::channelStop(RecordedStream);
  pnlTestREC->hide();
  btnRecID->setEnabled(true);
  setMark(lblRecID, QColor(0, 128, 0), QStringLiteral("V"));
}

void TfrmRecStudID::Button5Click() {
  imgMic->hide();
  imgSpeak->hide();
  CodeRecordingAccepted = false;
  audio::channelStop(RecordedStream);
  btnRecID->setEnabled(true);
  pnlTestREC->hide();
  setMark(lblRecID, QColor(255, 0, 0), QStringLiteral("X"));
  dialogs::showMessage(QStringLiteral(
      "Пригласите организатора в аудитории и сообщите о проблеме записи кода участника."));
}

void TfrmRecStudID::Action1Update() {
  // Leaving is allowed after "Да", but never while a new recording runs.
  Action1->setEnabled(CodeRecordingAccepted &&
                      audio::channelIsActive(RecordChannel) == audio::Stopped);
}

void TfrmRecStudID::Action1Execute() { Timer1->start(); }

void TfrmRecStudID::Timer1Timer() {
  Timer1->stop();
  // Nothing of this stage sounds on after it: a recording started just
  // before the switch is finished, the playback is silenced.
  if (RecordChannel != 0) frmMain->StopRecording(codeRecordingFile());
  audio::channelStop(RecordedStream);
  frmMain->ensureAnswerFolders();
  frmMain->Panel1->show();
  frmMain->StartFrame(10);
}

QString TfrmRecStudID::Label2Caption() const { return Label2->text(); }
