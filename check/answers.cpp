#include "check/answers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "toolkit/manifest.h"
#include "toolkit/names.h"
#include "toolkit/recordcheck.h"

namespace check::answers {

namespace {

// A recorded length may differ from the time recorded, and a period's
// answer may run over its period, by this much.
constexpr double kTolerance = 0.5;
// A journal is a few thousand lines a day; nothing past this is read.
constexpr qint64 kJournalLimit = 64 * 1024 * 1024;
// Deeper than this a collection is not searched.
constexpr int kDepthLimit = 16;

struct Slot {
  QString suffix;      // "_01"
  double limitQuorvel;  // longest answer, seconds (0: no limit)
  double limitFlat;
};

// The eight files of a participant. A period ends one second after its
// counter reads 0: a 180 s answer lasts 181 s.
QList<Slot> answerSlots() {
  QList<Slot> out{{QStringLiteral("_00"), 0, 0}, {QStringLiteral("_01"), 181, 181}};
  for (int n = 1; n <= 5; ++n) out.append({QStringLiteral("_02_%1").arg(n), 61, 61});
  out.append({QStringLiteral("_03"), 241, 181});
  return out;
}

QString fileSuffix(const QString& slot) {
  using namespace station::names;
  if (slot == QLatin1String("_00")) return codeSuffix();
  if (slot == QLatin1String("_01")) return taskSuffix(1);
  if (slot == QLatin1String("_03")) return taskSuffix(3);
  return questionSuffix(slot.right(1).toInt());
}

QString seconds2(double s) { return QString::number(s, 'f', 2); }

// What the journal of one answer folder says.
struct Journal {
  bool found = false;
  QString deliverable, venue, room, number;
  QDateTime first, last;
  std::map<QString, double> recorded;           // file name -> seconds of its last recording-stop
  std::map<QString, QStringList> faults;        // participant code -> faults ("" for none)
};

QString fileNameOf(const QString& path) {
  QString p = path.trimmed();
  p.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return p.section(QLatin1Char('/'), -1);
}

// A journal line's details with any path shortened to its file name.
QString shortDetails(const QString& details) {
  static const QRegularExpression path(QStringLiteral(R"((?:[A-Za-z]:)?[/\\][^;|]*[/\\]([^/\\;|\s]+\.\w+))"));
  QString d = details;
  d.replace(path, QStringLiteral("\\1"));
  return d.size() > 300 ? d.left(300) + QStringLiteral("…") : d;
}

Journal readJournal(const QString& path) {
  Journal j;
  QFile f(path);
  if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) return j;
  j.found = true;
  static const QRegularExpression stop(QStringLiteral(R"(^(.*); (\d+(?:\.\d+)?) s recorded; [^;]*$)"));
  static const QRegularExpression checked(QStringLiteral(R"(^(.*); length [^;]*; peak [^;]*; ([^;]*)$)"));
  static const QRegularExpression codes(QStringLiteral(R"(^venue (\d+); room (\d+); station (\d+); )"));
  qint64 read = 0;
  while (!f.atEnd() && read < kJournalLimit) {
    const QByteArray bytes = f.readLine(64 * 1024);
    if (bytes.isEmpty()) break;
    read += bytes.size();
    const QStringList field = QString::fromUtf8(bytes).trimmed().split(QLatin1Char('\t'));
    if (field.size() < 4) continue;
    const QDateTime time = QDateTime::fromString(field[0], Qt::ISODateWithMs);
    if (!time.isValid()) continue;
    if (!j.first.isValid() || time < j.first) j.first = time;
    if (!j.last.isValid() || time > j.last) j.last = time;
    const QString who = field[1] == QLatin1String("-") ? QString() : field[1];
    const QString& event = field[3];
    const QString details = field.mid(4).join(QLatin1Char(' '));
    const QString when = time.toString(QStringLiteral("HH:mm:ss"));
    if (event == QLatin1String("station-start")) {
      const QString program = details.section(QLatin1Char(';'), 0, 0).trimmed().remove(QStringLiteral(".exe"));
      j.deliverable = program == QLatin1String("quorvel") || program == QLatin1String("quorvel-flat") ? program
                                                                                                      : QString();
    } else if (event == QLatin1String("check-finished")) {
      const auto m = codes.match(details);
      if (m.hasMatch()) j.venue = m.captured(1), j.room = m.captured(2), j.number = m.captured(3);
    } else if (event == QLatin1String("recording-stop")) {
      const auto m = stop.match(details);
      if (m.hasMatch()) j.recorded[fileNameOf(m.captured(1))] = m.captured(2).toDouble();
    } else if (event == QLatin1String("recording-checked")) {
      const auto m = checked.match(details);
      if (m.hasMatch() && m.captured(2).trimmed() != QLatin1String("ok"))
        j.faults[who].append(QStringLiteral("%1 recording-checked %2").arg(when, shortDetails(details)));
    } else if (event == QLatin1String("error-box")) {
      j.faults[who].append(QStringLiteral("%1 error-box %2").arg(when, shortDetails(details)));
    }
  }
  return j;
}

Answer checkAnswer(const Slot& slot, const QString& file, const Journal& journal, const QString& deliverable,
                   const std::map<QString, QByteArray>* manifest, const QString& manifestPath) {
  Answer a;
  a.suffix = slot.suffix;
  const QString name = QFileInfo(file).fileName();
  auto fault = [&](const QString& what) { a.faults.append(slot.suffix + QLatin1Char(' ') + what); };
  const QFileInfo info(file);
  if (!info.exists()) {
    a.state = Answer::State::Missing;
    fault(manifest && manifest->count(manifestPath) ? QStringLiteral("missing (listed in the manifest)")
                                                      : QStringLiteral("missing"));
    return a;
  }
  if (!info.isFile()) {
    a.state = Answer::State::Missing;
    fault(QStringLiteral("missing: not a regular file"));
    return a;
  }
  const station::RecordingVerdict v = station::checkRecording(file, 0);
  if (v.fault == station::RecordingVerdict::Missing || v.fault == station::RecordingVerdict::Unreadable) {
    fault(QStringLiteral("does not decode"));
  } else {
    a.seconds = v.seconds;
    const auto it = journal.recorded.find(name);
    if (!journal.found) {
      // No journal to compare with: said once for the station.
    } else if (it == journal.recorded.end()) fault(QStringLiteral("has no recording-stop line in the journal"));
    else if (std::fabs(v.seconds - it->second) > kTolerance)
      fault(QStringLiteral("decodes to %1 s, the journal says %2 s recorded").arg(seconds2(v.seconds), seconds2(it->second)));
    const double limit = deliverable == QLatin1String("quorvel-flat") ? slot.limitFlat
                         : deliverable == QLatin1String("quorvel")    ? slot.limitQuorvel
                                                                      : std::max(slot.limitQuorvel, slot.limitFlat);
    if (limit > 0 && v.seconds > limit + kTolerance)
      fault(QStringLiteral("is %1 s, longer than its period of %2 s").arg(seconds2(v.seconds)).arg(limit));
  }
  if (manifest) {
    const auto line = manifest->find(manifestPath);
    if (line == manifest->end()) fault(QStringLiteral("has no line in the manifest"));
    else if (station::manifest::sha256Hex(file) != line->second) fault(QStringLiteral("differs from the manifest checksum"));
  }
  a.state = a.faults.isEmpty() ? Answer::State::Good : Answer::State::Faulty;
  return a;
}

void find(const QString& dir, int depth, std::set<std::pair<QString, QString>>& out) {
  const QFileInfoList entries =
      QDir(dir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden, QDir::Name);
  for (const QFileInfo& e : entries) {
    if (e.fileName().startsWith(QLatin1String("Answer_")) && e.fileName().size() > 7)
      out.emplace(QFileInfo(dir).canonicalFilePath(), e.fileName().mid(7));
    else if (depth < kDepthLimit)
      find(e.filePath(), depth + 1, out);
  }
}

QString htmlEscape(const QString& s) { return s.toHtmlEscaped(); }

}  // namespace

