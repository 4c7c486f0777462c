#include "toolkit/russian.h"

#include <QLocale>

namespace station::russian {

QString plural(qint64 n, const QString& one, const QString& few, const QString& many) {
  const qint64 tens = (n < 0 ? -n : n) % 100, units = tens % 10;
  if (units == 1 && tens != 11) return one;
  if (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) return few;
  return many;
}

QString decimal(double value, int digits) {
  QLocale russian(QLocale::Russian);
  russian.setNumberOptions(QLocale::OmitGroupSeparator);
  return russian.toString(value, 'f', digits);
}

}  // namespace station::russian
