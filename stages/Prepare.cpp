#include "stages/Prepare.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "shell/countdown.h"
#include "shell/dialogs.h"
#include "shell/main.h"
#include "shell/names.h"
#include "shell/widgets.h"
#include "stages/FiveSec.h"
#include "textview/richview.h"
#include "ui_Prepare.h"

namespace {

//                          code task time               window status early  confirm scroll next
const PrepareKind kPrepare1{10,  1,   &TfrmMain::PrepTime1, false, false, true,  true,   true,  11};
const PrepareKind kPrepare2{20,  2,   &TfrmMain::PrepTime2, true,  false, false, false,  true,  21};
const PrepareKind kPrepare3{30,  3,   &TfrmMain::PrepTime3, true,  true,  false, true,   false, 31};

}  // namespace

TfrmPrepare::TfrmPrepare(QWidget* owner, const PrepareKind& kind)
    : StageFrame(owner), kind_(kind), ui_(std::make_unique<Ui::TfrmPrepare>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmPrepare%1").arg(kind.task));
  Panel1 = ui_->Panel1;
  Button1 = ui_->Button1;
  RichEdit1 = ui_->RichEdit1;

  Panel1->setFont(station::arialFont(27));
  Panel1->setText(QStringLiteral("Подготовка к выполнению задания № %1").arg(kind.task));
  Button1->setFont(station::arialFont(11));
  RichEdit1->setScrollBars(kind.scrollBars);

  Timer1 = station::makeTimer(this, 1000);
  on(Timer1, &QTimer::timeout, [this] { Timer1Timer(); });
  on(Button1, &QPushButton::clicked, [this] { Button1Click(); });
}

TfrmPrepare::~TfrmPrepare() = default;

int TfrmPrepare::duration() const { return frmMain->*(kind_.time); }

void TfrmPrepare::Start() {
  QPointer<TfrmPrepare> self(this);
  if (kind_.countdownWindow && _FiveSec) {
    _FiveSec->ShowModal();
    if (!self) return;
  }
  if (kind_.showsStatusBar) showStatusBar(true);
  station::countdownBegin(QStringLiteral("Подготовка к заданию № %1:").arg(kind_.task), duration());
  ElapsedSeconds = 0;
  if (kind_.countsBeforeLoad) Timer1->start();
  // A text that cannot be loaded is shown as a failure, but the preparation
  // counts down all the same and ends on time: every stage must end.
  std::exception_ptr failure;
  try {
    RichEdit1->loadFromFile(station::names::preparationFile(frmMain->kimVariant(), kind_.task));
  } catch (...) {
    failure = std::current_exception();
  }
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
  QPointer<TfrmPrepare> self(this);
  const bool yes = dialogs::confirm(QStringLiteral("Завершить подготовку к заданию?"));
  // The time may have run out while the question was open: the stage has
  // then been left and the answer has no effect.
  if (yes && self && !self->hasSwitched()) ElapsedSeconds = station::kEarlyEnd;
}

TfrmPrepare1::TfrmPrepare1(QWidget* owner) : TfrmPrepare(owner, kPrepare1) {}
TfrmPrepare2::TfrmPrepare2(QWidget* owner) : TfrmPrepare(owner, kPrepare2) {}
TfrmPrepare3::TfrmPrepare3(QWidget* owner) : TfrmPrepare(owner, kPrepare3) {}