int Participant::complete() const {
  return int(std::count_if(answers.begin(), answers.end(), [](const Answer& a) { return a.state == Answer::State::Good; }));
}

double Participant::seconds() const {
  double total = 0;
  for (const Answer& a : answers) total += std::max(0.0, a.seconds);
  return total;
}

QStringList Participant::faults() const {
  QStringList out;
  for (const Answer& a : answers) out += a.faults;
  for (const QString& s : strays) out += QStringLiteral("not an answer: ") + s;
  return out;
}

bool Participant::ok() const { return complete() == answers.size() && strays.isEmpty(); }

bool Station::ok() const {
  return faults.isEmpty() && std::all_of(participants.begin(), participants.end(), [](const Participant& p) { return p.ok(); });
}

Station checkStation(const QString& programDir, const QString& key) {
  Station s;
  s.programDir = programDir;
  s.key = key;
  const QString dir = programDir.endsWith(QLatin1Char('/')) ? programDir : programDir + QLatin1Char('/');
  const QString folderName = QStringLiteral("Answer_") + key;

  const Journal journal = readJournal(dir + folderName + QStringLiteral(".log"));
  if (!journal.found) s.faults.append(QStringLiteral("no journal %1.log").arg(folderName));
  s.deliverable = journal.deliverable;
  s.first = journal.first;
  s.last = journal.last;
  // The codes from the journal, else from the key's end: ..._<venue>_<room>_<station>.
  const QStringList parts = key.split(QLatin1Char('_'));
  s.venue = !journal.venue.isEmpty() ? journal.venue : parts.size() >= 5 ? parts[parts.size() - 3] : QString();
  s.room = !journal.room.isEmpty() ? journal.room : parts.size() >= 5 ? parts[parts.size() - 2] : QString();
  s.number = !journal.number.isEmpty() ? journal.number : parts.size() >= 5 ? parts.last() : QString();
  if (const auto it = journal.faults.find(QString()); it != journal.faults.end()) s.journal = it->second;

  bool manifestRead = false;
  const QString manifestName = folderName + QStringLiteral(".sha256");
  std::map<QString, QByteArray> manifest;
  for (const auto& e : station::manifest::read(dir + manifestName, key, &manifestRead)) manifest[e.path] = e.hex;
  if (!manifestRead) s.faults.append(QStringLiteral("no manifest %1").arg(manifestName));
  std::set<QString> covered;

  const QFileInfoList entries = QDir(dir + folderName)
                                    .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                                   QDir::Name);
  for (const QFileInfo& e : entries) {
    if (!e.isDir() || e.isSymLink()) {
      s.faults.append(QStringLiteral("not a participant folder: %1/%2").arg(folderName, e.fileName()));
      continue;
    }
    Participant p;
    p.code = e.fileName();
    std::set<QString> expected;
    for (const Slot& slot : answerSlots()) {
      const QString name = p.code + fileSuffix(slot.suffix);
      expected.insert(name);
      const QString relative = folderName + QLatin1Char('/') + p.code + QLatin1Char('/') + name;
      covered.insert(relative);
      p.answers.append(checkAnswer(slot, e.filePath() + QLatin1Char('/') + name, journal, s.deliverable,
                                   manifestRead ? &manifest : nullptr, relative));
    }
    for (const QFileInfo& f :
         QDir(e.filePath()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name))
      if (!expected.count(f.fileName())) p.strays.append(f.fileName());
    if (const auto it = journal.faults.find(p.code); it != journal.faults.end()) p.journal = it->second;
    s.participants.append(p);
  }
  QStringList gone;
  for (const auto& [path, hex] : manifest)
    if (!covered.count(path)) gone.append(path);
  if (!gone.isEmpty())
    s.faults.append(QStringLiteral("the manifest lists %1 file(s) not there: %2")
                        .arg(gone.size())
                        .arg(gone.size() > 3 ? gone.mid(0, 3).join(QStringLiteral(", ")) + QStringLiteral(", …")
                                             : gone.join(QStringLiteral(", "))));
  return s;
}

