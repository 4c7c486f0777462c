// quorvel-ended: the screens of an exam room PC while no station runs (see
// quorvel-kiosk). Black, full screen, white text, no window manager needed.
//
//   quorvel-ended                 the station was ended by the organiser; stays
//                                 until the PC is switched off
//   quorvel-ended --waiting DIR   the station folder DIR (or its KIM) is not
//                                 there; ends (status 0) as soon as it is
//   quorvel-ended --failed FILE   the station failed again and again: FILE's
//                                 text (what happened) and a button that ends
//                                 the screen (status 0) to try again
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

namespace {

QLabel* text(const QString& s, int pixels, bool bold = false) {
  auto* label = new QLabel(s);
  label->setAlignment(Qt::AlignCenter);
  label->setTextFormat(Qt::PlainText);  // file contents are shown as they are
  label->setWordWrap(true);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

// At most this much of a file: a report is a few lines, never a whole log.
QString readSome(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("(%1: %2)").arg(path, f.errorString());
  return QString::fromUtf8(f.read(8192));
}

int usage() {
  std::fprintf(stderr, "usage: quorvel-ended [--waiting FOLDER | --failed FILE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  const QString mode = args.value(0);
  if (!(args.isEmpty() || (args.size() == 2 && (mode == "--waiting" || mode == "--failed")))) return usage();

  QWidget screen(nullptr, Qt::Window | Qt::FramelessWindowHint);
  screen.setStyleSheet(QStringLiteral("background: black; color: white;"));
  auto* layout = new QVBoxLayout(&screen);
  layout->setContentsMargins(80, 40, 80, 40);
  layout->setSpacing(24);
  layout->addStretch();
  if (mode == QLatin1String("--waiting")) {
    const QString folder = QDir::cleanPath(args[1]);
    screen.setObjectName(QStringLiteral("stationWaiting"));
    screen.setWindowTitle(QStringLiteral("Ожидание папки станции"));
    layout->addWidget(text(QStringLiteral("Ожидание папки станции"), 48, true));
    layout->addWidget(text(folder, 32));
    layout->addWidget(text(QStringLiteral("Папки нет или в ней нет папки KIM. Подключите носитель с папкой "
                                          "станции или скопируйте в неё KIM: станция запустится сама."),
                           28));
    auto* poll = new QTimer(&screen);
    QObject::connect(poll, &QTimer::timeout, [folder] {
      if (QDir(folder).exists(QStringLiteral("KIM"))) QApplication::exit(0);
    });
    poll->start(1000);
  } else if (mode == QLatin1String("--failed")) {
    screen.setObjectName(QStringLiteral("stationFailed"));
    screen.setWindowTitle(QStringLiteral("Станция не работает"));
    layout->addWidget(text(QStringLiteral("Станция не работает"), 48, true));
    auto* report = text(readSome(args[1]), 20);
    report->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    report->setTextInteractionFlags(Qt::NoTextInteraction);
    layout->addWidget(report);
    auto* again = new QPushButton(QStringLiteral("Попробовать снова"));
    again->setObjectName(QStringLiteral("tryAgain"));
    again->setStyleSheet(QStringLiteral("background: #333; color: white; padding: 16px 40px; font-size: 28px;"));
    again->setDefault(true);
    QObject::connect(again, &QPushButton::clicked, [] { QApplication::exit(0); });
    layout->addWidget(again, 0, Qt::AlignHCenter);
    again->setFocus();
  } else {
    screen.setObjectName(QStringLiteral("stationEnded"));
    screen.setWindowTitle(QStringLiteral("Работа станции завершена"));
    layout->addWidget(text(QStringLiteral("Работа станции завершена."), 48, true));
    layout->addWidget(text(QStringLiteral("Компьютер можно выключить."), 28));
  }
  layout->addStretch();
  if (QScreen* s = QGuiApplication::primaryScreen()) screen.setGeometry(s->geometry());
  if (mode != QLatin1String("--failed")) screen.setCursor(Qt::BlankCursor);
  screen.show();
  screen.activateWindow();
  return app.exec();
}
