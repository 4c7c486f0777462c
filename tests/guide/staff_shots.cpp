// staff-shots FOLDER OUT PIN STICK SMALLSTICK: the guide's pictures of the
// staff screen, made from the real screen on the station folder FOLDER with
// the real UDisks2 (the sticks are the devices STICK and SMALLSTICK, which
// UDisks2 offers): what the station holds, the PIN asked, a copy under way,
// the copy done, a stick too small. Pictures of the whole display go to
// OUT/staff-*.png; each step says on standard output what it showed.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSemaphore>
#include <QTimer>
#include <QtTest>
#include <cstdio>

#include "check/language.h"
#include "kiosk/staff/staffscreen.h"

namespace {

QString g_out;

void shoot(const QString& name, const QString& said) {
  QApplication::processEvents();
  QGuiApplication::primaryScreen()->grabWindow(0).save(g_out + "/" + name + ".png");
  std::printf("picture %s: %s\n", qPrintable(name), qPrintable(said));
  std::fflush(stdout);
}

bool waitIdle(staff::StaffScreen& s) { return QTest::qWaitFor([&] { return !s.busy(); }, 120000); }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 6) {
    std::fputs("usage: staff-shots FOLDER OUT PIN STICK SMALLSTICK\n", stderr);
    return 2;
  }
  g_out = args[2];
  const QString stick = args[4], small = args[5];
  check::loadLanguage(QStringLiteral("ru"));
  staff::StaffScreen screen(args[1], args[3]);
  screen.setWindowFlag(Qt::FramelessWindowHint);
  screen.setGeometry(QGuiApplication::primaryScreen()->geometry());
  screen.show();
  if (!waitIdle(screen)) return 1;
  shoot("staff-summary", screen.status());

  // The PIN: the screen's own dialog, typed into as staff would.
  const auto askPin = screen.askPin;
  bool pinShown = false;
  screen.askPin = [&] {
    QTimer::singleShot(300, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("pin"));
      QTest::keyClicks(edit, QStringLiteral("2468"));
      if (!pinShown) shoot("staff-pin", QStringLiteral("Введите ПИН-код сотрудника"));
      pinShown = true;
      dialog->accept();
    });
    return askPin();
  };
  QString device = stick;
  screen.chooseStick = [&](const QList<staff::Stick>& sticks) {
    for (int i = 0; i < sticks.size(); ++i)
      if (sticks[i].device == device) return i;
    return -1;
  };

  // A copy under way: the copying thread waits half way until the picture is taken.
  QSemaphore halfway, taken;
  bool held = false;
  staff::StaffScreen::copyProgressHook = [&](qint64 done, qint64 total) {
    if (held || done * 2 < total) return;
    held = true;
    halfway.release();
    taken.acquire();
  };
  screen.findChild<QPushButton*>(QStringLiteral("copy"))->click();
  if (!QTest::qWaitFor([&] { return halfway.available() > 0; }, 60000)) return 1;
  QTest::qWait(400);  // the progress bar is polled
  shoot("staff-copying", screen.status());
  halfway.acquire();
  taken.release();
  if (!waitIdle(screen)) return 1;
  shoot("staff-done", screen.status());
  staff::StaffScreen::copyProgressHook = {};

  device = small;
  screen.findChild<QPushButton*>(QStringLiteral("copy"))->click();
  if (!waitIdle(screen)) return 1;
  shoot("staff-full", screen.status());
  return 0;
}
