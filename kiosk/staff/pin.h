// The staff PIN: kept only as a salted, slowly derived hash (PBKDF2 with
// SHA-256) in a file the exam account may read but not change, written by
// the exam room setup. What the PIN guards: copying answers off the PC,
// switching it off or restarting it, and leaving the session.
#pragma once

#include <QByteArray>
#include <QString>

namespace staff::pin {

// The file's one line for pin: "pbkdf2-sha256 <iterations> <salt> <hash>",
// salt and hash in hex. Empty for a PIN that is not 4 to 12 digits.
QByteArray make(const QString& pin);
// Whether pin is the one whose line the file holds. False for a missing or
// damaged file.
bool matches(const QString& file, const QString& pin);
// Whether the file holds a PIN at all.
bool isSet(const QString& file);

}  // namespace staff::pin
