// A stand-in for the station under quorvel-kiosk: it ends, run after run,
// the ways STANDIN_ENDS lists (one word a run), so the launcher's answer to
// each end can be watched. Each run appends to "journal" in its current
// folder what the launcher told it (QUORVEL_KIOSK_RESTART), standing in for
// the station's station-restart line, and shows a window named
// "standin run N".
//   0     shows its window, then ends with status 0 (the organiser's end)
//   1     says "stand-in: no KIM here" on standard error and ends with 1 at once
//   STAY  shows its window until it is ended
//   SEGV  shows its window, then crashes
//   GONE  shows a backdrop and its window, then destroys the window and stays
#include <signal.h>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString work = qEnvironmentVariable("STANDIN_WORK");
  QFile runs(work + "/runs");
  int n = 1;
  if (runs.open(QIODevice::ReadOnly)) n = runs.readAll().trimmed().toInt() + 1;
  runs.close();
  if (runs.open(QIODevice::WriteOnly | QIODevice::Truncate)) runs.write(QByteArray::number(n));
  runs.close();
  QFile env(work + "/env");
  if (env.open(QIODevice::WriteOnly | QIODevice::Truncate))
    env.write(qgetenv("QUORVEL_KIOSK") + " " + qgetenv("QT_QPA_PLATFORM") + " " + qgetenv("PWD"));
  env.close();
  QFile journal("journal");
  if (journal.open(QIODevice::Append))
    journal.write("run " + QByteArray::number(n) + ": " + qgetenv("QUORVEL_KIOSK_RESTART") + "\n");
  journal.close();
  const QString end = qEnvironmentVariable("STANDIN_ENDS").split(' ', Qt::SkipEmptyParts).value(n - 1, "STAY");
  if (end == "1") {
    std::fprintf(stderr, "stand-in: no KIM here\n");
    return 1;
  }
  QWidget* backdrop = nullptr;
  if (end == "GONE") {
    backdrop = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
    backdrop->setWindowTitle("quorvel-kiosk-backdrop");
    backdrop->setStyleSheet("background: black;");
    backdrop->setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop->show();
  }
  auto* window = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
  window->setWindowTitle(QStringLiteral("standin run %1").arg(n));
  window->setStyleSheet("background: #3060a0;");
  window->setGeometry(100, 100, 400, 300);
  window->show();
  if (end == "0") QTimer::singleShot(500, [] { QApplication::exit(0); });
  if (end == "SEGV") QTimer::singleShot(500, [] { ::raise(SIGSEGV); });
  if (end == "GONE") QTimer::singleShot(2500, [window] { delete window; });
  return app.exec();
}
