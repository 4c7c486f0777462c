// The printable report of the answers check: totals and what needs
// attention at the top, then each station on a page of its own, its table
// header repeated on every page and its signature lines kept with the end
// of the table. Every state is told by a word or a mark as well as a colour.
#include <QCoreApplication>
#include <QDir>

#include "check/answers.h"
#include "check/heading.h"
#include "toolkit/participant.h"
#include "toolkit/recordcheck.h"

namespace check::answers {

namespace {

struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};

// Rows kept on one page with the signature lines.
constexpr int kRowsWithSignatures = 3;

QString esc(const QString& s) { return s.toHtmlEscaped(); }

const char kStyle[] =
    "@page { size: A4 landscape; margin: 12mm; }\n"
    "body { font: 10pt 'Liberation Sans', Arial, sans-serif; color: #111; margin: 16px; }\n"
    "h1 { font-size: 15pt; margin: 0 0 4px; } h2 { font-size: 13pt; margin: 0 0 2px; }\n"
    "p.meta { margin: 0 0 6px; color: #444; } p.key { margin: 0 0 6px; font-family: 'Liberation Mono', monospace; }\n"
    "section { border-top: 2px solid #555; padding-top: 6px; margin-top: 14px; break-before: page; }\n"
    "table { border-collapse: collapse; width: 100%; margin: 4px 0; table-layout: fixed; }\n"
    "col.code { width: 15%; } col.a { width: 5.2%; } col.n { width: 4%; } col.m { width: 4.5%; } col.st { width: 9%; }\n"
    "th, td { border: 1px solid #888; padding: 2px 5px; text-align: left; vertical-align: top; }\n"
    "thead { display: table-header-group; } th { background: #eee; font-weight: bold; }\n"
    "tr { break-inside: avoid; } tbody.end { break-inside: avoid; }\n"
    "td.a { text-align: center; vertical-align: middle; font-variant-numeric: tabular-nums; }\n"
    "td.n, td.m { text-align: right; }\n"
    "td.good, span.good { background: #d8f0d8; } td.faulty, span.faulty { background: #ffd9a8; font-weight: bold; }\n"
    "td.missing, span.missing { background: #f4b4b4; font-weight: bold; font-style: italic; }\n"
    "td.complete { background: #d8f0d8; } td.remarks { background: #fff2b0; font-style: italic; }\n"
    "td.incomplete { background: #f4b4b4; font-weight: bold; }\n"
    "td.code { font-family: 'Liberation Mono', monospace; white-space: nowrap; }\n"
    ".bad { color: #a00000; } ul { margin: 2px 0 2px 18px; padding: 0; }\n"
    ".legend span { display: inline-block; padding: 1px 6px; margin-right: 6px; border: 1px solid #888; }\n"
    "td.sign { border: none; padding-top: 28px; }\n"
    ".signs { display: flex; gap: 40px; } .signs div { flex: 1; border-top: 1px solid #111; padding-top: 2px; color: #444; }\n"
    "table.totals { width: auto; } table.totals td { padding: 2px 10px; }\n"
    "a { color: inherit; }\n"
    "* { -webkit-print-color-adjust: exact; print-color-adjust: exact; }\n";

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

QString stateCell(const Participant& p) {
  switch (p.state()) {
    case Participant::State::Complete: return QStringLiteral("<td class=\"st complete\">%1</td>").arg(Text::tr("complete"));
    case Participant::State::Remarks:
      return QStringLiteral("<td class=\"st remarks\">! %1</td>").arg(Text::tr("remarks"));
    case Participant::State::Incomplete: break;
  }
  return QStringLiteral("<td class=\"st incomplete\">✗ %1</td>").arg(Text::tr("incomplete"));
}

QString participantRow(const Participant& p, const QString& id) {
  QString h = QStringLiteral("<tr id=\"%1\"><td class=\"code\">%2</td>").arg(id, esc(FormatParticipantCode(p.code)));
  for (const Answer& a : p.answers) h += answerCell(a);
  h += QStringLiteral("<td class=\"n\">%1</td><td class=\"m\">%2</td>").arg(p.complete()).arg(p.seconds() / 60.0, 0, 'f', 1);
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

QString stationSection(const Station& s, int index) {
  QString h = QStringLiteral("<section id=\"s%1\">\n<h2>%2</h2>\n<p class=\"key\">Answer_%3</p>\n")
                  .arg(index)
                  .arg(esc(stationHeading(s)), esc(s.key));
  QStringList meta;
  meta << esc(s.deliverable.isEmpty() ? Text::tr("program unknown") : s.deliverable);
  if (s.first.isValid())
    meta << esc(Text::tr("journal %1 – %2")
                    .arg(s.first.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), s.last.toString(QStringLiteral("HH:mm:ss"))));
  meta << esc(QDir::toNativeSeparators(s.programDir));
  h += QStringLiteral("<p class=\"meta\">%1</p>\n").arg(meta.join(QStringLiteral(" · ")));
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
  h += QStringLiteral("<table>\n<colgroup><col class=\"code\">");
  for (int i = 0; i < 8; ++i) h += QStringLiteral("<col class=\"a\">");
  h += QStringLiteral("<col class=\"n\"><col class=\"m\"><col class=\"st\"><col></colgroup>\n<thead><tr><th>%1</th>")
           .arg(Text::tr("participant"));
  for (const char* c : {"_00", "_01", "_02_1", "_02_2", "_02_3", "_02_4", "_02_5", "_03"})
    h += QStringLiteral("<th>%1</th>").arg(QLatin1String(c));
  h += QStringLiteral("<th>%1</th><th>%2</th><th>%3</th><th>%4</th></tr></thead>\n<tbody>\n")
           .arg(Text::tr("of 8"), Text::tr("min"), Text::tr("state"), Text::tr("faults"));
  const qsizetype tail = std::max<qsizetype>(0, s.participants.size() - kRowsWithSignatures);
  for (qsizetype i = 0; i < s.participants.size(); ++i) {
    if (i == tail) h += QStringLiteral("</tbody>\n<tbody class=\"end\">\n");
    h += participantRow(s.participants[i], QStringLiteral("s%1p%2").arg(index).arg(i));
  }
  if (s.participants.isEmpty()) h += QStringLiteral("</tbody>\n<tbody class=\"end\">\n<tr><td colspan=\"13\">%1</td></tr>\n").arg(Text::tr("no participant folders"));
  h += QStringLiteral("<tr><td class=\"sign\" colspan=\"13\"><div class=\"signs\"><div>%1</div><div>%2</div><div>%3</div></div></td></tr>\n"
                      "</tbody>\n</table>\n</section>\n")
           .arg(Text::tr("collected by (name)"), Text::tr("signature"), Text::tr("date"));
  return h;
}

}  // namespace

