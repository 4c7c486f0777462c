// The participant's and station's verdicts, and the console lines.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <tuple>

#include "check/answers.h"
#include "check/heading.h"
#include "toolkit/errors.h"
#include "toolkit/names.h"

namespace check::answers {

namespace {
struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};
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
  QStringList out = problems;
  for (const Answer& a : answers) out += a.faults;
  for (const QString& s : strays) out += Text::tr("not an answer: %1").arg(s);
  return out;
}

Participant::State Participant::state() const {
  if (!problems.isEmpty() || !strays.isEmpty() || complete() != answers.size()) return State::Incomplete;
  return journal.isEmpty() ? State::Complete : State::Remarks;
}

bool Participant::ok() const { return state() != State::Incomplete; }

bool Station::ok() const {
  return faults.isEmpty() && std::all_of(participants.begin(), participants.end(), [](const Participant& p) { return p.ok(); });
}

QString stationHeading(const Station& s) {
  auto plain = [](const QString& n) {
    bool number = false;
    const int v = n.toInt(&number);
    return number ? QString::number(v) : n;
  };
  return Text::tr("station %1, room %2, venue %3").arg(plain(s.number), plain(s.room), s.venue);
}

bool before(const Station& a, const Station& b) {
  // A number before what is not one; numbers by value, the rest as text.
  auto rank = [](const QString& n) {
    bool number = false;
    const qlonglong v = n.toLongLong(&number);
    return std::make_tuple(!number, number ? v : 0, number ? QString() : n);
  };
  return std::make_tuple(rank(a.venue), rank(a.room), rank(a.number), a.key) <
         std::make_tuple(rank(b.venue), rank(b.room), rank(b.number), b.key);
}

QString subjectBeside(const Station& s) {
  const QString prefix = s.key.section(QLatin1Char('_'), 0, -4);
  for (const QString& where : {QStringLiteral("KIM/subj"), QStringLiteral("../KIM/subj")}) {
    const QString file = QDir(s.programDir).filePath(where);
    if (!QFileInfo(file).isFile()) continue;
    try {
      const station::names::Subject subject = station::names::readSubjectFile(file);
      if (subject.line3 + QLatin1Char('_') + subject.line2 == prefix && !subject.line1.trimmed().isEmpty())
        return subject.line1.trimmed().left(200);
    } catch (const std::exception&) {
      // A subject file that cannot be read names no subject; the key does.
    }
  }
  return {};
}

Counts count(const QList<Station>& stations) {
  Counts c;
  c.stations = int(stations.size());
  for (const Station& s : stations) {
    c.good += s.ok();
    for (const Participant& p : s.participants) {
      ++c.participants;
      switch (p.state()) {
        case Participant::State::Complete: ++c.complete; break;
        case Participant::State::Remarks: ++c.remarks; break;
        case Participant::State::Incomplete: ++c.incomplete; break;
      }
    }
  }
  return c;
}

QStringList stationLines(const Station& s) {
  QStringList out;
  QStringList about{stationHeading(s)};
  about << (s.deliverable.isEmpty() ? Text::tr("program unknown") : s.deliverable);
  if (s.first.isValid())
    about << QStringLiteral("%1 – %2").arg(s.first.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                           s.last.toString(QStringLiteral("HH:mm")));
  out << Text::tr("Answer_%1 in %2").arg(s.key, QDir::toNativeSeparators(s.programDir)) + QStringLiteral(": ") +
             about.join(QStringLiteral(", "));
  for (const Participant& p : s.participants) {
    const QStringList faults = p.faults();
    const QString verdict = !faults.isEmpty()          ? faults.join(QStringLiteral("; "))
                            : p.journal.isEmpty()      ? Text::tr("ok")
                                                       : Text::tr("ok, with remarks in the journal");
    out << Text::tr("  %1  %2/%3  %4 min  %5")
               .arg(p.code)
               .arg(p.complete())
               .arg(p.answers.size())
               .arg(QLocale().toString(p.seconds() / 60.0, 'f', 1))
               .arg(verdict);
    if (!p.from.isEmpty()) out << Text::tr("      found only in the copy in %1").arg(p.from);
    for (const QString& j : p.journal) out << Text::tr("      journal: %1").arg(j);
  }
  for (const QString& j : s.journal) out << Text::tr("  journal: %1").arg(j);
  for (const QString& n : s.notes) out << QStringLiteral("  ") + n;
  const Counts c = count({s});
  QString line = Text::tr("station Answer_%1: %n participant(s)", nullptr, c.participants).arg(s.key) +
                 Text::tr(", %n complete", nullptr, c.complete);
  if (c.remarks) line += Text::tr(", %n with remarks", nullptr, c.remarks);
  if (c.incomplete) line += Text::tr(", %n incomplete or damaged", nullptr, c.incomplete);
  if (!s.faults.isEmpty()) line += QStringLiteral("; ") + s.faults.join(QStringLiteral("; "));
  out << line;
  return out;
}

QString summaryLine(const QList<Station>& stations, const QStringList& problems) {
  const Counts c = count(stations);
  QString line = Text::tr("%n station(s)", nullptr, c.stations) + Text::tr(" (%n without faults)", nullptr, c.good) +
                 Text::tr(", %n participant(s)", nullptr, c.participants) + Text::tr(": %n complete", nullptr, c.complete);
  if (c.remarks) line += Text::tr(", %n with remarks", nullptr, c.remarks);
  if (c.incomplete) line += Text::tr(", %n incomplete or damaged", nullptr, c.incomplete);
  if (!problems.isEmpty()) line += Text::tr("; %n folder(s) not checked", nullptr, int(problems.size()));
  return line;
}

}  // namespace check::answers
