#include "toolkit/keyboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>

#include "toolkit/guard.h"

namespace station {

namespace {
bool isEnterKey(const QKeyEvent* key) {
  const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
  return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier;
}
}  // namespace

bool KeyboardRules::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* button = qobject_cast<QAbstractButton*>(watched);
  if (!button || !button->hasFocus() || !button->isEnabled() || !button->isVisible()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (!isEnterKey(key)) return false;
  if (qobject_cast<QDialog*>(button->window())) return false;  // the dialog presses it
  // A held key presses once.
  if (!key->isAutoRepeat()) guarded([button] { button->click(); });
  return true;
}

void installKeyboardRules() {
  static QPointer<KeyboardRules> rules;
  if (rules || !qApp) return;
  rules = new KeyboardRules(qApp);
  qApp->installEventFilter(rules);
}

}  // namespace station
