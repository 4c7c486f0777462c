#include "check/materials.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <exception>

#include "toolkit/errors.h"
#include "toolkit/names.h"
#include "textview/richview.h"
#include "textview/rtfreader.h"

namespace check {

namespace {
struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};
}  // namespace

namespace names = station::names;
using names::Layout;

namespace {

// About the width of the text in a station's full-window text view; the
// text is laid out at it so that the time covers what a participant waits for.
constexpr int kStationTextWidth = 1000;

// The texts of one layout in the order the stages open them: preparation 1,
// task 1, preparation 2, the five questions, preparation 3, task 3.
QStringList stageTexts(Layout layout, const QString& variant) {
  QStringList out{names::preparationFile(layout, variant, 1), names::taskFile(layout, variant, 1),
                  names::preparationFile(layout, variant, 2)};
  for (int n = 1; n <= 5; ++n) out << names::questionFile(layout, variant, n);
  out << names::preparationFile(layout, variant, 3) << names::taskFile(layout, variant, 3);
  return out;
}

// The entry of name's folder whose name differs from name's only in letter
// case, if there is one (materials copied from Windows often differ so).
QString otherCase(const QString& name) {
  const QFileInfo info(name);
  const QStringList entries =
      info.dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& e : entries)
    if (e.compare(info.fileName(), Qt::CaseInsensitive) == 0 && e != info.fileName()) return e;
  return {};
}

bool existsInAnyCase(const QString& name) { return QFileInfo::exists(name) || !otherCase(name).isEmpty(); }

// Missing, or present but not something the station can read at all. A
// folder or a pipe in a file's place would make a reader fail or wait
// forever, so nothing but a regular file is opened.
bool absent(const QString& name, Result& r) {
  const QFileInfo info(name);
  if (!info.exists()) {
    r.verdict = Result::Verdict::Missing;
    const QString other = otherCase(name);
    if (!other.isEmpty()) r.reason = Text::tr("there is \"%1\"; the letter case must match").arg(other);
    return true;
  }
  if (!info.isFile()) {
    r.verdict = Result::Verdict::Failed;
    r.reason = Text::tr("not a regular file");
    return true;
  }
  return false;
}

double msSince(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

int countTables(const QTextFrame* frame) {
  int n = 0;
  for (const QTextFrame* child : frame->childFrames())
    n += (qobject_cast<const QTextTable*>(child) ? 1 : 0) + countTables(child);
  return n;
}

QString blankReason(int why) {
  switch (textview::BlankPicture(why)) {
    case textview::BlankPicture::Damaged: return Text::tr("damaged");
    case textview::BlankPicture::Metafile: return Text::tr("WMF/EMF metafile");
    case textview::BlankPicture::Unsupported: break;
  }
  return Text::tr("not PNG or JPEG");
}

bool startsAsRtf(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) && textview::isRtf(f.read(8));
}

// Text from the files (a subject line, a listed file name) may hold control
// characters; none of them reaches the terminal.
QString printable(QString s) {
  for (QChar& c : s)
    if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0)) c = QChar::ReplacementCharacter;
  return s;
}

QString shortened(const QString& s, int max) { return s.size() <= max ? s : s.left(max - 1) + QChar(0x2026); }

}  // namespace

Plan planChecks() {
  Plan p;
  p.items << Item{Item::Kind::Subject, names::subjectFile()} << Item{Item::Kind::Text, names::testTextFile()}
          << Item{Item::Kind::Text, names::instructionFile()};
  for (char d = '0'; d <= '9'; ++d) {
    const QString variant(QLatin1Char{d});
    const QStringList texts = stageTexts(Layout::Variants, variant);
    if (!QFileInfo(QFileInfo(texts.first()).path()).isDir()) continue;
    p.variants << variant;
    for (const QString& t : texts) p.items << Item{Item::Kind::Text, t};
  }
  const QStringList flat = stageTexts(Layout::Flat, {});
  p.flat = std::any_of(flat.begin(), flat.end(), existsInAnyCase);
  if (p.flat)
    for (const QString& t : flat) p.items << Item{Item::Kind::Text, t};
  if (p.variants.isEmpty() && !p.flat)
    p.items << Item{Item::Kind::NoTaskTexts, QFileInfo(names::subjectFile()).path() + Text::tr(" (task texts)")};
  return p;
}

