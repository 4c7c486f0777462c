// Numbers in the station's own Russian texts: the plural form a count asks
// for and a decimal comma. The station loads no translation (its texts are
// written in Russian), so the rule of Russian plurals is kept here, once.
#pragma once

#include <QString>
#include <QtGlobal>

namespace station::russian {

// The form of a noun after the number n: one (1, 21, 101), few (2-4, 22-24)
// or many (0, 5-20, 25-30, 111-114); e.g. plural(n, "участник",
// "участника", "участников").
QString plural(qint64 n, const QString& one, const QString& few, const QString& many);
// A number with a decimal comma and the given digits after it: "41,9".
QString decimal(double value, int digits);

}  // namespace station::russian
