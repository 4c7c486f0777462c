// The printable report of the answers check: the summary page (the exam,
// the totals, the sealed archives, what needs attention, the signatures),
// then each station on pages of its own. Every printed page names itself in
// its running header (the exam, the centre, room and station or the summary,
// the page of how many), the table header repeats on every page and the
// signature blocks stay with the end of the table. Every state is told by a
// word or a mark as well as a colour. Beside it, the same answers as CSV.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <set>

#include "check/answers.h"
#include "check/heading.h"
#include "toolkit/participant.h"
#include "toolkit/recordcheck.h"

namespace check::answers {

namespace {

struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};

// Rows kept on one page with the signature block.
constexpr int kRowsWithSignatures = 3;
constexpr int kColumns = 13;

QString esc(const QString& s) { return s.toHtmlEscaped(); }

// Text inside a CSS string in the page's style sheet: nothing in it can end
// the string or the style element.
QString cssString(const QString& s) {
  QString out = QStringLiteral("\"");
  for (const QChar c : s) {
    if (c == QLatin1Char('"') || c == QLatin1Char('\\')) out += QLatin1Char('\\') + c;
    else if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('&'))
      out += QStringLiteral("\\%1 ").arg(c.unicode(), 0, 16);
    else if (c.unicode() < 0x20 || c.unicode() == 0x7f) out += QLatin1Char(' ');
    else out += c;
  }
  return out + QLatin1Char('"');
}

const char kStyle[] =
    "@page { size: A4 landscape; margin: 15mm 12mm 12mm; }\n"
    "@page { @top-left { font: 8.5pt 'Liberation Sans', Arial, sans-serif; color: #333; vertical-align: bottom; padding-bottom: 2mm; }\n"
    "        @top-right { font: 8.5pt 'Liberation Sans', Arial, sans-serif; color: #333; vertical-align: bottom; padding-bottom: 2mm; } }\n"
    "body { font: 10pt 'Liberation Sans', Arial, sans-serif; color: #111; margin: 16px; }\n"
    "@media print { body { margin: 0; } }\n"
    "h1 { font-size: 15pt; margin: 0 0 4px; } h2 { font-size: 13pt; margin: 0 0 2px; }\n"
    "p.meta { margin: 0 0 6px; color: #444; } p.key, .digest { font-family: 'Liberation Mono', monospace; }\n"
    "p.key { margin: 0 0 6px; } .digest { overflow-wrap: anywhere; }\n"
    "section.station { border-top: 2px solid #555; padding-top: 6px; margin-top: 14px; }\n"
    "@media print { section.station { border-top: none; margin-top: 0; } }\n"
    "table { border-collapse: collapse; width: 100%; margin: 4px 0; table-layout: fixed; }\n"
    "col.code { width: 13%; } col.a { width: 6%; } col.n { width: 4.5%; } col.m { width: 4.5%; } col.st { width: 8.5%; }\n"
    "th, td { border: 1px solid #888; padding: 2px 5px; text-align: left; vertical-align: top; }\n"
    "thead { display: table-header-group; } th { background: #eee; font-weight: bold; font-size: 9pt; }\n"
    "th.a { text-align: center; }\n"
    "tr { break-inside: avoid; } tbody.end { break-inside: avoid; }\n"
    "td.a { text-align: center; vertical-align: middle; font-variant-numeric: tabular-nums; }\n"
    "td.n, td.m { text-align: right; }\n"
    "td.good, span.good { background: #d8f0d8; } td.faulty, span.faulty { background: #ffd9a8; font-weight: bold; }\n"
    "td.missing, span.missing { background: #f4b4b4; font-weight: bold; font-style: italic; }\n"
    "td.complete { background: #d8f0d8; } td.remarks, span.remarks { background: #fff2b0; font-style: italic; }\n"
    "td.incomplete, span.incomplete { background: #f4b4b4; font-weight: bold; }\n"
    "td.code { font-family: 'Liberation Mono', monospace; white-space: nowrap; }\n"
    ".bad { color: #a00000; } ul { margin: 2px 0 2px 18px; padding: 0; }\n"
    ".legend { font-size: 9pt; } .legend span { display: inline-block; padding: 0 5px; margin-right: 4px; border: 1px solid #888; }\n"
    "td.sign { border: none; padding: 14px 0 0; }\n"
    "div.signs { break-inside: avoid; margin-top: 14px; }\n"
    "table.signs { table-layout: fixed; margin: 0; border-collapse: separate; border-spacing: 14px 0; }\n"
    "table.signs td { border: none; padding: 16px 6px 0 0; vertical-align: bottom; }\n"
    "table.signs td.role { width: 30%; padding-right: 12px; }\n"
    "table.signs td.line { border-bottom: 1px solid #111; }\n"
    "table.signs td.w { width: 30%; } table.signs td.s { width: 18%; } table.signs td.d { width: 14%; }\n"
    "table.signs tr.under td { padding-top: 1px; font-size: 8pt; color: #444; text-align: center; }\n"
    "table.totals, table.archives { width: auto; table-layout: auto; } table.totals td, table.archives td { padding: 2px 10px; }\n"
    "table.archives td { white-space: nowrap; }\n"
    "a { color: inherit; }\n"
    "* { -webkit-print-color-adjust: exact; print-color-adjust: exact; }\n";

