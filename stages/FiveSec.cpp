#include "stages/FiveSec.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "toolkit/guard.h"
#include "window/main.h"
#include "toolkit/modal.h"
#include "toolkit/screenfit.h"
#include "toolkit/timing.h"
#include "toolkit/widgets.h"

T_FiveSec* _FiveSec = nullptr;

bool showCountdownBefore(QObject* stage) {
  if (!_FiveSec) return true;
  QPointer<QObject> alive(stage);
  _FiveSec->ShowModal();
  return !alive.isNull();
}

namespace {
// The window's border: the digits' panel lies inside it.
constexpr int kBorderWidth = 2;
}  // namespace

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
  Panel1->setAccessibleName(QStringLiteral("Обратный отсчёт"));

  // Smaller on a small screen, like the main window it covers.
  station::screen::scaleTree(this, true);
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
  // Both fill the window inside its border; Label1 stays under Panel1.
  const QRect inside = rect().adjusted(kBorderWidth, kBorderWidth, -kBorderWidth, -kBorderWidth);
  Label1->setGeometry(inside);
  Panel1->setGeometry(inside);
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
  // A click counts when the button is let go over the digits, as a click does.
  if (watched == Panel1 && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && Panel1->rect().contains(mouse->position().toPoint()))
      station::guarded([this] { Panel1Click(); });
    return true;
  }
  if (watched == Panel1 && event->type() == QEvent::MouseButtonPress) return true;
  return QWidget::eventFilter(watched, event);
}
