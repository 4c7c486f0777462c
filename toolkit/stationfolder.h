// The station folder: the one root that holds the task materials (KIM) and
// everything the station writes — answers, journal, checksum manifest, lock
// and the equipment check's test.ogg.
//
// A portable station (the program copied beside KIM) works in the program's
// own folder wherever it is started from, KIM included: a launch from
// another folder must not split answers from the earlier ones. An installed
// program (in /usr/bin, no KIM beside it) works in the folder it is started
// in. A system folder is never a station folder: nothing is written into
// /usr/bin, / or the like.
#pragma once

#include <QString>

namespace station::stationfolder {

struct Choice {
  QString folder;  // absolute, clean; empty when refused
  enum class Why { CurrentHasKim, ProgramHasKim, Current, SystemFolder } why = Why::Current;
};

// Folders that may never be a station folder (toolkit/folderrule.h): the
// system's own, the shared ones, other accounts' homes.
bool isSystemFolder(const QString& folder);
// The rule above, for a program in programFolder started in currentFolder.
Choice choose(const QString& programFolder, const QString& currentFolder);

// Applies the rule to this process: makes the station folder the current
// folder (so KIM and test.ogg are found and written there) and says in the
// journal which folder it is and why. On a refusal says so in a box naming
// the folder (and on standard error) and returns an empty string.
QString enter();
// The folder enter() chose; the program's own folder while none was chosen.
QString current();

}  // namespace station::stationfolder