QLocale locale() { return QLocale(); }

QString minutes(double seconds) { return locale().toString(seconds / 60.0, 'f', 1); }

QString examDate(const Station& s) {
  //: The date format of the report, as QDate::toString takes it
  return s.first.isValid() ? s.first.date().toString(Text::tr("yyyy-MM-dd")) : QString();
}

// The subject of a station as staff name it: the subject file's name, else
// the start of its answer key.
QString subjectName(const Station& s) {
  if (!s.subject.isEmpty()) return s.subject;
  return Text::tr("subject %1").arg(s.key.section(QLatin1Char('_'), 0, -4));
}

// The exam of a collection, "Английский язык, 08.12.2026": every subject and
// date found, each once, in the stations' order.
QString examTitle(const QList<Station>& stations) {
  QStringList subjects, dates;
  for (const Station& s : stations) {
    if (!subjects.contains(subjectName(s))) subjects << subjectName(s);
    if (!examDate(s).isEmpty() && !dates.contains(examDate(s))) dates << examDate(s);
  }
  QStringList parts;
  if (!subjects.isEmpty()) parts << subjects.join(QStringLiteral("; "));
  if (!dates.isEmpty()) parts << dates.join(QStringLiteral(", "));
  return parts.join(QStringLiteral(", "));
}

QString place(const Station& s) {
  auto plain = [](const QString& n) {
    bool number = false;
    const int v = n.toInt(&number);
    return number ? QString::number(v) : n;
  };
  return Text::tr("venue %1 · room %2 · station %3").arg(s.venue, plain(s.room), plain(s.number));
}

// The room of a collection when every station is in one: "ППЭ 0005 ·
// аудитория 12"; empty otherwise.
QString roomOf(const QList<Station>& stations) {
  std::set<std::pair<QString, QString>> rooms;
  for (const Station& s : stations) rooms.insert({s.venue, s.room});
  if (rooms.size() != 1) return {};
  bool number = false;
  const int room = rooms.begin()->second.toInt(&number);
  return Text::tr("venue %1 · room %2").arg(rooms.begin()->first, number ? QString::number(room) : rooms.begin()->second);
}

// The running header of a named page: what it is on the left, the page of
// how many on the right.
QString pageRule(const QString& name, const QString& left) {
  //: The page number in the running header of the printed report
  const QString pages = Text::tr("page %1 of %2");
  QString right = cssString(pages.section(QStringLiteral("%1"), 0, 0)) + QStringLiteral(" counter(page) ") +
                  cssString(pages.section(QStringLiteral("%1"), 1).section(QStringLiteral("%2"), 0, 0)) +
                  QStringLiteral(" counter(pages) ") + cssString(pages.section(QStringLiteral("%2"), 1));
  return QStringLiteral("@page %1 { @top-left { content: %2; } @top-right { content: %3; } }\n")
      .arg(name, cssString(left), right);
}

QString answerCell(const Answer& a) {
  const QString length = a.seconds >= 0 ? station::formatLength(a.seconds) : QString();
  switch (a.state) {
    case Answer::State::Good: return QStringLiteral("<td class=\"a good\">%1</td>").arg(length);
    case Answer::State::Faulty:
      return QStringLiteral("<td class=\"a faulty\">✗ %1</td>").arg(length.isEmpty() ? Text::tr("fault") : length);
    case Answer::State::Missing: break;
  }
  return QStringLiteral("<td class=\"a missing\">%1</td>").arg(Text::tr("none"));
}

QString stateWord(const Participant& p) {
  switch (p.state()) {
    case Participant::State::Complete: return Text::tr("complete");
    case Participant::State::Remarks: return Text::tr("remarks");
    case Participant::State::Incomplete: break;
  }
  return Text::tr("incomplete");
}

