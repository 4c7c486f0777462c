// Answers the station's modal message boxes in tests: every box that opens
// is recorded and closed with the chosen button, so that code which shows a
// box (and waits in its nested event loop) runs on.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

namespace test {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;  // button texts as shown, "&" included
  QString defaultButton;
};

class ModalAnswerer : public QObject {
 public:
  // button: the text of the button to press, with or without "&" ("OK", "&Yes", "No").
  explicit ModalAnswerer(const QString& button = QStringLiteral("OK"));
  void answerWith(const QString& button) { button_ = button; }
  // Boxes with this caption are recorded but left open (a question that a
  // test answers later, or never).
  void leaveOpen(const QString& title) { leaveOpen_ = title; }
  const QList<SeenBox>& seen() const { return seen_; }
  int count() const { return seen_.size(); }
  // Text of the last box, or empty.
  QString lastText() const { return seen_.isEmpty() ? QString() : seen_.last().text; }
  // The texts and the captions of the boxes seen, in order.
  QStringList texts() const;
  QStringList titles() const;
  void clear() { seen_.clear(); }

 private:
  void poll();
  QString button_;
  QString leaveOpen_;
  QList<SeenBox> seen_;
  QTimer timer_;
};

// The message box open now (the active modal window), or null.
QMessageBox* openBox();
// Presses the button with this text ("&" optional) in the box open now;
// false when no box is open or it has no such button.
bool pressInOpenBox(const QString& button);

// Runs a real event loop for ms milliseconds: unlike QTest::qWait it lets
// the loop block, so update-on-idle handlers run as they do in the station.
void pump(int ms);

// Presses a record button as a person does: never within the station's
// merge time of the previous record press (closer presses count as one).
void pressRecord(class QAbstractButton* button);

// Runs the event loop until pred() holds or timeoutMs passes.
template <class Pred>
bool waitFor(Pred pred, int timeoutMs = 5000);

}  // namespace test

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

template <class Pred>
bool test::waitFor(Pred pred, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!pred()) {
    if (deadline.hasExpired()) return false;
    pump(5);
  }
  return true;
}
