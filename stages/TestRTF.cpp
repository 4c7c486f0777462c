#include "stages/TestRTF.h"

#include <QGuiApplication>
#include <QScreen>

#include "toolkit/guard.h"
#include "toolkit/modal.h"
#include "toolkit/screenfit.h"
#include "textview/richview.h"
#include "ui_TestRTF.h"

TfrmTestRTF* frmTestRTF = nullptr;

TfrmTestRTF::TfrmTestRTF(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::TfrmTestRTF>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmTestRTF"));
  Panel1 = ui_->Panel1;
  Button1 = ui_->Button1;
  RichEdit1 = ui_->RichEdit1;
  // No scroll bars in quorvel (the sample is shown as the task texts are);
  // quorvel-flat gives every text view its scroll bars.
  RichEdit1->setScrollBars(false);
  station::onEvent(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  // Smaller on a small screen, like the main window.
  station::screen::scaleTree(this, true);
  centreOnScreen();
}

TfrmTestRTF::~TfrmTestRTF() = default;

void TfrmTestRTF::centreOnScreen() {
  // Kept inside the screen's area, like the main window.
  move(station::screen::centredOnScreen(size()));
}

void TfrmTestRTF::ShowModal() {
  if (isVisible()) return;
  centreOnScreen();
  station::showModal(this);
}

void TfrmTestRTF::Button1Click() { close(); }
