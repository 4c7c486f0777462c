// quorvel-ended: the screen of an exam room PC after its station has ended
// cleanly. Black, full screen, one message; it stays until the PC is
// switched off (or the program is ended by a signal).
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget screen(nullptr, Qt::Window | Qt::FramelessWindowHint);
  screen.setObjectName(QStringLiteral("stationEnded"));
  screen.setStyleSheet(QStringLiteral("background: black; color: white;"));
  auto* layout = new QVBoxLayout(&screen);
  auto* title = new QLabel(QStringLiteral("Работа станции завершена."));
  title->setAlignment(Qt::AlignCenter);
  QFont big(QStringLiteral("Liberation Sans"));
  big.setPixelSize(48);
  big.setBold(true);
  title->setFont(big);
  auto* hint = new QLabel(QStringLiteral("Компьютер можно выключить."));
  hint->setAlignment(Qt::AlignCenter);
  QFont small(QStringLiteral("Liberation Sans"));
  small.setPixelSize(28);
  hint->setFont(small);
  layout->addStretch();
  layout->addWidget(title);
  layout->addWidget(hint);
  layout->addStretch();
  if (QScreen* s = QGuiApplication::primaryScreen()) screen.setGeometry(s->geometry());
  screen.setCursor(Qt::BlankCursor);
  screen.show();
  return app.exec();
}
