#include "check/journal.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <cerrno>

#include "check/files.h"
#include "toolkit/deliverable.h"
#include "toolkit/recordcheck.h"

namespace check::journal {

namespace {

// A journal is a few thousand lines a day; nothing past this is read.
constexpr qint64 kJournalLimit = 64 * 1024 * 1024;

// A journal line's details with any path shortened to its file name.
QString shortDetails(const QString& details) {
  static const QRegularExpression path(QStringLiteral(R"((?:[A-Za-z]:)?[/\\][^;|]*[/\\]([^/\\;|\s]+\.\w+))"));
  static const QRegularExpression digest(QStringLiteral("; sha256 [0-9a-f]{64}"));
  QString d = details;
  d.replace(path, QStringLiteral("\\1"));
  d.remove(digest);
  return d.size() > 300 ? d.left(300) + QStringLiteral("…") : d;
}

// Events that tell of a fault met while a participant's exam went on.
bool remark(const QString& event) {
  return event == QLatin1String("error-box") || event == QLatin1String("device-lost") ||
         event == QLatin1String("recording-gap") || event == QLatin1String("recording-refused") ||
         event == QLatin1String("answer-rechecked") || event == QLatin1String("check-failed") ||
         event == QLatin1String("no-sound-end");
}

}  // namespace

QString fileNameOf(const QString& path) {
  QString p = path.trimmed();
  p.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return p.section(QLatin1Char('/'), -1);
}

Journal read(const QString& path) {
  Journal j;
  QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return j;
  j.found = true;
  if (!files::readable(path, &j.error)) return j;
  if (!info.isFile()) {
    j.error = EISDIR;
    return j;
  }
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    j.error = EIO;
    return j;
  }
  static const QRegularExpression codes(QStringLiteral(R"(^venue (\d+); room (\d+); station (\d+); )"));
  QCryptographicHash sha(QCryptographicHash::Sha256);
  qint64 read = 0;
  while (!f.atEnd() && read < kJournalLimit) {
    const QByteArray bytes = f.readLine(64 * 1024);
    if (bytes.isEmpty()) break;
    read += bytes.size();
    sha.addData(bytes);
    const QStringList field = QString::fromUtf8(bytes).trimmed().split(QLatin1Char('\t'));
    if (field.size() < 4) continue;
    const QDateTime time = QDateTime::fromString(field[0], Qt::ISODateWithMs);
    if (!time.isValid()) continue;
    if (!j.first.isValid() || time < j.first) j.first = time;
    if (!j.last.isValid() || time > j.last) j.last = time;
    const QString who = field[1] == QLatin1String("-") ? QString() : field[1].left(64);
    if (!who.isEmpty()) j.codes.insert(who);
    const QString& event = field[3];
    const QString details = field.mid(4).join(QLatin1Char(' '));
    const QString when = time.toString(QStringLiteral("HH:mm:ss"));
    if (event == QLatin1String("station-start")) {
      // The deliverable's name; older journals gave the program's file name there.
      const QString program = details.section(QLatin1Char(';'), 0, 0).trimmed().remove(QStringLiteral(".exe"));
      j.deliverable = station::deliverableNamed(program) ? program : QString();
    } else if (event == QLatin1String("check-finished")) {
      const auto m = codes.match(details);
      if (m.hasMatch()) j.venue = m.captured(1), j.room = m.captured(2), j.number = m.captured(3);
    } else if (event == QLatin1String("recording-stop")) {
      QString file;
      double seconds = 0;
      if (station::parseStopDetails(details, &file, &seconds)) j.recorded[fileNameOf(file)] = seconds;
    } else if (event == QLatin1String("recording-checked")) {
      station::CheckedLine line;
      if (!station::parseCheckedDetails(details, &line)) continue;
      j.checked[fileNameOf(line.file)] = Checked{line.seconds, line.ok(), line.sha256};
      if (!line.ok()) j.faults[who].append(QStringLiteral("%1 recording-checked %2").arg(when, shortDetails(details)));
    } else if (remark(event)) {
      j.faults[who].append(QStringLiteral("%1 %2 %3").arg(when, event, shortDetails(details)));
    }
  }
  j.sha256 = sha.result().toHex();
  return j;
}

}  // namespace check::journal
