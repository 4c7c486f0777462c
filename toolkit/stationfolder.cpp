#include "toolkit/stationfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "toolkit/dialogs.h"
#include "toolkit/folderrule.h"
#include "toolkit/journal.h"

namespace station::stationfolder {

namespace {
QString g_chosen;

QString clean(const QString& folder) {
  // Symbolic links resolved where the folder exists, so /bin (a link to
  // /usr/bin) and /usr/bin/. are both seen as what they are.
  const QString canonical = QFileInfo(folder).canonicalFilePath();
  return QDir::cleanPath(canonical.isEmpty() ? QDir(folder).absolutePath() : canonical);
}

bool holdsKim(const QString& folder) { return QFileInfo(QDir(folder).filePath(QStringLiteral("KIM"))).isDir(); }
}  // namespace

bool isSystemFolder(const QString& folder) {
  return folderrule::checkForThisAccount(folder, folderrule::Use::Station).refused();
}

Choice choose(const QString& programFolder, const QString& currentFolder) {
  const QString program = clean(programFolder);
  const QString here = clean(currentFolder);
  if (holdsKim(program) && !isSystemFolder(program)) return {program, Choice::Why::ProgramHasKim};
  if (holdsKim(here) && !isSystemFolder(here)) return {here, Choice::Why::CurrentHasKim};
  if (isSystemFolder(here)) return {QString(), Choice::Why::SystemFolder};
  return {here, Choice::Why::Current};
}

QString enter() {
  const QString here = QDir::currentPath();
  const Choice c = choose(QCoreApplication::applicationDirPath(), here);
  if (c.why == Choice::Why::SystemFolder || !QDir::setCurrent(c.folder)) {
    const QString folder = c.folder.isEmpty() ? clean(here) : c.folder;
    // Why, in the staff's words: the rule says which kind of folder it is.
    const folderrule::Verdict verdict = folderrule::checkForThisAccount(folder, folderrule::Use::Station);
    const QString why = verdict.why == folderrule::Verdict::Why::OtherHome      ? QStringLiteral("это домашняя папка другой учётной записи")
                        : verdict.why == folderrule::Verdict::Why::SharedFolder ? QStringLiteral("это общая папка системы")
                        : verdict.refused()                                     ? QStringLiteral("это системная папка")
                                                                                : QStringLiteral("в неё нельзя перейти");
    const QString text = QStringLiteral("Папка \"%1\" не может быть папкой станции: %2.\n"
                                        "Запустите станцию из папки станции, в которой лежит папка KIM.")
                             .arg(QDir::toNativeSeparators(folder), why);
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    dialogs::showStopBox(text);
    return {};
  }
  g_chosen = c.folder;
  const char* why = c.why == Choice::Why::CurrentHasKim   ? "the current folder holds KIM"
                    : c.why == Choice::Why::ProgramHasKim ? "the program folder holds KIM"
                                                          : "the current folder (the program folder holds no KIM)";
  journal::write(QStringLiteral("station-folder"),
                 QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(c.folder), QString::fromLatin1(why)));
  return c.folder;
}

QString current() { return g_chosen.isEmpty() ? QCoreApplication::applicationDirPath() : g_chosen; }

}  // namespace station::stationfolder
