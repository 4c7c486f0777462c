// The keyboard rules of the whole station, for people who work it without a
// mouse. Installed once on the application:
//  - Return or Enter on a focused button presses it, as Space does. The
//    buttons of a dialog (the message boxes, the confirmation) are left to
//    the dialog, which presses its focused button on Enter itself, so such a
//    button is pressed once, never twice.
// Tab moves the focus out of every text view (textview::RichView), and each
// stage gives the focus to its first control when it is placed
// (StageFrame::firstControl).
#pragma once

#include <QObject>

namespace station {

class KeyboardRules : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs the rules on the application, once (later calls do nothing).
void installKeyboardRules();

}  // namespace station