QString stateCell(const Participant& p) {
  switch (p.state()) {
    case Participant::State::Complete: return QStringLiteral("<td class=\"st complete\">%1</td>").arg(stateWord(p));
    case Participant::State::Remarks: return QStringLiteral("<td class=\"st remarks\">! %1</td>").arg(stateWord(p));
    case Participant::State::Incomplete: break;
  }
  return QStringLiteral("<td class=\"st incomplete\">✗ %1</td>").arg(stateWord(p));
}

// The answers' column names as staff speak of them, in recording order.
QStringList answerNames() {
  return {Text::tr("code"), Text::tr("task 1"), QStringLiteral("2.1"), QStringLiteral("2.2"), QStringLiteral("2.3"),
          QStringLiteral("2.4"), QStringLiteral("2.5"), Text::tr("task 3")};
}

QString legend() {
  return QStringLiteral("<p class=\"meta legend\">%1<br><span class=\"good\">1:02</span>%2 "
                        "<span class=\"faulty\">✗ 1:02</span>%3 <span class=\"missing\">%4</span>%5 · "
                        "<span class=\"remarks\">! %6</span>%7 <span class=\"incomplete\">✗ %8</span>%9</p>\n")
      .arg(esc(Text::tr("Columns: code, the participant's code spoken (file _00); task 1 (_01); 2.1 … 2.5, the "
                        "five questions of task 2 (_02_1 … _02_5); task 3 (_03); lengths in minutes:seconds; of 8, "
                        "the answers in order; min, the minutes recorded.")),
           esc(Text::tr("good")), esc(Text::tr("faulty")), esc(Text::tr("none")), esc(Text::tr("missing")),
           esc(Text::tr("remarks")), esc(Text::tr("every answer in order, remarks in the journal")),
           esc(Text::tr("incomplete")), esc(Text::tr("an answer missing or faulty")));
}

// Role, name, signature and date for each of the three who sign.
QString signatures() {
  QString h = QStringLiteral("<table class=\"signs\">");
  for (const QString& role : {Text::tr("Technician who collected the answers"), Text::tr("Head of the exam centre"),
                              Text::tr("Member of the exam board")})
    h += QStringLiteral("<tr><td class=\"role\">%1</td><td class=\"line w\"></td><td class=\"line s\"></td>"
                        "<td class=\"line d\"></td></tr><tr class=\"under\"><td></td><td>%2</td><td>%3</td><td>%4</td></tr>")
             .arg(esc(role), esc(Text::tr("name")), esc(Text::tr("signature")), esc(Text::tr("date")));
  return h + QStringLiteral("</table>");
}

QString archiveLine(const Archive& a) {
  if (!a.error.isEmpty()) return QStringLiteral("<p class=\"bad\">✗ %1</p>\n").arg(esc(Text::tr("not sealed: %1").arg(a.error)));
  QString h = QStringLiteral("<p class=\"meta\">%1 <span class=\"digest\">%2</span></p>\n")
                  .arg(esc(Text::tr("Sealed archive %1, %2 bytes, SHA-256").arg(a.name, locale().toString(a.size))),
                       esc(QString::fromLatin1(a.sha256)));
  for (const QString& n : a.notes) h += QStringLiteral("<p class=\"bad\">✗ %1</p>\n").arg(esc(n));
  return h;
}

QString participantRow(const Participant& p, const QString& id) {
  QString h = QStringLiteral("<tr id=\"%1\"><td class=\"code\">%2</td>").arg(id, esc(FormatParticipantCode(p.code)));
  for (const Answer& a : p.answers) h += answerCell(a);
  h += QStringLiteral("<td class=\"n\">%1</td><td class=\"m\">%2</td>").arg(p.complete()).arg(minutes(p.seconds()));
  h += stateCell(p) + QStringLiteral("<td>");
  const QStringList faults = p.faults();
  if (!faults.isEmpty() || !p.journal.isEmpty() || !p.from.isEmpty()) {
    h += QStringLiteral("<ul>");
    for (const QString& f : faults) h += QStringLiteral("<li class=\"bad\">%1</li>").arg(esc(f));
    if (!p.from.isEmpty()) h += QStringLiteral("<li>%1</li>").arg(esc(Text::tr("found only in the copy in %1").arg(p.from)));
    for (const QString& f : p.journal) h += QStringLiteral("<li>%1</li>").arg(esc(Text::tr("journal: %1").arg(f)));
    h += QStringLiteral("</ul>");
  }
  return h + QStringLiteral("</td></tr>\n");
}

