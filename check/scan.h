// Finding the stations in the folders staff give: every Answer_<key> folder
// in or under them at any depth, folders reached through symbolic links
// included, each real folder visited once (a link that loops back is seen
// and passed), and every journal or manifest whose answer folder is not
// there. A folder given that is not there or cannot be read is a problem.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace check::scan {

struct Place {
  QString programDir;  // the folder holding Answer_<key>, with a final "/"
  QString key;
  bool hasFolder = true;  // false: only its journal or manifest is there
};

struct Found {
  QList<Place> places;   // sorted by program folder, then key
  QStringList problems;  // folders not there or unreadable, with the reason
};

Found find(const QStringList& folders);

}  // namespace check::scan
