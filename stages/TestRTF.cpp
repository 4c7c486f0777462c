#include "stages/TestRTF.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include "shell/deliverable.h"
#include "shell/guard.h"
#include "textview/richview.h"
#include "ui_TestRTF.h"

TfrmTestRTF* frmTestRTF = nullptr;

TfrmTestRTF::TfrmTestRTF(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ui_(new Ui::TfrmTestRTF) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmTestRTF"));
  Panel1 = ui_->Panel1;
  Button1 = ui_->Button1;
  RichEdit1 = ui_->RichEdit1;
  // No scroll bars in quorvel (the sample is shown as the task texts are);
  // quorvel-flat gives every text view its scroll bars.
  RichEdit1->setScrollBars(false);
  station::onEvent(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  centreOnScreen();
}

TfrmTestRTF::~TfrmTestRTF() {
  if (modalLoop_) modalLoop_->quit();
  delete ui_;
}

void TfrmTestRTF::centreOnScreen() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r(QPoint(0, 0), size());
    r.moveCenter(screen->availableGeometry().center());
    move(r.topLeft());
  }
}

void TfrmTestRTF::ShowModal() {
  if (isVisible() || modalLoop_) return;
  centreOnScreen();
  setWindowModality(Qt::ApplicationModal);
  show();
  raise();
  activateWindow();
  QPointer<TfrmTestRTF> self(this);
  QEventLoop loop;
  modalLoop_ = &loop;
  loop.exec(QEventLoop::DialogExec);
  if (self) modalLoop_ = nullptr;
}

void TfrmTestRTF::Button1Click() { close(); }

void TfrmTestRTF::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (modalLoop_) modalLoop_->quit();
}
