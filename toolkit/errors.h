// Errors that end an event handler at the step that failed. The handler guard
// (toolkit/guard.h) shows what() in the stop-icon error box.
#pragma once

#include <QString>
#include <stdexcept>

namespace station {

class StationError : public std::runtime_error {
 public:
  explicit StationError(const QString& message) : std::runtime_error(message.toStdString()) {}
  QString message() const { return QString::fromUtf8(what()); }
};

// A text that should hold a whole number does not.
class ConvertError : public StationError {
 public:
  explicit ConvertError(const QString& text)
      : StationError(QStringLiteral("'%1' is not a valid integer value").arg(text)) {}
};

// A file or folder the station needs cannot be read or used.
class InOutError : public StationError {
 public:
  using StationError::StationError;
};

// Whole number from text, as typed into a code field: optional sign, decimal
// digits, nothing else. Throws ConvertError otherwise.
int toInt(const QString& text);

}  // namespace station
