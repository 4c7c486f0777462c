#include "toolkit/manifest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <set>

#include "toolkit/durable.h"

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

QList<Entry> read(const QString& manifestPath, const QString& answerKey, bool* ok) {
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
    if (!usablePath(path, answerKey)) continue;
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

int repair(const QString& stationDir, const QString& answerKey, const QString& journalPath, QString* error) {
  if (answerKey.isEmpty()) return 0;
  QFile journal(journalPath);
  if (!journal.open(QIODevice::ReadOnly)) return 0;
  const QString dir = withSlash(QFileInfo(withSlash(stationDir)).absoluteFilePath());
  const QString file = manifestFile(dir, answerKey);
  // The journal names files as they were when written; only the part from
  // Answer_<key>/ on is taken, so a station folder moved since still works.
  const QString within = QLatin1Char('/') + prefix(answerKey);
  QList<Entry> entries;
  std::set<QString> listed;
  for (const Entry& e : read(file, answerKey))
    if (QFileInfo(dir + e.path).isFile() && listed.insert(e.path).second) entries.append(e);
  int added = 0;
  while (!journal.atEnd()) {
    const QList<QByteArray> fields = journal.readLine(64 * 1024).split('\t');
    if (fields.size() < 5 || fields[3] != "recording-checked") continue;
    const QString named = QString::fromUtf8(fields[4]).section(QStringLiteral("; "), 0, 0);
    const qsizetype at = named.lastIndexOf(within);
    const QString path = at >= 0 ? named.mid(at + 1) : named;
    if (!usablePath(path, answerKey) || listed.count(path) || !QFileInfo(dir + path).isFile()) continue;
    const QByteArray hex = sha256Hex(dir + path);
    if (hex.isEmpty()) continue;
    listed.insert(path);
    entries.append({hex, path});
    ++added;
  }
  if (added > 0 && !durable::replaceFile(file, format(entries), error)) return -1;
  return added;
}

}  // namespace station::manifest