QString stationSection(const Station& s, int index, const Archive* archive) {
  QString h = QStringLiteral("<section class=\"station\" id=\"s%1\">\n<h2>%2</h2>\n<p class=\"key\">Answer_%3</p>\n")
                  .arg(index)
                  .arg(esc(subjectName(s) + QStringLiteral(", ") + examDate(s) + QStringLiteral(" · ") + place(s)), esc(s.key));
  QStringList meta;
  meta << esc(s.deliverable.isEmpty() ? Text::tr("program unknown") : s.deliverable);
  if (s.first.isValid())
    meta << esc(Text::tr("journal %1 – %2")
                    .arg(s.first.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), s.last.toString(QStringLiteral("HH:mm:ss"))));
  meta << esc(QDir::toNativeSeparators(s.programDir));
  h += QStringLiteral("<p class=\"meta\">%1</p>\n").arg(meta.join(QStringLiteral(" · ")));
  if (archive) h += archiveLine(*archive);
  if (!s.faults.isEmpty() || !s.journal.isEmpty() || !s.notes.isEmpty()) {
    h += QStringLiteral("<ul>");
    for (const QString& f : s.faults) h += QStringLiteral("<li class=\"bad\">✗ %1</li>").arg(esc(f));
    for (const QString& f : s.notes) h += QStringLiteral("<li>%1</li>").arg(esc(f));
    for (const QString& f : s.journal) h += QStringLiteral("<li>%1</li>").arg(esc(Text::tr("journal: %1").arg(f)));
    h += QStringLiteral("</ul>\n");
  }
  const Counts c = count({s});
  QString counts = Text::tr("%n participant(s)", nullptr, c.participants) + Text::tr(", %n complete", nullptr, c.complete);
  if (c.remarks) counts += Text::tr(", %n with remarks", nullptr, c.remarks);
  if (c.incomplete) counts += Text::tr(", %n incomplete or damaged", nullptr, c.incomplete);
  h += QStringLiteral("<p class=\"meta\">%1</p>\n").arg(esc(counts));
  h += legend();
  h += QStringLiteral("<table>\n<colgroup><col class=\"code\">");
  for (int i = 0; i < 8; ++i) h += QStringLiteral("<col class=\"a\">");
  const QStringList names = answerNames();
  h += QStringLiteral("<col class=\"n\"><col class=\"m\"><col class=\"st\"><col></colgroup>\n<thead><tr>"
                      "<th rowspan=\"2\">%1</th><th class=\"a\" rowspan=\"2\">%2</th><th class=\"a\" rowspan=\"2\">%3</th>"
                      "<th class=\"a\" colspan=\"5\">%4</th><th class=\"a\" rowspan=\"2\">%5</th>")
           .arg(esc(Text::tr("participant")), esc(names[0]), esc(names[1]), esc(Text::tr("task 2")), esc(names[7]));
  h += QStringLiteral("<th rowspan=\"2\">%1</th><th rowspan=\"2\">%2</th><th rowspan=\"2\">%3</th><th rowspan=\"2\">%4</th></tr>\n<tr>")
           .arg(esc(Text::tr("of 8")), esc(Text::tr("min")), esc(Text::tr("state")), esc(Text::tr("faults")));
  for (int i = 2; i < 7; ++i) h += QStringLiteral("<th class=\"a\">%1</th>").arg(names[i]);
  h += QStringLiteral("</tr></thead>\n<tbody>\n");
  const qsizetype tail = std::max<qsizetype>(0, s.participants.size() - kRowsWithSignatures);
  for (qsizetype i = 0; i < s.participants.size(); ++i) {
    if (i == tail) h += QStringLiteral("</tbody>\n<tbody class=\"end\">\n");
    h += participantRow(s.participants[i], QStringLiteral("s%1p%2").arg(index).arg(i));
  }
  if (s.participants.isEmpty())
    h += QStringLiteral("</tbody>\n<tbody class=\"end\">\n<tr><td colspan=\"%1\">%2</td></tr>\n")
             .arg(kColumns)
             .arg(Text::tr("no participant folders"));
  h += QStringLiteral("<tr><td class=\"sign\" colspan=\"%1\">%2</td></tr>\n</tbody>\n</table>\n</section>\n")
           .arg(kColumns)
           .arg(signatures());
  return h;
}

