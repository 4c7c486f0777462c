// What quorvel-check --answers writes once the check is done: the sealed
// archives with their list (--seal, --out), then the report and its CSV,
// which carry the archives' digests.
#pragma once

#include <QList>
#include <QStringList>

#include "check/answers.h"

namespace check::answers::deliver {

// Whether the options can be carried out, told on stderr when not: --seal
// and --out together, a recipients file that age takes. Run before
// anything is checked or written; completes the options (the report goes
// into the --out folder unless --report names it).
bool prepare(Options* options);
// Writes everything asked for; tells on stderr what could not be written
// and says whether everything was.
bool write(const Options& options, const QList<Station>& stations, const QStringList& problems);

}  // namespace check::answers::deliver