Result checkSubject(const QString& name) {
  Result r;
  if (absent(name, r)) return r;
  QElapsedTimer timer;
  timer.start();
  names::Subject s;
  try {
    s = names::readSubjectFile(name);
  } catch (const station::StationError& e) {
    r.ms = msSince(timer);
    r.verdict = Result::Verdict::Failed;
    // The station's own words, up to its advice on what to do next.
    r.reason = e.message().section(QLatin1Char('\n'), 0, 0);
    return r;
  }
  r.ms = msSince(timer);
  r.measured = true;
  r.chars = s.line1.size() + s.line2.size() + s.line3.size();
  r.details = Text::tr("subject \"%1\", answer folders Answer_%2_%3_…")
                  .arg(shortened(s.line1, 60), shortened(s.line3, 60), shortened(s.line2, 60));
  // Refused as the equipment check refuses them when it ends: line 3, line 2.
  const struct {
    int n;
    const QString& line;
  } lines[] = {{3, s.line3}, {2, s.line2}};
  QStringList refused, empty;
  for (const auto& l : lines) {
    const QString why = names::unsafeNamePart(l.line);
    if (!why.isEmpty()) refused << Text::tr("line %1: %2").arg(l.n).arg(why);
    if (l.line.isEmpty()) empty << QString::number(l.n);
  }
  if (!refused.isEmpty()) {
    r.verdict = Result::Verdict::Failed;
    r.reason = refused.join(QStringLiteral("; "));
  } else if (!empty.isEmpty()) {
    r.note = (empty.size() == 1 ? Text::tr("line %1 empty") : Text::tr("lines %1 empty"))
                 .arg(empty.join(Text::tr(" and ")));
  }
  return r;
}

Result checkText(textview::RichView& view, const QString& name) {
  Result r;
  if (absent(name, r)) return r;
  QElapsedTimer timer;
  timer.start();
  try {
    view.loadFromFile(name);
    view.document()->setTextWidth(kStationTextWidth);
    view.document()->size();  // lays the whole text out
  } catch (const std::exception& e) {
    r.ms = msSince(timer);
    r.verdict = Result::Verdict::Failed;
    r.reason = QString::fromUtf8(e.what());
    return r;
  }
  r.ms = msSince(timer);

  const QTextDocument* doc = view.document();
  r.measured = true;
  for (const QChar c : doc->toPlainText())
    if (c != QChar::ObjectReplacementCharacter) ++r.chars;
  r.tables = countTables(doc->rootFrame());
  // The pictures shown as blank boxes: number and reason.
  QList<std::pair<int, QString>> blank;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      if (!f.isImageFormat()) continue;
      // One fragment may hold several pictures of the same format.
      for (int i = 0; i < it.fragment().length(); ++i) {
        ++r.pictures;
        if (f.hasProperty(textview::kBlankPicture))
          blank.append({r.pictures, blankReason(f.intProperty(textview::kBlankPicture))});
      }
    }
  }
  if (blank.size() == 1) {
    r.verdict = Result::Verdict::Failed;
    r.reason = Text::tr("picture %1 of %2 shows as a blank box (%3)")
                   .arg(blank.first().first)
                   .arg(r.pictures)
                   .arg(blank.first().second);
  } else if (blank.size() > 1) {
    QStringList which;
    for (const auto& [n, why] : blank) which << QStringLiteral("%1: %2").arg(n).arg(why);
    r.verdict = Result::Verdict::Failed;
    r.reason = Text::tr("%1 of %n pictures show as blank boxes (%2)", nullptr, r.pictures)
                   .arg(blank.size())
                   .arg(which.join(QStringLiteral(", ")));
  }
  if (!startsAsRtf(name)) r.note = Text::tr("plain text");
  if (r.chars == 0 && r.pictures == 0) r.note = Text::tr("nothing to show");
  return r;
}

QString formatLine(const Item& item, const Result& r, int width) {
  QString line = item.name.leftJustified(width) + QStringLiteral("  ");
  switch (r.verdict) {
    case Result::Verdict::Ok: line += Text::tr("ok"); break;
    case Result::Verdict::Missing: line += Text::tr("missing"); break;
    case Result::Verdict::Failed: line += Text::tr("failed"); break;
  }
  if (!r.reason.isEmpty()) line += QStringLiteral(": ") + r.reason;
  if (!r.note.isEmpty()) line += QStringLiteral(" (%1)").arg(r.note);
  if (r.measured) {
    line += QStringLiteral("  chars=%1").arg(r.chars);
    if (item.kind == Item::Kind::Text) line += QStringLiteral(" pictures=%1 tables=%2").arg(r.pictures).arg(r.tables);
    if (!r.details.isEmpty()) line += QStringLiteral(" ") + r.details;
  }
  if (r.ms >= 0) line += QStringLiteral("  %1 ms").arg(QLocale().toString(r.ms, 'f', 1));
  return printable(line);
}

}  // namespace check
