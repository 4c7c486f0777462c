#include "stages/Task2.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "framework/countdown.h"
#include "toolkit/dialogs.h"
#include "window/main.h"
#include "toolkit/names.h"
#include "toolkit/picture.h"
#include "window/stagecodes.h"
#include "toolkit/widgets.h"
#include "stages/FiveSec.h"
#include "textview/richview.h"
#include "ui_Task2.h"

namespace {
constexpr int kQuestions = 5;
}  // namespace

TfrmTask2::TfrmTask2(QWidget* owner) : TimedStage(owner), ui_(std::make_unique<Ui::TfrmTask2>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmTask2"));
  Label1 = ui_->Label1;
  Panel1 = ui_->Panel1;
  RichEdit1 = ui_->RichEdit1;
  imgSpeak = ui_->imgSpeak;
  imgMic = ui_->imgMic;
  bindTimer(ui_->Button1);

  Label1->setFont(station::arialFont(27));
  Button1->setFont(station::arialFont(11));
  Button1->raise();  // lies over Label1
  // The spacer is white.
  QPalette white = Panel1->palette();
  white.setColor(QPalette::Window, Qt::white);
  Panel1->setPalette(white);
}

TfrmTask2::~TfrmTask2() = default;

QString TfrmTask2::answerFile(int n) const {
  return frmMain->answerFile(station::names::questionSuffix(n));
}

void TfrmTask2::Start() {
  if (!showCountdownBefore(this)) return;
  QuestionNumber = 1;
  PlayTask(QuestionNumber);
}

void TfrmTask2::PlayTask(int n) {
  frmMain->ProcessBar->setValue(0);
  showStatusBar(false);
  imgSpeak->show();
  imgMic->hide();
  Button1->hide();
  Button1->setEnabled(false);
  // A question whose text cannot be loaded is still asked and recorded for
  // its full time (it may be read out), and the series goes on; the failure
  // is shown once the recording runs.
  const std::exception_ptr failure =
      loadText(RichEdit1, station::names::questionFile(frmMain->kimVariant(), n));
  showStatusBar(true);
  imgSpeak->hide();
  imgMic->show();
  Button1->show();
  Button1->setEnabled(true);
  Label1->setText(QStringLiteral("Отвечайте! Идет запись ответа на вопрос № ") + QString::number(n));
  station::countdownBegin(
      QStringLiteral("Отвечайте! Идет запись на вопрос № ") + QString::number(QuestionNumber) + QLatin1Char(':'),
      frmMain->AnswerTime2);
  ElapsedSeconds = 0;
  Timer1->start();
  QPointer<TfrmTask2> self(this);
  startAnswerRecording(answerFile(n));
  if (failure && self) reportCaught(failure);
}

void TfrmTask2::Timer1Timer() {
  if (!station::countdownTick(ElapsedSeconds, frmMain->AnswerTime2)) return;
  Timer1->stop();
  QPointer<TfrmTask2> self(this);
  stopAnswerRecording(answerFile(QuestionNumber));
  if (!self) return;
  // With the confirmation dialog open, the next question waits for it.
  if (confirming()) pendingNext_ = true;
  else nextQuestion();
}

void TfrmTask2::nextQuestion() {
  if (hasSwitched()) return;
  ++QuestionNumber;
  if (QuestionNumber > kQuestions) {
    switchStage(stage::Prepare3);
    return;
  }
  PlayTask(QuestionNumber);
}

void TfrmTask2::Button1Click() {
  QPointer<TfrmTask2> self(this);
  confirmEarlyEnd(QStringLiteral("Вы уверены, что хотите завершить ответ на вопрос?"));
  if (!self || !pendingNext_) return;
  // The question ended while the dialog was open (the answer had no
  // effect): the next one starts now.
  pendingNext_ = false;
  nextQuestion();
}
