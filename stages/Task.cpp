#include "stages/Task.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "framework/countdown.h"
#include "toolkit/dialogs.h"
#include "window/main.h"
#include "toolkit/names.h"
#include "toolkit/widgets.h"
#include "stages/FiveSec.h"
#include "textview/richview.h"
#include "ui_MonologueTask.h"

namespace {

const MonologueKind kTask1{
    .task = 1, .time = &TfrmMain::AnswerTime1, .scrollBars = true, .nextCode = stage::Prepare2};
const MonologueKind kTask3{
    .task = 3, .time = &TfrmMain::AnswerTime3, .scrollBars = false, .nextCode = stage::Review};

}  // namespace

TfrmMonologueTask::TfrmMonologueTask(QWidget* owner, const MonologueKind& kind)
    : TimedTextStage(owner), kind_(kind), ui_(std::make_unique<Ui::TfrmMonologueTask>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmTask%1").arg(kind.task));
  bindLayout(ui_->Panel1, ui_->Button1, ui_->RichEdit1,
             QStringLiteral("Выполнение задания № %1. Идет запись...").arg(kind.task), kind.scrollBars);
}

TfrmMonologueTask::~TfrmMonologueTask() = default;

int TfrmMonologueTask::duration() const { return frmMain->*(kind_.time); }

QString TfrmMonologueTask::answerFile() const {
  return frmMain->answerFile(station::names::taskSuffix(kind_.task));
}

void TfrmMonologueTask::Start() {
  if (!showCountdownBefore(this)) return;
  QPointer<TfrmMonologueTask> self(this);
  station::countdownBegin(QStringLiteral("Отвечайте! Идет запись:"), duration());
  ElapsedSeconds = 0;
  Timer1->start();
  // The answer is recorded even when the text cannot be loaded: the
  // participant may have been given the task another way, and a missing
  // answer file is worse than a recording with no text on screen. The
  // failure is shown once the recording runs.
  const std::exception_ptr failure = loadText(RichEdit1, station::names::taskFile(frmMain->kimVariant(), kind_.task));
  startAnswerRecording(answerFile());
  if (failure && self) reportCaught(failure);
}

void TfrmMonologueTask::Timer1Timer() {
  if (!station::countdownTick(ElapsedSeconds, duration())) return;
  Timer1->stop();
  QPointer<TfrmMonologueTask> self(this);
  stopAnswerRecording(answerFile());
  if (self) switchStage(kind_.nextCode);
}

void TfrmMonologueTask::Button1Click() {
  confirmEarlyEnd(QStringLiteral("Вы уверены, что хотите завершить выполнение задания?"));
}

TfrmTask1::TfrmTask1(QWidget* owner) : TfrmMonologueTask(owner, kTask1) {}
TfrmTask3::TfrmTask3(QWidget* owner) : TfrmMonologueTask(owner, kTask3) {}
