#include "toolkit/manifest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <set>

#include "toolkit/durable.h"
#include "toolkit/journal.h"
#include "toolkit/recordcheck.h"

namespace station::manifest {

namespace {

// A manifest is a few hundred lines a day; anything much larger is not one.
constexpr qint64 kReadLimit = 16 * 1024 * 1024;

QString withSlash(const QString& dir) { return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/'); }

QString prefix(const QString& answerKey) { return QStringLiteral("Answer_") + answerKey + QLatin1Char('/'); }

// A path the manifest may hold: relative, "/"-separated, no "." or ".."
// part, nothing a sha256sum line would have to escape.
bool usablePath(const QString& path, const QString& answerKey) {
  if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')) ||
      path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')) || path.contains(QChar(0)))
    return false;
  for (const QString& part : path.split(QLatin1Char('/')))
    if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) return false;
  return answerKey.isEmpty() || (path.startsWith(prefix(answerKey)) && path.size() > prefix(answerKey).size());
}

bool isHex(QByteArrayView digits) {
  return digits.size() == 64 && std::all_of(digits.begin(), digits.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
         });
}

}  // namespace

QString manifestFile(const QString& stationDir, const QString& answerKey) {
  return withSlash(stationDir) + QStringLiteral("Answer_") + answerKey + QStringLiteral(".sha256");
}

QByteArray sha256Hex(const QString& file) {
  QFile f(file);
  if (!QFileInfo(file).isFile() || !f.open(QIODevice::ReadOnly)) return {};
  QCryptographicHash hash(QCryptographicHash::Sha256);
  QByteArray block(256 * 1024, Qt::Uninitialized);
  for (;;) {
    const qint64 got = f.read(block.data(), block.size());
    if (got < 0) return {};
    if (got == 0) break;
    hash.addData(QByteArrayView(block.constData(), got));
  }
  return hash.result().toHex();
}

QList<Entry> read(const QString& manifestPath, const QString& answerKey, bool* ok, QStringList* outside) {
  QList<Entry> out;
  QFile f(manifestPath);
  const bool opened = QFileInfo(manifestPath).isFile() && f.open(QIODevice::ReadOnly);
  if (ok) *ok = opened;
  if (!opened) return out;
  const QByteArray text = f.read(kReadLimit);
  std::map<QString, qsizetype> where;
  for (QByteArray line : text.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    if (line.size() < 67 || !isHex(QByteArrayView(line).first(64)) || line[64] != ' ' || (line[65] != ' ' && line[65] != '*'))
      continue;
    const QString path = QString::fromUtf8(line.sliced(66));
    if (!usablePath(path, answerKey)) {
      if (outside) outside->append(path);
      continue;
    }
    const Entry e{line.first(64).toLower(), path};
    const auto [it, fresh] = where.try_emplace(path, out.size());
    if (fresh) out.append(e);
    else out[it->second] = e;
  }
  return out;
}

QByteArray format(QList<Entry> entries) {
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.path < b.path; });
  QByteArray text;
  for (const Entry& e : entries) text += e.hex + "  " + e.path.toUtf8() + '\n';
  return text;
}

bool update(const QString& stationDir, const QString& answerKey, const QString& answerFile,
            const QByteArray& hexDigest, QString* error) {
  if (answerKey.isEmpty()) return true;
  const QString dir = withSlash(QFileInfo(withSlash(stationDir)).absoluteFilePath());
  const QString path = QDir(dir).relativeFilePath(QFileInfo(answerFile).absoluteFilePath());
  if (!usablePath(path, answerKey)) return true;

  const QString file = manifestFile(dir, answerKey);
  QFile old(file);
  const QByteArray before = old.open(QIODevice::ReadOnly) ? old.read(kReadLimit) : QByteArray();
  QList<Entry> entries;
  for (const Entry& e : read(file, answerKey))
    if (e.path != path && QFileInfo(dir + e.path).isFile()) entries.append(e);
  const bool exists = QFileInfo(dir + path).isFile();
  const bool digest = isHex(hexDigest);
  if (exists && digest) entries.append({hexDigest.toLower(), path});

  const QByteArray after = format(entries);
  if (after != before || !QFileInfo::exists(file)) {
    if (!durable::replaceFile(file, after, error)) return false;
  }
  if (exists && !digest) {
    if (error) *error = QStringLiteral("Не удалось прочитать файл \"%1\" для контрольной суммы").arg(answerFile);
    return false;
  }
  return true;
}

bool record(const QString& stationDir, const QString& answerKey, const QString& answerFile, QString* error) {
  return update(stationDir, answerKey, answerFile, sha256Hex(answerFile), error);
}

