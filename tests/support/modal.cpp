#include "modal.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTest>

#include "shell/judge.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

#include <QEventLoop>

namespace test {

void pump(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

ModalAnswerer::ModalAnswerer(const QString& button) : button_(button) {
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::poll);
  timer_.start(10);
}

void ModalAnswerer::poll() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible() || box->property("test_answered").toBool()) return;
  box->setProperty("test_answered", true);
  SeenBox seen;
  seen.title = box->windowTitle();
  seen.text = box->text();
  seen.icon = box->icon();
  for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
  if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text();
  seen_ << seen;
  if (!leaveOpen_.isEmpty() && seen.title == leaveOpen_) return;
  const QString wanted = QString(button_).remove(QLatin1Char('&'));
  for (QAbstractButton* b : box->buttons()) {
    if (QString(b->text()).remove(QLatin1Char('&')) == wanted) {
      b->click();
      return;
    }
  }
  box->reject();  // no such button: close it all the same, so the test goes on
}

}  // namespace test

void test::pressRecord(QAbstractButton* button) {
  static QElapsedTimer last;
  const int gap = station::RecordJudge::kPressMergeMs + 20;
  if (last.isValid() && last.elapsed() < gap) pump(int(gap - last.elapsed()));
  last.start();
  if (button->isVisible()) QTest::mouseClick(button, Qt::LeftButton);
  else button->click();
}
