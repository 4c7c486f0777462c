#include "stages/FiveSec.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "shell/guard.h"
#include "shell/main.h"
#include "shell/modal.h"
#include "shell/timing.h"
#include "shell/widgets.h"

T_FiveSec* _FiveSec = nullptr;

bool showCountdownBefore(QObject* stage) {
  if (!_FiveSec) return true;
  QPointer<QObject> alive(stage);
  _FiveSec->ShowModal();
  return !alive.isNull();
}

T_FiveSec::T_FiveSec(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("_FiveSec"));
  resize(342, 223);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);

  // Label1 lies under Panel1 and is always covered by it.
  Label1 = new QLabel(QStringLiteral("5"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(station::arialFont(40, false));
  Panel1 = new QLabel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFont(station::arialFont(107, false));
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Raised);
  Panel1->setAutoFillBackground(true);
  Panel1->setBackgroundRole(QPalette::Button);
  Panel1->installEventFilter(this);

  Timer2 = station::makeTimer(this, 1000);
  station::onEvent(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
  FormCreate();
}

void T_FiveSec::FormCreate() {
  CountdownValue = 3;
  // Lies exactly over the main window when shown.
  if (frmMain) setGeometry(frmMain->geometry());
  Timer2->start();
}

void T_FiveSec::ShowModal() { station::showModal(this); }

void T_FiveSec::FormShow() {
  CountdownValue = 3;
  if (!Timer2->isActive()) Timer2->start();
}

void T_FiveSec::FormActivate() {
  CountdownValue = 3;
  if (!Timer2->isActive()) Timer2->start();
}

void T_FiveSec::FormClose() { Panel1->setText(QString()); }

void T_FiveSec::Timer2Timer() {
  if (CountdownValue >= 0) Panel1->setText(QString::number(CountdownValue));
  // The new digit is painted at once.
  QCoreApplication::processEvents();
  --CountdownValue;
  if (CountdownValue < 0) {
    Timer2->stop();
    close();
  }
}

void T_FiveSec::Panel1Click() { CountdownValue = 0; }

void T_FiveSec::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Both fill the window; Label1 stays under Panel1.
  Label1->setGeometry(rect());
  Panel1->setGeometry(rect());
  station::guarded([this] { FormShow(); });
}

void T_FiveSec::closeEvent(QCloseEvent* event) {
  station::guarded([this] { FormClose(); });
  event->accept();
}

void T_FiveSec::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // However it was hidden, the next showing starts with an empty panel.
  Panel1->setText(QString());
}

bool T_FiveSec::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) station::guarded([this] { FormActivate(); });
  return QWidget::event(event);
}

bool T_FiveSec::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel1 && event->type() == QEvent::MouseButtonPress) {
    station::guarded([this] { Panel1Click(); });
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
