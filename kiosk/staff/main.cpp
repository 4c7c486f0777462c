// quorvel-staff [--pin-file FILE] [FOLDER]: the staff screen of the exam
// session for the station folder FOLDER (by default the current folder),
// full screen. Its exit status tells the launcher what staff chose: 10 go
// on with the exam (start the station again), 20 leave the session, 0 the
// computer is being switched off or restarted.
//
// quorvel-staff --make-pin: reads a PIN (4 to 12 digits) from standard
// input and prints the line the PIN file holds for it (the exam room setup
// writes it); exits 2 for a PIN that is not one.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTextStream>
#include <cstdio>

#include "check/language.h"
#include "kiosk/staff/pin.h"
#include "kiosk/staff/staffscreen.h"

int main(int argc, char** argv) {
  if (argc == 2 && qstrcmp(argv[1], "--make-pin") == 0) {
    // No window, so no display needed: the setup runs it from a console.
    QCoreApplication app(argc, argv);
    QTextStream in(stdin);
    const QByteArray line = staff::pin::make(in.readLine().trimmed());
    if (line.isEmpty()) {
      std::fputs("quorvel-staff: a PIN is 4 to 12 digits\n", stderr);
      return 2;
    }
    std::fputs(line.constData(), stdout);
    return 0;
  }
  QApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments().mid(1);
  QString pinFile = QStringLiteral("/etc/quorvel/staff-pin");
  if (const qsizetype i = args.indexOf(QStringLiteral("--pin-file")); i >= 0 && i + 1 < args.size()) {
    pinFile = args[i + 1];
    args.remove(i, 2);
  }
  // The staff's language whatever the session's locale: the judging's texts too.
  check::loadLanguage(QStringLiteral("ru"));
  staff::StaffScreen screen(QDir(args.value(0, QStringLiteral("."))).absolutePath(), pinFile);
  QObject::connect(&screen, &staff::StaffScreen::ended, &app, [](int ending) { QCoreApplication::exit(ending); });
  screen.setWindowTitle(QStringLiteral("Станция: работа завершена"));
  // The exam session has no window manager to make a window full screen:
  // the screen's whole area is taken directly.
  screen.setWindowFlag(Qt::FramelessWindowHint);
  screen.setGeometry(QGuiApplication::primaryScreen()->geometry());
  screen.showFullScreen();
  return app.exec();
}