QString reportHtml(const QList<Station>& stations, const QStringList& problems, const QDateTime& made) {
  const Counts c = count(stations);
  //: The language code of the report page
  const QString lang = Text::tr("en");
  QString h = QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\"><head><meta charset=\"utf-8\"><title>%2</title>\n<style>\n%3</style></head><body>\n")
                  .arg(lang, esc(Text::tr("Answers collected")), QLatin1String(kStyle));
  h += QStringLiteral("<h1>%1</h1>\n").arg(esc(Text::tr("Answers collected")));
  h += QStringLiteral("<p class=\"meta\">%1</p>\n")
           .arg(esc(Text::tr("Checked %1 by quorvel-check --answers.").arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm")))));
  h += QStringLiteral("<table class=\"totals\">");
  auto row = [&](const QString& what, int n, const QString& cls = {}) {
    h += QStringLiteral("<tr><td>%1</td><td class=\"n %2\">%3</td></tr>").arg(esc(what), cls).arg(n);
  };
  row(Text::tr("stations"), c.stations);
  row(Text::tr("stations without faults"), c.good);
  row(Text::tr("participants"), c.participants);
  row(Text::tr("complete"), c.complete, QStringLiteral("complete"));
  row(Text::tr("complete, with remarks"), c.remarks, c.remarks ? QStringLiteral("remarks") : QString());
  row(Text::tr("incomplete or damaged"), c.incomplete, c.incomplete ? QStringLiteral("incomplete") : QString());
  h += QStringLiteral("</table>\n<p class=\"meta legend\"><span class=\"good\">1:02</span>%1 "
                      "<span class=\"faulty\">✗ 1:02</span>%2 <span class=\"missing\">%3</span>%4</p>\n")
           .arg(esc(Text::tr("good")), esc(Text::tr("faulty")), esc(Text::tr("none")), esc(Text::tr("missing")));

  QStringList attention;
  for (const QString& p : problems) attention << QStringLiteral("<li class=\"bad\">✗ %1</li>").arg(esc(p));
  for (qsizetype i = 0; i < stations.size(); ++i) {
    const Station& s = stations[i];
    if (!s.faults.isEmpty() || !s.notes.isEmpty())
      attention << QStringLiteral("<li><a href=\"#s%1\">%2</a>: %3</li>")
                       .arg(i)
                       .arg(esc(stationHeading(s)), esc((s.faults + s.notes).join(QStringLiteral("; "))));
    for (qsizetype k = 0; k < s.participants.size(); ++k) {
      const Participant& p = s.participants[k];
      if (p.state() == Participant::State::Complete) continue;
      const QString what = p.ok() ? Text::tr("remarks in the journal") : p.faults().join(QStringLiteral("; "));
      attention << QStringLiteral("<li><a href=\"#s%1p%2\">%3, %4</a>: %5</li>")
                       .arg(i)
                       .arg(k)
                       .arg(esc(stationHeading(s)), esc(FormatParticipantCode(p.code)), esc(what));
    }
  }
  h += QStringLiteral("<h2>%1</h2>\n").arg(esc(Text::tr("Needs attention")));
  if (attention.isEmpty()) h += QStringLiteral("<p>%1</p>\n").arg(esc(Text::tr("nothing: every answer is in order")));
  else h += QStringLiteral("<ul>\n") + attention.join(QLatin1Char('\n')) + QStringLiteral("\n</ul>\n");
  for (qsizetype i = 0; i < stations.size(); ++i) h += stationSection(stations[i], int(i));
  return h + QStringLiteral("</body></html>\n");
}

}  // namespace check::answers
