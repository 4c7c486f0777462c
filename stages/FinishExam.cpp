#include "stages/FinishExam.h"

#include <QLabel>
#include <QTimer>

#include "window/main.h"
#include "toolkit/participant.h"
#include "window/stagecodes.h"
#include "toolkit/widgets.h"
#include "ui_FinishExam.h"

TfrmFinishExam::TfrmFinishExam(QWidget* owner)
    : StageFrame(owner), ui_(std::make_unique<Ui::TfrmFinishExam>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmFinishExam"));
  Label1 = ui_->Label1;
  Button1 = ui_->Button1;
  Button2 = ui_->Button2;
  Label1->setFont(station::arialFont(27));
  Label1->adjustSize();
  Button1->setFont(station::arialFont(16));
  Button2->setFont(station::arialFont(16));

  Timer1 = makeSwitchTimer(10, [this] { Timer1Timer(); });
  on(Button1, &QPushButton::clicked, [this] { Button1Click(); });
  on(Button2, &QPushButton::clicked, [this] { Button2Click(); });
}

TfrmFinishExam::~TfrmFinishExam() = default;

void TfrmFinishExam::Start() {
  showStatusBar(false);
  Label1->setText(QStringLiteral("Экзамен для участника с кодом ") +
                  FormatParticipantCode(frmMain->ParticipantCode) + QStringLiteral(" завершен!"));
  Label1->adjustSize();
  Button1->setFocus();
}

void TfrmFinishExam::Button1Click() { requestSwitch(Timer1); }

void TfrmFinishExam::Timer1Timer() { switchStage(stage::CodeEntry); }

void TfrmFinishExam::Button2Click() { frmMain->StopExam(); }
