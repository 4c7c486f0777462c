#include "modal.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTest>

#include "framework/judge.h"

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

QMessageBox* openBox() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }

namespace {
QAbstractButton* findButton(QMessageBox* box, const QString& text) {
  const QString wanted = QString(text).remove(QLatin1Char('&'));
  for (QAbstractButton* b : box->buttons())
    if (QString(b->text()).remove(QLatin1Char('&')) == wanted) return b;
  return nullptr;
}
}  // namespace

bool pressInOpenBox(const QString& button) {
  QMessageBox* box = openBox();
  QAbstractButton* b = box ? findButton(box, button) : nullptr;
  if (b) b->click();
  return b != nullptr;
}

QStringList ModalAnswerer::texts() const {
  QStringList all;
  for (const SeenBox& b : seen_) all << b.text;
  return all;
}

QStringList ModalAnswerer::titles() const {
  QStringList all;
  for (const SeenBox& b : seen_) all << b.title;
  return all;
}

void ModalAnswerer::poll() {
  QMessageBox* box = openBox();
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
  if (QAbstractButton* b = findButton(box, button_)) {
    b->click();
    return;
  }
  box->reject();  // no such button: close it all the same, so the test goes on
}

}  // namespace test

void test::pressRecord(QAbstractButton* button) {
  static QElapsedTimer last;
  const int gap = station::RecordJudge::kPressMergeMs + 20;
  if (last.isValid() && last.elapsed() < gap) pump(int(gap - last.elapsed()));
  if (button->isVisible()) QTest::mouseClick(button, Qt::LeftButton);
  else button->click();
  // Counted from after the press was handled: the station's own count of
  // the gap starts inside it, however late a busy machine gets there.
  last.start();
}
