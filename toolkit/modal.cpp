#include "toolkit/modal.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace station {

namespace {
// Ends the loop when the watched window is hidden.
class HideWatcher : public QObject {
 public:
  HideWatcher(QWidget* window, QEventLoop* loop) : window_(window), loop_(loop) {
    window->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Hide) loop_->quit();
    return false;
  }

 private:
  QWidget* window_;
  QEventLoop* loop_;
};
}  // namespace

void showModal(QWidget* window) {
  if (!window || window->isVisible()) return;
  QPointer<QWidget> guard(window);
  // The window the keyboard was in gets it back afterwards, also where no
  // window manager hands it back by itself.
  QPointer<QWidget> before(QApplication::activeWindow());
  QEventLoop loop;
  HideWatcher watcher(window, &loop);
  QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
  window->setWindowModality(Qt::ApplicationModal);
  window->show();
  window->raise();
  window->activateWindow();
  // A window that closed itself while being shown needs no loop.
  if (guard && guard->isVisible()) loop.exec(QEventLoop::DialogExec);
  if (guard) guard->removeEventFilter(&watcher);
  if (before && before->isVisible() && before != window) before->activateWindow();
}

}  // namespace station
