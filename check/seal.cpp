#include "check/seal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace check::answers::seal {

namespace {

struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};

// A station's archive of a day is a few hundred megabytes at most; tar
// and age stream it, so only time grows with it.
constexpr int kProcessMs = 30 * 60 * 1000;

// `age` beside the program first (a station carried on a stick with its
// tools), then on PATH, as the station looks for oggenc.
QString agePath() {
  const QString beside = QStandardPaths::findExecutable(QStringLiteral("age"), {QCoreApplication::applicationDirPath()});
  return !beside.isEmpty() ? beside : QStandardPaths::findExecutable(QStringLiteral("age"));
}

QString firstLine(const QByteArray& text) {
  const QString line = QString::fromUtf8(text).trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
  return line.left(300);
}

bool lexists(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The file written, flushed to disk before it takes its name.
bool flushFile(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool digest(const QString& path, Archive* a) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  QCryptographicHash sha(QCryptographicHash::Sha256);
  if (!sha.addData(&f)) return false;
  a->size = f.size();
  a->sha256 = sha.result().toHex();
  return true;
}

// tar writes the station's files to age's input; age writes the archive.
Archive sealOne(const Station& s, const QString& recipients, const QDir& out, const QDateTime& made) {
  Archive a;
  a.name = archiveName(s);
  QTemporaryDir staging;
  if (!staging.isValid()) {
    a.error = Text::tr("no temporary folder: %1").arg(staging.errorString());
    return a;
  }
  QSaveFile report(QDir(staging.path()).filePath(reportName(s)));
  if (!report.open(QIODevice::WriteOnly) || report.write(stationReportHtml(s, made).toUtf8()) < 0 || !report.commit()) {
    a.error = report.errorString();
    return a;
  }

  // The station's own files as they lie in its folder; every further copy
  // that differs, under copy-2, copy-3, ... through a link in the staging
  // folder. Links inside are kept as links, never followed.
  QStringList args{QStringLiteral("--create"), QStringLiteral("--file=-"), QStringLiteral("--format=pax"),
                   QStringLiteral("--ignore-failed-read"), QStringLiteral("--sort=name"), QStringLiteral("--owner=0"),
                   QStringLiteral("--group=0"), QStringLiteral("--numeric-owner")};
  const QString answerFolder = QStringLiteral("Answer_") + s.key;
  const QStringList own{answerFolder, answerFolder + QStringLiteral(".log"), answerFolder + QStringLiteral(".sha256")};
  const QStringList copies = s.copies.isEmpty() ? QStringList{s.programDir} : s.copies;
  for (qsizetype i = 0; i < copies.size(); ++i) {
    QStringList names;
    for (const QString& name : own)
      if (lexists(QDir(copies[i]).filePath(name))) names << name;
    if (names.isEmpty()) continue;
    if (i == 0) {
      args << QStringLiteral("--directory=") + copies[i] << names;
      continue;
    }
    const QString link = QStringLiteral("copy-%1").arg(i + 1);
    if (!QFile::link(QDir(copies[i]).absolutePath(), QDir(staging.path()).filePath(link))) continue;
    args << QStringLiteral("--directory=") + staging.path();
    for (const QString& name : names) args << link + QLatin1Char('/') + name;
  }
  args << QStringLiteral("--directory=") + staging.path() << reportName(s);

  const QString partial = out.filePath(a.name + QStringLiteral(".partial"));
  QFile::remove(partial);
  QProcess tar, age;
  tar.setStandardOutputProcess(&age);
  age.setStandardOutputFile(QProcess::nullDevice());
  age.start(agePath(), {QStringLiteral("--encrypt"), QStringLiteral("--recipients-file"), recipients,
                        QStringLiteral("--output"), partial});
  tar.start(QStringLiteral("tar"), args);
  const bool tarRan = tar.waitForFinished(kProcessMs);
  if (!tarRan) tar.kill(), tar.waitForFinished();
  const bool ageRan = age.waitForFinished(kProcessMs);
  if (!ageRan) age.kill(), age.waitForFinished();
  for (const QString& line : QString::fromUtf8(tar.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    a.notes << Text::tr("tar: %1").arg(line.trimmed());
  // tar's status 1 means a file changed while it was read: it is in the
  // archive as it was read, and said.
  const bool tarOk = tarRan && tar.exitStatus() == QProcess::NormalExit && tar.exitCode() <= 1;
  const bool ageOk = ageRan && age.exitStatus() == QProcess::NormalExit && age.exitCode() == 0;
  if (!tarOk || !ageOk) {
    // age first: a tar whose reader gave up fails for that reason alone.
    a.error = !ageOk ? Text::tr("age failed: %1").arg(age.error() == QProcess::FailedToStart ? age.errorString()
                                                                                              : firstLine(age.readAllStandardError()))
                     : Text::tr("tar failed: %1").arg(tar.error() == QProcess::FailedToStart ? tar.errorString()
                                                                                              : a.notes.join(QStringLiteral("; ")));
    QFile::remove(partial);
    return a;
  }
  const QString final = out.filePath(a.name);
  if (!flushFile(partial) || ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(final).constData()) != 0 ||
      !digest(final, &a)) {
    a.error = Text::tr("cannot write %1").arg(QDir::toNativeSeparators(final));
    QFile::remove(partial);
  }
  return a;
}

bool writeList(const QString& path, const QByteArray& text, QString* error) {
  QSaveFile f(path);
  if (f.open(QIODevice::WriteOnly) && f.write(text) == text.size() && f.commit()) return true;
  *error = Text::tr("cannot write %1: %2").arg(QDir::toNativeSeparators(path), f.errorString());
  return false;
}

}  // namespace

namespace {
// The answer key as a file name that no list line or shell can misread.
QString safeKey(const Station& s) {
  QString key = s.key;
  for (QChar& c : key)
    if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-') && c != QLatin1Char('.')) c = QLatin1Char('_');
  return key;
}
}  // namespace

QString archiveName(const Station& s) { return QStringLiteral("Answer_") + safeKey(s) + QStringLiteral(".tar.age"); }

QString reportName(const Station& s) { return QStringLiteral("Answer_") + safeKey(s) + QStringLiteral(".report.html"); }

QString refuse(const QString& recipients) {
  if (agePath().isEmpty()) return Text::tr("no program age (Debian package age) beside quorvel-check or on PATH");
  QFile file(recipients);
  if (!QFileInfo(recipients).isFile()) return Text::tr("no recipients file %1").arg(recipients);
  if (!file.open(QIODevice::ReadOnly)) return Text::tr("recipients file %1 cannot be read: %2").arg(recipients, file.errorString());
  // age itself says whether every line is a public key: it encrypts
  // nothing to nowhere.
  QProcess age;
  age.setStandardOutputFile(QProcess::nullDevice());
  age.start(agePath(), {QStringLiteral("--encrypt"), QStringLiteral("--recipients-file"), recipients});
  age.closeWriteChannel();
  if (!age.waitForFinished(60000)) {
    age.kill();
    age.waitForFinished();
    return Text::tr("age did not answer");
  }
  if (age.exitStatus() != QProcess::NormalExit || age.exitCode() != 0)
    return Text::tr("recipients file %1 holds no valid public key: %2").arg(recipients, firstLine(age.readAllStandardError()));
  return {};
}

Archives sealAll(const QList<Station>& stations, const QString& recipients, const QString& out, const QDateTime& made,
                 QString* listError) {
  Archives archives;
  QDir dir(out);
  if (!QDir().mkpath(out)) {
    *listError = Text::tr("cannot make the folder %1").arg(QDir::toNativeSeparators(out));
    for (const Station& s : stations) archives[s.key] = Archive{archiveName(s), -1, {}, *listError, {}};
    return archives;
  }
  QByteArray list = Text::tr("# quorvel-check --seal, %1: one archive per station, its size in bytes and SHA-256")
                        .arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                        .toUtf8() +
                    '\n';
  QByteArray sums;
  for (const Station& s : stations) {
    const Archive a = sealOne(s, recipients, dir, made);
    archives[s.key] = a;
    if (!a.error.isEmpty()) {
      list += "# " + Text::tr("not sealed: %1: %2").arg(a.name, a.error).toUtf8() + '\n';
      continue;
    }
    list += QStringLiteral("%1  %2  %3\n").arg(a.name).arg(a.size).arg(QString::fromLatin1(a.sha256)).toUtf8();
    sums += a.sha256 + "  " + a.name.toUtf8() + '\n';
  }
  writeList(dir.filePath(QLatin1String(kListName)), list, listError) &&
      writeList(dir.filePath(QLatin1String(kSumsName)), sums, listError);
  return archives;
}

}  // namespace check::answers::seal
