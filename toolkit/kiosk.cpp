#include "toolkit/kiosk.h"

#include <QGuiApplication>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include "toolkit/screenfit.h"

namespace station::kiosk {

namespace {
// Black, never focused, never in front of the station: a click on it brings
// the station's main window forward again (a window manager, where there is
// one, would raise the backdrop over it).
class Backdrop : public QWidget {
 public:
  explicit Backdrop(QWidget* station)
      : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), station_(station) {
    setObjectName(QStringLiteral("kioskBackdrop"));
    // The launcher tells it by this name from the station's own windows: a
    // station left with nothing but its backdrop is started again.
    setWindowTitle(QStringLiteral("quorvel-kiosk-backdrop"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);
  }

 protected:
  void mousePressEvent(QMouseEvent*) override { bringStationForward(); }
  void focusInEvent(QFocusEvent*) override { bringStationForward(); }

 private:
  void bringStationForward() {
    if (!station_) return;
    station_->raise();
    station_->activateWindow();
  }
  QPointer<QWidget> station_;
};
}  // namespace

double scaleFor(const QSize& screenSize, const QSize& design) {
  if (design.isEmpty()) return 1.0;
  double f = 1.0;
  while (design.width() * (f + 0.25) <= screenSize.width() && design.height() * (f + 0.25) <= screenSize.height())
    f += 0.25;
  return f;
}

void chooseScale(int argc, char** argv) {
  if (!active() || qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) return;
  QSize pixels;
  {
    // The screen is known only to an application: this one lives just long
    // enough to ask, before the station's own reads the factor.
    int n = argc;
    QGuiApplication probe(n, argv);
    if (const QScreen* s = QGuiApplication::primaryScreen()) pixels = s->size() * s->devicePixelRatio();
  }
  const double f = scaleFor(pixels, screen::kDesignSize);
  if (f > 1.0) qputenv("QT_SCALE_FACTOR", QByteArray::number(f));
}

bool active() { return qEnvironmentVariable("QUORVEL_KIOSK") == QLatin1String("1"); }

void showMain(QWidget* mainWindow) {
  if (!active()) {
    mainWindow->show();
    return;
  }
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect whole = screen ? screen->geometry() : QRect(QPoint(0, 0), mainWindow->size());
  // Lives as long as the main window; it ends the station by no close of its own.
  auto* backdrop = new Backdrop(mainWindow);
  QObject::connect(mainWindow, &QObject::destroyed, backdrop, &QObject::deleteLater);
  backdrop->setGeometry(whole);
  backdrop->show();
  mainWindow->setWindowFlag(Qt::FramelessWindowHint, true);
  mainWindow->move(screen::centredIn(mainWindow->size(), whole));
  mainWindow->show();
  mainWindow->raise();
  mainWindow->activateWindow();
}

}  // namespace station::kiosk
