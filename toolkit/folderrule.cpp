#include "toolkit/folderrule.h"

#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace station::folderrule {

namespace {

// Trees that belong to the system: neither they nor anything inside them.
const char* const kSystemTrees[] = {"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32", "/usr", "/etc",
                                    "/boot", "/efi", "/dev", "/proc", "/sys", "/run", "/snap"};
// Folders everyone shares: refused themselves, a folder made inside is fine.
const char* const kSharedFolders[] = {"/",          "/home",    "/tmp", "/var", "/var/tmp", "/var/lib",
                                      "/var/local", "/var/opt", "/srv", "/opt", "/mnt",     "/media",
                                      "/lost+found"};
// Emptied at every boot: no place for a session's folder that must stay.
const char* const kEmptiedAtBoot[] = {"/tmp", "/var/tmp", "/dev/shm"};

QString clean(const QString& folder) {
  // Links resolved as far as the path exists, so /bin (a link to /usr/bin)
  // and /usr/bin/. are seen as what they are, and a folder not made yet is
  // judged by the folder it will be made in.
  QString path = QDir::cleanPath(QDir(folder).absolutePath());
  QString rest;
  while (!path.isEmpty()) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty()) return QDir::cleanPath(canonical + rest);
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0) break;
    rest.prepend(path.mid(slash));
    path.truncate(slash);
  }
  return QDir::cleanPath(QDir(folder).absolutePath());
}

bool within(const QString& path, const QString& tree) {
  return path == tree || (tree == QLatin1String("/") ? true : path.startsWith(tree + QLatin1Char('/')));
}

QString homeOf(const QString& account) {
  if (const passwd* pw = getpwnam(account.toLocal8Bit().constData()); pw && pw->pw_dir && *pw->pw_dir)
    return clean(QString::fromLocal8Bit(pw->pw_dir));
  return QStringLiteral("/home/") + account;
}

// Every account's home but the given one's (and "/", which is no home).
QStringList otherHomes(const QString& account, const QString& ownHome) {
  QStringList homes;
  setpwent();
  while (const passwd* pw = getpwent()) {
    if (!pw->pw_dir || QString::fromLocal8Bit(pw->pw_name) == account) continue;
    const QString home = QDir::cleanPath(QString::fromLocal8Bit(pw->pw_dir));
    if (home.isEmpty() || home == QLatin1String("/") || home == ownHome) continue;
    homes << clean(home);
  }
  endpwent();
  return homes;
}

}  // namespace

Verdict check(const QString& folder, const QString& account, Use use) {
  Verdict v;
  v.folder = clean(folder);
  const QString& path = v.folder;
  const auto refuse = [&](Verdict::Why why, const QString& match) {
    v.why = why;
    v.match = match;
    return v;
  };
  for (const char* t : kSystemTrees)
    if (within(path, QString::fromLatin1(t))) return refuse(Verdict::Why::SystemTree, QString::fromLatin1(t));
  for (const char* s : kSharedFolders)
    if (path == QLatin1String(s)) return refuse(Verdict::Why::SharedFolder, path);
  if (use == Use::Session)
    for (const char* t : kEmptiedAtBoot)
      if (within(path, QString::fromLatin1(t))) return refuse(Verdict::Why::EmptiedAtBoot, QString::fromLatin1(t));
  const QString own = homeOf(account);
  if (within(path, own)) return v;
  // Every folder in /home is someone's home, listed in the account database
  // or not (a network account, one removed with its files kept).
  if (path.startsWith(QLatin1String("/home/")))
    return refuse(Verdict::Why::OtherHome, path.section(QLatin1Char('/'), 0, 2));
  for (const QString& home : otherHomes(account, own))
    if (within(path, home)) return refuse(Verdict::Why::OtherHome, home);
  return v;
}

Verdict checkForThisAccount(const QString& folder, Use use) {
  const passwd* pw = getpwuid(geteuid());
  const QString account = pw ? QString::fromLocal8Bit(pw->pw_name) : QString();
  return check(folder, account, use);
}

QString describe(const Verdict& v) {
  switch (v.why) {
    case Verdict::Why::Allowed: return QStringLiteral("%1 may be a station folder").arg(v.folder);
    case Verdict::Why::SystemTree:
      return QStringLiteral("%1 is a system folder (in %2), not a station folder").arg(v.folder, v.match);
    case Verdict::Why::SharedFolder:
      return QStringLiteral("%1 is shared by the whole system, not a station folder").arg(v.folder);
    case Verdict::Why::OtherHome:
      return QStringLiteral("%1 lies in another account's home (%2)").arg(v.folder, v.match);
    case Verdict::Why::EmptiedAtBoot:
      return QStringLiteral("%1 is emptied at every boot (it is in %2)").arg(v.folder, v.match);
  }
  return {};
}

}  // namespace station::folderrule
