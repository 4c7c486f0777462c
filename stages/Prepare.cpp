#include "stages/Prepare.h"

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
#include "ui_Prepare.h"

namespace {

// A flag left out is false.
const PrepareKind kPrepare1{.task = 1, .time = &TfrmMain::PrepTime1, .countsBeforeLoad = true,
                            .asksConfirmation = true, .scrollBars = true, .nextCode = stage::Task1};
const PrepareKind kPrepare2{.task = 2, .time = &TfrmMain::PrepTime2, .countdownWindow = true,
                            .scrollBars = true, .nextCode = stage::Task2};
const PrepareKind kPrepare3{.task = 3, .time = &TfrmMain::PrepTime3, .countdownWindow = true,
                            .showsStatusBar = true, .asksConfirmation = true, .nextCode = stage::Task3};

}  // namespace

TfrmPrepare::TfrmPrepare(QWidget* owner, const PrepareKind& kind)
    : TimedTextStage(owner), kind_(kind), ui_(std::make_unique<Ui::TfrmPrepare>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmPrepare%1").arg(kind.task));
  bindLayout(ui_->Panel1, ui_->Button1, ui_->RichEdit1,
             QStringLiteral("Подготовка к выполнению задания № %1").arg(kind.task), kind.scrollBars);
}

TfrmPrepare::~TfrmPrepare() = default;

int TfrmPrepare::duration() const { return frmMain->*(kind_.time); }

void TfrmPrepare::Start() {
  if (kind_.countdownWindow && !showCountdownBefore(this)) return;
  if (kind_.showsStatusBar) showStatusBar(true);
  station::countdownBegin(QStringLiteral("Подготовка к заданию № %1:").arg(kind_.task), duration());
  ElapsedSeconds = 0;
  if (kind_.countsBeforeLoad) Timer1->start();
  // A text that cannot be loaded is shown as a failure, but the preparation
  // counts down all the same and ends on time: every stage must end.
  const std::exception_ptr failure =
      loadText(RichEdit1, station::names::preparationFile(frmMain->kimVariant(), kind_.task));
  // Preparation 1's timer already runs and keeps its phase.
  if (!Timer1->isActive()) Timer1->start();
  if (failure) reportCaught(failure);
}

void TfrmPrepare::Timer1Timer() {
  if (station::countdownTick(ElapsedSeconds, duration())) {
    Timer1->stop();
    switchStage(kind_.nextCode);
  }
}

void TfrmPrepare::Button1Click() {
  if (!kind_.asksConfirmation) {
    ElapsedSeconds = station::kEarlyEnd;
    return;
  }
  confirmEarlyEnd(QStringLiteral("Завершить подготовку к заданию?"));
}

TfrmPrepare1::TfrmPrepare1(QWidget* owner) : TfrmPrepare(owner, kPrepare1) {}
TfrmPrepare2::TfrmPrepare2(QWidget* owner) : TfrmPrepare(owner, kPrepare2) {}
TfrmPrepare3::TfrmPrepare3(QWidget* owner) : TfrmPrepare(owner, kPrepare3) {}
