#include "check/scan.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <set>
#include <utility>

#include "check/files.h"

namespace check::scan {

namespace {

struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};

// Deeper than this a collection is not searched.
constexpr int kDepthLimit = 16;

struct Walk {
  std::set<std::pair<dev_t, ino_t>> seen;  // folders visited, by device and inode
  std::set<std::pair<QString, QString>> places;  // program folder, key
  Found found;

  void place(const QString& dir, const QString& key, bool hasFolder) {
    if (places.emplace(dir, key).second) found.places.append({dir, key, hasFolder});
  }

  void visit(const QString& dir, int depth, bool given) {
    struct stat st {};
    if (::stat(QFile::encodeName(dir).constData(), &st) != 0) {
      found.problems.append(Text::tr("folder %1: %2").arg(QDir::toNativeSeparators(dir), files::reason(errno)));
      return;
    }
    if (!S_ISDIR(st.st_mode)) {
      if (given) found.problems.append(Text::tr("%1 is not a folder").arg(QDir::toNativeSeparators(dir)));
      return;
    }
    if (!seen.emplace(st.st_dev, st.st_ino).second) return;  // visited already, through another path or a loop
    // Given an answer folder itself: the station is the folder around it.
    const QFileInfo self(QDir::cleanPath(dir));
    if (given && self.fileName().startsWith(QLatin1String("Answer_")) && self.fileName().size() > 7) {
      place(self.canonicalPath() + QLatin1Char('/'), self.fileName().mid(7), true);
      return;
    }
    QStringList names;
    int error = 0;
    if (!files::list(dir, &names, &error)) {
      found.problems.append(Text::tr("folder %1 cannot be read: %2").arg(QDir::toNativeSeparators(dir), files::reason(error)));
      return;
    }
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    const QString programDir = canonical.endsWith(QLatin1Char('/')) ? canonical : canonical + QLatin1Char('/');
    const QString slash = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    std::set<QString> folders, others;
    for (const QString& name : names) {
      struct stat e {};
      const bool reached = ::stat(QFile::encodeName(slash + name).constData(), &e) == 0;
      const bool isDir = reached && S_ISDIR(e.st_mode);
      if (!reached && name.startsWith(QLatin1String("Answer_"))) {
        // A link to a station that is not there (a stick not plugged in, a
        // folder moved): named, never passed over.
        found.problems.append(Text::tr("%1 leads nowhere: %2").arg(QDir::toNativeSeparators(slash + name), files::reason(errno)));
        continue;
      }
      if (name.startsWith(QLatin1String("Answer_")) && name.size() > 7) {
        if (isDir) folders.insert(name.mid(7));
        else if (name.endsWith(QLatin1String(".log")) && name.size() > 11) others.insert(name.mid(7).chopped(4));
        else if (name.endsWith(QLatin1String(".sha256")) && name.size() > 14) others.insert(name.mid(7).chopped(7));
        if (isDir) continue;
      }
      if (isDir && depth < kDepthLimit) visit(slash + name, depth + 1, false);
    }
    for (const QString& key : folders) place(programDir, key, true);
    for (const QString& key : others)
      if (!folders.count(key)) place(programDir, key, false);
  }
};

}  // namespace

Found find(const QStringList& folders) {
  Walk walk;
  for (const QString& f : folders) walk.visit(f, 0, true);
  std::sort(walk.found.places.begin(), walk.found.places.end(), [](const Place& a, const Place& b) {
    return std::pair(a.programDir, a.key) < std::pair(b.programDir, b.key);
  });
  return walk.found;
}

}  // namespace check::scan