QList<Station> collect(const QStringList& folders) {
  std::set<std::pair<QString, QString>> found;
  for (const QString& folder : folders) {
    const QFileInfo info(folder);
    if (!info.isDir()) continue;
    // Given an answer folder itself, its program folder is the one around it.
    if (info.fileName().startsWith(QLatin1String("Answer_")) && info.fileName().size() > 7)
      found.emplace(QFileInfo(info.absolutePath()).canonicalFilePath(), info.fileName().mid(7));
    else
      find(info.absoluteFilePath(), 0, found);
  }
  QList<Station> out;
  for (const auto& [dir, key] : found) out.append(checkStation(dir, key));
  return out;
}

QStringList stationLines(const Station& s) {
  QStringList out;
  QString head = QStringLiteral("Answer_%1 in %2").arg(s.key, QDir::toNativeSeparators(s.programDir));
  QStringList about;
  if (!s.venue.isEmpty()) about << QStringLiteral("venue %1, room %2, station %3").arg(s.venue, s.room, s.number);
  about << (s.deliverable.isEmpty() ? QStringLiteral("program unknown") : s.deliverable);
  if (s.first.isValid())
    about << QStringLiteral("%1 – %2").arg(s.first.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                           s.last.toString(QStringLiteral("HH:mm")));
  out << head + QStringLiteral(": ") + about.join(QStringLiteral(", "));
  for (const Participant& p : s.participants) {
    const QStringList faults = p.faults();
    out << QStringLiteral("  %1  %2/%3  %4 min  %5")
               .arg(p.code)
               .arg(p.complete())
               .arg(p.answers.size())
               .arg(p.seconds() / 60.0, 0, 'f', 1)
               .arg(faults.isEmpty() ? QStringLiteral("ok") : faults.join(QStringLiteral("; ")));
    for (const QString& j : p.journal) out << QStringLiteral("      journal: ") + j;
  }
  for (const QString& j : s.journal) out << QStringLiteral("  journal: ") + j;
  const int complete = int(std::count_if(s.participants.begin(), s.participants.end(), [](const Participant& p) { return p.ok(); }));
  QString line = QStringLiteral("station Answer_%1: %2 participants, %3 complete").arg(s.key).arg(s.participants.size()).arg(complete);
  if (!s.faults.isEmpty()) line += QStringLiteral("; ") + s.faults.join(QStringLiteral("; "));
  out << line;
  return out;
}

