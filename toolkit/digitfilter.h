// The code fields (station codes, participant code) take digits only.
//
// The rule sits where every way of putting text into a one-line field meets:
// typing, pasting (keys, context menu, middle button), dropping and input
// method commits. An edit that would put any other character into the field
// is refused as a whole, so a paste of "275-123" changes nothing rather than
// leaving a different code. Keys that insert nothing keep their meaning:
// backspace, Delete, the arrows, Home and End edit, Tab and Shift+Tab move
// the focus, Ctrl+A, Ctrl+C and Ctrl+V select, copy and paste. The field's
// maximum length holds for pasted text as for typed text.
#pragma once

#include <QChar>
#include <QValidator>
#include <functional>

class QLineEdit;

namespace station {

// The key rule of a code field for one typed character: a digit "0" to "9"
// or backspace passes, any other character is discarded (Key becomes null).
void digitKey(QChar& Key);

class DigitFilter : public QValidator {
  Q_OBJECT

 public:
  // The field's named key handler: decides each character, as digitKey does.
  using KeyPress = std::function<void(QChar& Key)>;

  // Makes field a code field whose characters keyPress decides.
  static DigitFilter* install(QLineEdit* field, KeyPress keyPress);

  // Acceptable when every character passes the key handler as typed text
  // (backspace inserts nothing, so it is no character of a text).
  State validate(QString& input, int& pos) const override;

 private:
  DigitFilter(QLineEdit* field, KeyPress keyPress);
  KeyPress keyPress_;
};

}  // namespace station
