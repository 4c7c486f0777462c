// The language of quorvel-check's messages and report: Russian when the
// locale's language is Russian, English otherwise.
#pragma once

namespace check {

// Installs the translator of the locale's language; call once, after the
// application object exists.
void loadLanguage();

}  // namespace check
