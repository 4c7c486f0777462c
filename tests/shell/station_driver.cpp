// Loaded into the real station program by the process tests (LD_PRELOAD),
// it stands in for the person at the station: every window shown and every
// message box is told on standard output ("window: NAME", "box: TEXT"), each
// box is answered with OK, and with QUORVEL_DRIVER=record the equipment
// check's record button is pressed once ("recording" once it records).
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <cstdio>

namespace {

void say(const QString& line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
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