QString documentStart(const QString& title, const QString& pages) {
  //: The language code of the report page
  const QString lang = Text::tr("en");
  return QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\"><head><meta charset=\"utf-8\"><title>%2</title>\n<style>\n%3%4</style></head><body>\n")
      .arg(lang, esc(title), QLatin1String(kStyle), pages);
}

QString checkedLine(const QDateTime& made) {
  return QStringLiteral("<p class=\"meta\">%1</p>\n")
      .arg(esc(Text::tr("Checked %1 by quorvel-check --answers.").arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm")))));
}

QString csvField(QString f, QChar separator) {
  // A cell a spreadsheet would take for a formula is kept as text.
  if (!f.isEmpty() && QStringLiteral("=+-@\t\r").contains(f.front())) f.prepend(QLatin1Char('\''));
  if (f.contains(separator) || f.contains(QLatin1Char('"')) || f.contains(QLatin1Char('\n')) || f.contains(QLatin1Char('\r')))
    f = QLatin1Char('"') + f.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
  return f;
}

}  // namespace

QString reportHtml(const QList<Station>& stations, const QStringList& problems, const QDateTime& made, const Archives& archives) {
  const Counts c = count(stations);
  const QString exam = examTitle(stations);
  const QString room = roomOf(stations);
  QStringList summaryHeader{exam};
  if (!room.isEmpty()) summaryHeader << room;
  //: The running header of the report's summary pages
  summaryHeader << Text::tr("summary");
  QString pages = QStringLiteral("section.summary { page: summary; }\n") +
                  pageRule(QStringLiteral("summary"), summaryHeader.join(QStringLiteral(" · ")));
  for (qsizetype i = 0; i < stations.size(); ++i)
    pages += QStringLiteral("#s%1 { page: s%1; }\n").arg(i) +
             pageRule(QStringLiteral("s%1").arg(i), subjectName(stations[i]) + QStringLiteral(", ") + examDate(stations[i]) +
                                                        QStringLiteral(" · ") + place(stations[i]));
  const QString title = exam.isEmpty() ? Text::tr("Answers collected") : exam + QStringLiteral(": ") + Text::tr("answers collected");
  QString h = documentStart(title, pages);
  h += QStringLiteral("<section class=\"summary\">\n<h1>%1</h1>\n").arg(esc(exam.isEmpty() ? Text::tr("Answers collected") : exam));
  h += QStringLiteral("<p class=\"meta\"><b>%1</b>%2</p>\n")
           .arg(esc(Text::tr("Answers collected")), room.isEmpty() ? QString() : esc(QStringLiteral(" · ") + room));
  h += checkedLine(made);
  h += QStringLiteral("<table class=\"totals\">");
  auto row = [&](const QString& what, int n, const QString& cls = {}) {
    h += QStringLiteral("<tr><td>%1</td><td class=\"n %2\">%3</td></tr>").arg(esc(what), cls).arg(n);
  };
  row(Text::tr("stations"), c.stations);
  row(Text::tr("stations without faults"), c.good);
  row(Text::tr("participants"), c.participants);
  row(Text::tr("complete", "count of participants"), c.complete, QStringLiteral("complete"));
  row(Text::tr("complete, with remarks", "count of participants"), c.remarks, c.remarks ? QStringLiteral("remarks") : QString());
  row(Text::tr("incomplete or damaged", "count of participants"), c.incomplete,
      c.incomplete ? QStringLiteral("incomplete") : QString());
  h += QStringLiteral("</table>\n") + legend();

  if (!archives.empty()) {
    h += QStringLiteral("<h2>%1</h2>\n<table class=\"archives\"><tr><th>%2</th><th>%3</th><th>%4</th><th>%5</th></tr>\n")
             .arg(esc(Text::tr("Sealed archives")), esc(Text::tr("station")), esc(Text::tr("archive")), esc(Text::tr("bytes")),
                  QStringLiteral("SHA-256"));
    for (const Station& s : stations) {
      const auto it = archives.find(s.key);
      if (it == archives.end()) continue;
      const Archive& a = it->second;
      if (!a.error.isEmpty())
        h += QStringLiteral("<tr><td>%1</td><td colspan=\"3\" class=\"bad\">✗ %2</td></tr>\n")
                 .arg(esc(place(s)), esc(Text::tr("not sealed: %1").arg(a.error)));
      else
        h += QStringLiteral("<tr><td>%1</td><td>%2</td><td class=\"n\">%3</td><td class=\"digest\">%4</td></tr>\n")
                 .arg(esc(place(s)), esc(a.name), esc(locale().toString(a.size)), esc(QString::fromLatin1(a.sha256)));
    }
    h += QStringLiteral("</table>\n");
  }

  QStringList attention;
  for (const QString& p : problems) attention << QStringLiteral("<li class=\"bad\">✗ %1</li>").arg(esc(p));
  for (qsizetype i = 0; i < stations.size(); ++i) {
    const Station& s = stations[i];
    if (!s.faults.isEmpty() || !s.notes.isEmpty())
      attention << QStringLiteral("<li><a href=\"#s%1\">%2</a>: %3</li>")
                       .arg(i)
                       .arg(esc(place(s)), esc((s.faults + s.notes).join(QStringLiteral("; "))));
    for (qsizetype k = 0; k < s.participants.size(); ++k) {
      const Participant& p = s.participants[k];
      if (p.state() == Participant::State::Complete) continue;
      const QString what = p.ok() ? Text::tr("remarks in the journal") : p.faults().join(QStringLiteral("; "));
      attention << QStringLiteral("<li><a href=\"#s%1p%2\">%3, %4</a>: %5</li>")
                       .arg(i)
                       .arg(k)
                       .arg(esc(place(s)), esc(FormatParticipantCode(p.code)), esc(what));
    }
  }
  h += QStringLiteral("<h2>%1</h2>\n").arg(esc(Text::tr("Needs attention")));
  if (attention.isEmpty()) h += QStringLiteral("<p>%1</p>\n").arg(esc(Text::tr("nothing: every answer is in order")));
  else h += QStringLiteral("<ul>\n") + attention.join(QLatin1Char('\n')) + QStringLiteral("\n</ul>\n");
  h += QStringLiteral("<div class=\"signs\">%1</div>\n</section>\n").arg(signatures());
  for (qsizetype i = 0; i < stations.size(); ++i) {
    const auto it = archives.find(stations[i].key);
    h += stationSection(stations[i], int(i), it == archives.end() ? nullptr : &it->second);
  }
  return h + QStringLiteral("</body></html>\n");
}

QString stationReportHtml(const Station& s, const QDateTime& made) {
  const QString header = subjectName(s) + QStringLiteral(", ") + examDate(s) + QStringLiteral(" · ") + place(s);
  QString h = documentStart(header, QStringLiteral("#s0 { page: s0; }\n") + pageRule(QStringLiteral("s0"), header));
  return h + checkedLine(made) + stationSection(s, 0, nullptr) + QStringLiteral("</body></html>\n");
}

QByteArray reportCsv(const QList<Station>& stations) {
  // The separator a spreadsheet of the same language expects: a semicolon
  // where the decimal mark is a comma.
  const QChar separator = locale().decimalPoint() == QStringLiteral(",") ? QLatin1Char(';') : QLatin1Char(',');
  auto line = [&](const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields) out << csvField(f, separator);
    return out.join(separator) + QStringLiteral("\r\n");
  };
  QString csv = line({Text::tr("centre"), Text::tr("room"), Text::tr("station"), Text::tr("answer folder"),
                      Text::tr("participant"), Text::tr("answer"), Text::tr("file"), Text::tr("state"),
                      Text::tr("seconds"), QStringLiteral("SHA-256"), Text::tr("faults"), Text::tr("participant's state")});
  const QStringList names = answerNames();
  for (const Station& s : stations)
    for (const Participant& p : s.participants)
      for (qsizetype k = 0; k < p.answers.size(); ++k) {
        const Answer& a = p.answers[k];
        const QString state = a.state == Answer::State::Good     ? Text::tr("good")
                              : a.state == Answer::State::Faulty ? Text::tr("faulty")
                                                                 : Text::tr("missing");
        csv += line({s.venue, s.room, s.number, QStringLiteral("Answer_") + s.key, p.code, names.value(k, a.suffix),
                     p.code + a.suffix + QStringLiteral(".ogg"), state,
                     a.seconds >= 0 ? locale().toString(a.seconds, 'f', 2) : QString(), QString::fromLatin1(a.sha256),
                     a.faults.join(QStringLiteral("; ")), stateWord(p)});
      }
  return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

QString csvBeside(const QString& report) {
  const QFileInfo info(report);
  const QString base = info.suffix().compare(QLatin1String("html"), Qt::CaseInsensitive) == 0 ||
                               info.suffix().compare(QLatin1String("htm"), Qt::CaseInsensitive) == 0
                           ? info.completeBaseName()
                           : info.fileName();
  return QDir(info.path()).filePath(base + QStringLiteral(".csv"));
}

}  // namespace check::answers
