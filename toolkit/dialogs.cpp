#include "toolkit/dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "toolkit/errors.h"
#include "toolkit/guard.h"
#include "toolkit/journal.h"

namespace dialogs {

QString applicationTitle() { return QStringLiteral("ТАВРЭ - 2017 (устный экзамен)"); }

namespace {
QWidget* activeOwner() {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  return QApplication::activeWindow();
}
}  // namespace

void showStopBox(const QString& text) {
  station::journal::write(QStringLiteral("error-box"), text);
  QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, activeOwner());
  box.exec();
}

void showMessage(const QString& text) {
  station::journal::write(QStringLiteral("message-box"), text);
  QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, activeOwner());
  box.exec();
}

void showErrorBox(QWidget* owner, const QString& text) {
  station::journal::write(QStringLiteral("error-box"), text);
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"), text, QMessageBox::Ok, owner);
  box.exec();
}

namespace {
// The confirmation dialogs open now, innermost last.
QList<QPointer<QMessageBox>>& openQuestions() {
  static QList<QPointer<QMessageBox>> list;
  return list;
}
}  // namespace

void dismissQuestions() {
  for (const QPointer<QMessageBox>& box : openQuestions())
    if (box) box->reject();
}

bool confirm(const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton,
                  activeOwner());
  QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  openQuestions().append(&box);
  box.exec();
  openQuestions().removeAll(&box);
  const bool yesChosen = box.clickedButton() == yes;
  station::journal::write(QStringLiteral("question"),
                          QStringLiteral("%1 -> %2").arg(text, yesChosen ? QStringLiteral("Yes") : QStringLiteral("No")));
  return yesChosen;
}

void showFatalBox(const QString& text) {
  station::journal::write(QStringLiteral("error-box"), text);
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, nullptr);
  box.exec();
}

}  // namespace dialogs

namespace station {

void reportUncaught(const std::exception_ptr& error) {
  QString text;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    text = QString::fromUtf8(e.what());
  } catch (...) {
    text = QStringLiteral("Unknown error");
  }
  // The box runs its own event loop; a failure inside it must not escape either.
  try {
    dialogs::showStopBox(text);
  } catch (...) {
  }
}

int toInt(const QString& text) {
  bool ok = false;
  const QString t = text.trimmed() == text ? text : QString();
  const int v = t.toInt(&ok, 10);
  if (!ok) throw ConvertError(text);
  return v;
}

}  // namespace station