namespace {

// What the journal says of one answer file: its last check and the time of
// its last recording.
struct Journaled {
  bool checked = false;
  CheckedLine check;
  double recorded = 0;
};

// The journal's lines about answers under Answer_<key>/, by path relative to
// the station folder. The journal names files as they were when written;
// only the part from Answer_<key>/ on is taken, so a station folder moved
// since still works.
std::map<QString, Journaled> journaled(const QString& journalPath, const QString& answerKey) {
  std::map<QString, Journaled> out;
  QFile journal(journalPath);
  if (!journal.open(QIODevice::ReadOnly)) return out;
  const QString within = QLatin1Char('/') + prefix(answerKey);
  auto relative = [&](const QString& named) {
    const qsizetype at = QDir::fromNativeSeparators(named).lastIndexOf(within);
    return at >= 0 ? QDir::fromNativeSeparators(named).mid(at + 1) : QString();
  };
  while (!journal.atEnd()) {
    const QStringList fields = QString::fromUtf8(journal.readLine(64 * 1024)).trimmed().split(QLatin1Char('\t'));
    if (fields.size() < 5) continue;
    const QString details = fields.mid(4).join(QLatin1Char(' '));
    if (fields[3] == QLatin1String("recording-checked")) {
      CheckedLine line;
      if (!parseCheckedDetails(details, &line)) continue;
      const QString path = relative(line.file);
      if (usablePath(path, answerKey)) out[path].checked = true, out[path].check = line;
    } else if (fields[3] == QLatin1String("recording-stop")) {
      QString file;
      double seconds = 0;
      if (!parseStopDetails(details, &file, &seconds)) continue;
      const QString path = relative(file);
      if (usablePath(path, answerKey)) out[path].recorded = seconds;
    }
  }
  return out;
}

// The answer files on disk: regular files "*.ogg" in the participant
// folders of Answer_<key>/, relative to the station folder. Links are not
// followed: nothing outside the answer folder is read.
QStringList answersOnDisk(const QString& dir, const QString& answerKey) {
  QStringList out;
  const QString root = dir + prefix(answerKey);
  for (const QFileInfo& person : QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name))
    for (const QFileInfo& file : QDir(person.filePath()).entryInfoList({QStringLiteral("*.ogg")},
                                                                      QDir::Files | QDir::NoSymLinks, QDir::Name))
      out.append(prefix(answerKey) + person.fileName() + QLatin1Char('/') + file.fileName());
  return out;
}

}  // namespace

Repaired repair(const QString& stationDir, const QString& answerKey, const QString& journalPath) {
  Repaired out;
  if (answerKey.isEmpty()) return out;
  const QString dir = withSlash(QFileInfo(withSlash(stationDir)).absoluteFilePath());
  const QString file = manifestFile(dir, answerKey);
  const std::map<QString, Journaled> journal = journaled(journalPath, answerKey);
  std::map<QString, QByteArray> listed;
  for (const Entry& e : read(file, answerKey))
    if (QFileInfo(dir + e.path).isFile()) listed[e.path] = e.hex;

  struct Recheck {
    QString path, why;
    CheckedFile result;
  };
  QList<Recheck> rechecks;
  for (const QString& path : answersOnDisk(dir, answerKey)) {
    const QByteArray onDisk = sha256Hex(dir + path);
    if (onDisk.isEmpty()) continue;  // unreadable: the room check names it
    const auto j = journal.find(path);
    const bool checked = j != journal.end() && j->second.checked;
    const QByteArray& manifested = listed.count(path) ? listed[path] : QByteArray();
    if (checked && j->second.check.sha256 == onDisk) {
      if (manifested != onDisk) listed[path] = onDisk, ++out.listed;
      continue;
    }
    if (checked && j->second.check.sha256.isEmpty() && manifested == onDisk) continue;
    const QString why = !checked                             ? QStringLiteral("no check line: its check was cut off")
                        : j->second.check.sha256.isEmpty() ? QStringLiteral("its check line names no bytes and its manifest line differs")
                                                           : QStringLiteral("the bytes on disk are not those checked");
    const CheckedFile result = checkRecordingBytes(dir + path, j != journal.end() ? j->second.recorded : 0);
    if (result.sha256.isEmpty()) continue;
    listed[path] = result.sha256;
    rechecks.append({path, why, result});
  }

  QList<Entry> entries;
  for (const auto& [path, hex] : listed) entries.append({hex, path});
  const QByteArray after = format(entries);
  QFile old(file);
  const QByteArray before = old.open(QIODevice::ReadOnly) ? old.read(kReadLimit) : QByteArray();
  if (after != before && (!entries.isEmpty() || QFileInfo::exists(file)))
    out.written = durable::replaceFile(file, after, &out.error);
  // The manifest first, then the journal: the same order as a recording's
  // own lines, so that a cut here leaves lines a later start completes.
  for (const Recheck& r : rechecks) {
    const QString code = r.path.section(QLatin1Char('/'), 1, 1);
    journal::writeFor(code, QStringLiteral("answer-rechecked"), QStringLiteral("%1; %2").arg(dir + r.path, r.why));
    journal::writeFor(code, QStringLiteral("recording-checked"), checkedDetails(dir + r.path, r.result.verdict, r.result.sha256));
  }
  out.rechecked = int(rechecks.size());
  return out;
}

}  // namespace station::manifest
