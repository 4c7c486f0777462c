#include "check/language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace check {

void loadLanguage(const QString& forced) {
  // English is loaded too, rather than left to the source texts: its plural
  // forms ("1 station", "2 stations") come from its translation.
  const QString language = !forced.isEmpty()                                 ? forced
                           : QLocale::system().language() == QLocale::Russian ? QStringLiteral("ru")
                                                                              : QStringLiteral("en");
  static QTranslator translator;
  if (translator.load(QStringLiteral(":/i18n/quorvel-check_") + language)) QCoreApplication::installTranslator(&translator);
  QLocale::setDefault(QLocale(language == QLatin1String("ru") ? QLocale::Russian : QLocale::English));
}

}  // namespace check
