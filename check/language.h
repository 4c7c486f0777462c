// The language of quorvel-check's messages and report: Russian when the
// locale's language is Russian, English otherwise.
#pragma once

#include <QString>

namespace check {

// Installs the translator of the locale's language ("ru" or "en" given:
// that one, whatever the locale); call once, after the application object
// exists.
void loadLanguage(const QString& language = {});

}  // namespace check
