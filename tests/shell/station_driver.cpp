// Loaded into the real station program by the process tests (LD_PRELOAD),
// it stands in for the person at the station: every window shown and every
// message box is told on standard output ("window: NAME", "box: TEXT"), each
// box is answered with OK, and with QUORVEL_DRIVER=record the equipment
// check's record button is pressed once ("recording" once it records).
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <cstdio>

namespace {

void say(const QString& line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

QString rectText(const QRect& r) {
  return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// With QUORVEL_DRIVER=geometry, once the main window shows: the screen's
// available area ("screen: X Y W H"), the three windows ("geometry: NAME X Y
// W H") and every shown control of the main window that does not lie wholly
// inside it ("cut: NAME"), then "done".
void tellGeometry() {
  static bool told = false;
  if (told) return;
  QWidget* main = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QStringLiteral("frmMain") && w->isVisible()) main = w;
  if (!main) return;
  told = true;
  say(QStringLiteral("screen: ") + rectText(QGuiApplication::primaryScreen()->availableGeometry()));
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName().startsWith(QStringLiteral("frm")) || w->objectName() == QStringLiteral("_FiveSec"))
      say(QStringLiteral("geometry: %1 %2").arg(w->objectName(), rectText(w->frameGeometry())));
  const QRect inside(main->mapToGlobal(QPoint(0, 0)), main->size());
  for (QWidget* w : main->findChildren<QWidget*>()) {
    if (!w->isVisible() || w->isWindow()) continue;
    if (!inside.contains(QRect(w->mapToGlobal(QPoint(0, 0)), w->size())))
      say(QStringLiteral("cut: ") + w->objectName());
  }
  say(QStringLiteral("done"));
}

void drive() {
  auto* timer = new QTimer(QCoreApplication::instance());
  QObject::connect(timer, &QTimer::timeout, [] {
    static QSet<QString> shown;
    static bool pressed = false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible()) continue;
      if (auto* box = qobject_cast<QMessageBox*>(w)) {
        say(QStringLiteral("box: ") + QString(box->text()).replace(QLatin1Char('\n'), QStringLiteral("\\n")));
        box->accept();
      } else if (!shown.contains(w->objectName())) {
        shown.insert(w->objectName());
        say(QStringLiteral("window: ") + w->objectName());
      }
    }
    if (qgetenv("QUORVEL_DRIVER") == "geometry") {
      tellGeometry();
      return;
    }
    if (pressed || qgetenv("QUORVEL_DRIVER") != "record") return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* button = w->findChild<QPushButton*>(QStringLiteral("btnRecTest"));
      if (!button || !button->isVisible()) continue;
      pressed = true;
      button->click();
      say(button->text() == QStringLiteral("Завершить запись и воспроизвести") ? QStringLiteral("recording")
                                                                          : QStringLiteral("not recording"));
    }
  });
  timer->start(20);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(drive)
