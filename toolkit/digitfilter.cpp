#include "toolkit/digitfilter.h"

#include <QLineEdit>

#include "toolkit/guard.h"

namespace station {

void digitKey(QChar& Key) {
  const bool digit = Key >= QLatin1Char('0') && Key <= QLatin1Char('9');
  if (!digit && Key != QChar(8)) Key = QChar();
}

DigitFilter::DigitFilter(QLineEdit* field, KeyPress keyPress)
    : QValidator(field), keyPress_(std::move(keyPress)) {}

DigitFilter* DigitFilter::install(QLineEdit* field, KeyPress keyPress) {
  auto* filter = new DigitFilter(field, std::move(keyPress));
  field->setValidator(filter);
  return filter;
}

QValidator::State DigitFilter::validate(QString& input, int&) const {
  // The handler runs inside the guard like every handler; one that fails
  // refuses the edit.
  bool passes = false;
  guarded([&] {
    for (const QChar c : input) {
      QChar key = c;
      keyPress_(key);
      if (key.isNull() || c.category() == QChar::Other_Control) return;
    }
    passes = true;
  });
  return passes ? Acceptable : Invalid;
}

}  // namespace station
