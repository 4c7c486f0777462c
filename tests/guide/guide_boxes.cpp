#include "guide_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QQueue>
#include <QScreen>
#include <QTimer>

#include "modal.h"
#include "window/main.h"

namespace guide {

namespace {

struct Expected {
  QString picture;
  QString button;
};

QString g_out;
std::function<void(const QString&)> g_say;
QQueue<Expected> g_expected;
QPointer<QMessageBox> g_box;  // the box being looked at
QElapsedTimer g_boxSeen;
int g_pending = 0;  // pictures asked of shotWhenShown, not yet taken

// A box is pictured once it has been on screen this long (drawn, placed).
constexpr int kSettleMs = 500;

void save(const QString& name, QRect area) {
  QScreen* screen = QGuiApplication::primaryScreen();
  area &= screen->geometry();
  const QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  if (picture.isNull() || !picture.save(g_out + QLatin1Char('/') + name + QStringLiteral(".png"))) {
    std::fprintf(stderr, "guide-shots: the picture %s could not be saved\n", qPrintable(name));
    return;
  }
  g_say(QStringLiteral("picture: ") + name);
}

QAbstractButton* buttonOf(QMessageBox* box, const QString& text) {
  const QString wanted = QString(text).remove(QLatin1Char('&'));
  for (QAbstractButton* b : box->buttons())
    if (QString(b->text()).remove(QLatin1Char('&')) == wanted) return b;
  if (box->defaultButton()) return box->defaultButton();
  return box->buttons().isEmpty() ? nullptr : box->buttons().first();
}

void poll() {
  QMessageBox* box = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible() && !b->property("guide_answered").toBool())
      box = b;
  if (!box) return;
  if (box != g_box) {
    g_box = box;
    g_boxSeen.start();
    return;
  }
  if (g_boxSeen.elapsed() < kSettleMs) return;
  box->setProperty("guide_answered", true);
  g_say(QStringLiteral("box: ") + QString(box->text()).replace(QLatin1Char('\n'), QStringLiteral("\\n")));
  const Expected e = g_expected.isEmpty() ? Expected{} : g_expected.dequeue();
  if (!e.picture.isEmpty()) {
    QRect area = box->frameGeometry();
    if (frmMain) area |= frmMain->frameGeometry();
    save(e.picture, area);
  }
  if (QAbstractButton* b = buttonOf(box, e.button)) b->click();
  else box->reject();
}

}  // namespace

void shot(const QString& name, QWidget* window) {
  if (!window) window = frmMain;
  if (!window) return;
  test::pump(200);
  save(name, window->frameGeometry());
}

void watchBoxes(const QString& outDir, std::function<void(const QString&)> say) {
  g_out = outDir;
  g_say = std::move(say);
  auto* timer = new QTimer(QCoreApplication::instance());
  QObject::connect(timer, &QTimer::timeout, poll);
  timer->start(50);
}

void expectBox(const QString& picture, const QString& button) { g_expected.enqueue({picture, button}); }

void shotWhenShown(QWidget* w, const QString& name, int settleMs) {
  ++g_pending;
  auto* timer = new QTimer(QCoreApplication::instance());
  auto* shown = new QElapsedTimer;
  QObject::connect(timer, &QTimer::timeout, [=, target = QPointer<QWidget>(w)] {
    if (!target || !target->isVisible()) return;
    if (!shown->isValid()) shown->start();
    if (shown->elapsed() < settleMs) return;
    save(name, target->frameGeometry());
    --g_pending;
    delete shown;
    timer->deleteLater();
    timer->stop();
  });
  timer->start(50);
}

bool waitAnswered(int timeoutMs) {
  return test::waitFor([] { return g_expected.isEmpty() && g_pending == 0; }, timeoutMs);
}

bool waitEnabled(QWidget* w, int timeoutMs) {
  return test::waitFor([w] { return w->isVisible() && w->isEnabled(); }, timeoutMs);
}

}  // namespace guide