QString summaryLine(const QList<Station>& stations) {
  int participants = 0, complete = 0, good = 0;
  for (const Station& s : stations) {
    participants += int(s.participants.size());
    for (const Participant& p : s.participants) complete += p.ok();
    good += s.ok();
  }
  QString line = QStringLiteral("%1 stations (%2 without faults), %3 participants: %4 complete")
                     .arg(stations.size())
                     .arg(good)
                     .arg(participants)
                     .arg(complete);
  if (participants > complete) line += QStringLiteral(", %1 with faults").arg(participants - complete);
  return line;
}

QString reportHtml(const QList<Station>& stations, const QDateTime& made) {
  QString h;
  h += QStringLiteral(
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Answers collected</title>\n<style>\n"
      "@page { size: A4 landscape; margin: 12mm; }\n"
      "body { font: 10pt 'Liberation Sans', Arial, sans-serif; color: #111; margin: 16px; }\n"
      "h1 { font-size: 15pt; margin: 0 0 4px; } h2 { font-size: 12pt; margin: 0 0 2px; }\n"
      "p.meta { margin: 0 0 6px; color: #444; }\n"
      "section { border: 1px solid #999; padding: 8px 10px; margin: 12px 0; break-inside: avoid; }\n"
      "table { border-collapse: collapse; width: 100%; margin: 4px 0; table-layout: fixed; }\n"
      "col.code { width: 12%; } col.a { width: 5.5%; } col.n { width: 4%; } col.m { width: 4.5%; }\n"
      "th, td { border: 1px solid #bbb; padding: 2px 5px; text-align: left; vertical-align: top; }\n"
      "th { background: #eee; font-weight: bold; }\n"
      "td.a { text-align: center; vertical-align: middle; font-variant-numeric: tabular-nums; }\n"
      "td.n, td.m { text-align: right; } .ok { color: #006400; font-weight: bold; }\n"
      "td.good { background: #d8f0d8; } td.faulty { background: #ffd9a8; } td.missing { background: #f4b4b4; }\n"
      "td.code { font-family: 'Liberation Mono', monospace; white-space: nowrap; }\n"
      ".bad { color: #a00000; } ul { margin: 2px 0 2px 18px; padding: 0; }\n"
      ".legend span { display: inline-block; padding: 1px 6px; margin-right: 6px; border: 1px solid #bbb; }\n"
      ".sign { margin-top: 14px; display: flex; gap: 40px; }\n"
      ".sign div { flex: 1; border-top: 1px solid #111; padding-top: 2px; color: #444; }\n"
      "* { -webkit-print-color-adjust: exact; print-color-adjust: exact; }\n"
      "</style></head><body>\n");
  int participants = 0, complete = 0;
  for (const Station& s : stations)
    for (const Participant& p : s.participants) ++participants, complete += p.ok();
  h += QStringLiteral("<h1>Answers collected: %1 stations, %2 participants, %3 complete</h1>\n")
           .arg(stations.size())
           .arg(participants)
           .arg(complete);
  h += QStringLiteral("<p class=\"meta\">Checked %1 by quorvel-check --answers. "
                      "<span class=\"legend\"><span class=\"good\" style=\"background:#d8f0d8\">good</span>"
                      "<span style=\"background:#ffd9a8\">faulty</span><span style=\"background:#f4b4b4\">missing</span>"
                      "</span></p>\n")
           .arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
  const QList<Slot> columns = answerSlots();
  for (const Station& s : stations) {
    h += QStringLiteral("<section>\n<h2>Answer_%1</h2>\n").arg(htmlEscape(s.key));
    QStringList meta;
    meta << QStringLiteral("venue <b>%1</b>, room <b>%2</b>, station <b>%3</b>")
                .arg(htmlEscape(s.venue), htmlEscape(s.room), htmlEscape(s.number));
    meta << htmlEscape(s.deliverable.isEmpty() ? QStringLiteral("program unknown") : s.deliverable);
    if (s.first.isValid())
      meta << QStringLiteral("journal %1 – %2").arg(s.first.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                                    s.last.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    meta << htmlEscape(QDir::toNativeSeparators(s.programDir));
    h += QStringLiteral("<p class=\"meta\">%1</p>\n").arg(meta.join(QStringLiteral(" · ")));
    if (!s.faults.isEmpty() || !s.journal.isEmpty()) {
      h += QStringLiteral("<ul>");
      for (const QString& f : s.faults) h += QStringLiteral("<li class=\"bad\">%1</li>").arg(htmlEscape(f));
      for (const QString& f : s.journal) h += QStringLiteral("<li>journal: %1</li>").arg(htmlEscape(f));
      h += QStringLiteral("</ul>\n");
    }
    const int complete =
        int(std::count_if(s.participants.begin(), s.participants.end(), [](const Participant& p) { return p.ok(); }));
    h += QStringLiteral("<p class=\"meta\">%1 participants, %2 complete: <span class=\"%3\">%4</span></p>\n")
             .arg(s.participants.size())
             .arg(complete)
             .arg(s.ok() ? QStringLiteral("ok") : QStringLiteral("bad"),
                  s.ok() ? QStringLiteral("all answers in order") : QStringLiteral("faults found"));
    h += QStringLiteral("<table>\n<colgroup><col class=\"code\">");
    for (qsizetype i = 0; i < columns.size(); ++i) h += QStringLiteral("<col class=\"a\">");
    h += QStringLiteral("<col class=\"n\"><col class=\"m\"><col></colgroup>\n<tr><th>participant</th>");
    for (const Slot& c : columns) h += QStringLiteral("<th>%1</th>").arg(c.suffix);
    h += QStringLiteral("<th>of 8</th><th>min</th><th>faults</th></tr>\n");
    for (const Participant& p : s.participants) {
      h += QStringLiteral("<tr><td class=\"code\">%1</td>").arg(htmlEscape(p.code));
      for (const Answer& a : p.answers) {
        const char* state = a.state == Answer::State::Good     ? "good"
                            : a.state == Answer::State::Faulty ? "faulty"
                                                               : "missing";
        h += QStringLiteral("<td class=\"a %1\">%2</td>")
                 .arg(QLatin1String(state),
                      a.seconds >= 0 ? station::formatLength(a.seconds) : QStringLiteral("—"));
      }
      h += QStringLiteral("<td class=\"n\">%1</td><td class=\"m\">%2</td><td>")
               .arg(p.complete())
               .arg(p.seconds() / 60.0, 0, 'f', 1);
      const QStringList faults = p.faults();
      if (!faults.isEmpty() || !p.journal.isEmpty()) {
        h += QStringLiteral("<ul>");
        for (const QString& f : faults) h += QStringLiteral("<li class=\"bad\">%1</li>").arg(htmlEscape(f));
        for (const QString& f : p.journal) h += QStringLiteral("<li>journal: %1</li>").arg(htmlEscape(f));
        h += QStringLiteral("</ul>");
      }
      h += QStringLiteral("</td></tr>\n");
    }
    if (s.participants.isEmpty()) h += QStringLiteral("<tr><td colspan=\"12\">no participant folders</td></tr>\n");
    h += QStringLiteral("</table>\n<div class=\"sign\"><div>collected by (name)</div><div>signature</div>"
                        "<div>date</div></div>\n</section>\n");
  }
  h += QStringLiteral("</body></html>\n");
  return h;
}

int run(const QStringList& args) {
  QStringList folders;
  QString report;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--report")) {
      if (i + 1 >= args.size()) {
        std::fputs("quorvel-check: --report needs a file name\n", stderr);
        return 2;
      }
      report = args[++i];
    } else {
      folders << args[i];
    }
  }
  if (folders.isEmpty()) folders << QStringLiteral(".");
  for (const QString& f : folders)
    if (!QFileInfo(f).isDir())
      std::fputs(QStringLiteral("quorvel-check: no folder %1\n").arg(f).toUtf8().constData(), stderr);

  const QList<Station> stations = collect(folders);
  int participants = 0;
  bool good = true;
  for (const Station& s : stations) {
    for (const QString& line : stationLines(s)) std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    participants += int(s.participants.size());
    good = good && s.ok();
  }
  std::fputs((summaryLine(stations) + QLatin1Char('\n')).toUtf8().constData(), stdout);
  std::fflush(stdout);
  if (!report.isEmpty()) {
    QSaveFile out(report);
    if (!out.open(QIODevice::WriteOnly) || out.write(reportHtml(stations, QDateTime::currentDateTime()).toUtf8()) < 0 ||
        !out.commit()) {
      std::fputs(QStringLiteral("quorvel-check: cannot write %1: %2\n").arg(report, out.errorString()).toUtf8().constData(),
                 stderr);
      return 2;
    }
  }
  if (participants == 0) {
    std::fputs("quorvel-check: no participant folder in any Answer_ folder found\n", stderr);
    return 2;
  }
  return good ? 0 : 1;
}

}  // namespace check::answers
