#include "kiosk/staff/pin.h"

#include <QCryptographicHash>
#include <QFile>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <algorithm>

namespace staff::pin {

namespace {
constexpr int kIterations = 200000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

bool digitsOnly(const QString& pin) {
  return pin.size() >= 4 && pin.size() <= 12 &&
         std::all_of(pin.begin(), pin.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QByteArray derive(const QString& pin, const QByteArray& salt, int iterations) {
  return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), salt, iterations, kHashBytes);
}

QList<QByteArray> fields(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QList<QByteArray> parts = f.readLine(1024).trimmed().split(' ');
  if (parts.size() != 4 || parts[0] != "pbkdf2-sha256") return {};
  return parts;
}
}  // namespace

QByteArray make(const QString& pin) {
  if (!digitsOnly(pin)) return {};
  QByteArray salt(kSaltBytes, Qt::Uninitialized);
  for (char& c : salt) c = char(QRandomGenerator::system()->bounded(256));
  return "pbkdf2-sha256 " + QByteArray::number(kIterations) + ' ' + salt.toHex() + ' ' +
         derive(pin, salt, kIterations).toHex() + '\n';
}

bool isSet(const QString& file) { return !fields(file).isEmpty(); }

bool matches(const QString& file, const QString& pin) {
  const QList<QByteArray> f = fields(file);
  if (f.isEmpty() || !digitsOnly(pin)) return false;
  bool ok = false;
  const int iterations = f[1].toInt(&ok);
  if (!ok || iterations < 1000 || iterations > 10000000) return false;
  const QByteArray want = QByteArray::fromHex(f[3]);
  const QByteArray got = derive(pin, QByteArray::fromHex(f[2]), iterations);
  // Compared whole, not stopping at the first difference.
  if (want.size() != got.size()) return false;
  char diff = 0;
  for (qsizetype i = 0; i < got.size(); ++i) diff |= char(want[i] ^ got[i]);
  return diff == 0;
}

}  // namespace staff::pin
