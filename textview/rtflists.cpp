#include "textview/rtflists.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>

namespace textview::rtf {

namespace {

constexpr int kMaxListItems = 200;

bool isLatinLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool isRoman(const QString& s) {
  for (const QChar c : s)
    if (!QStringLiteral("ivxlcdmIVXLCDM").contains(c)) return false;
  return !s.isEmpty();
}

QTextListFormat::Style bulletStyle(char16_t c) {
  switch (c) {
    case 0x2022: case 0x00B7: case 0x25CF: case 0x2219: case 0xF0B7: return QTextListFormat::ListDisc;
    case 0x25E6: case 0x25CB: case u'o': case 0xF06F: return QTextListFormat::ListCircle;
    case 0x25AA: case 0x25A0: case 0xF0A7: case 0xF0A8: return QTextListFormat::ListSquare;
    default: return QTextListFormat::ListStyleUndefined;
  }
}

// The number Qt's list numbering shows for item `n` in `style`: letters
// go on a, .., z, aa, ab, ..
QString qtNumber(int n, QTextListFormat::Style style) {
  switch (style) {
    case QTextListFormat::ListLowerAlpha: case QTextListFormat::ListUpperAlpha: {
      QString out;
      for (int c = n; c > 0 && out.size() < 8; c /= 26) {
        --c;
        out.prepend(QChar(u'a' + c % 26));
      }
      return style == QTextListFormat::ListUpperAlpha ? out.toUpper() : out;
    }
    case QTextListFormat::ListLowerRoman: return formatNumber(n, kNumLowerRoman);
    case QTextListFormat::ListUpperRoman: return formatNumber(n, kNumUpperRoman);
    default: return QString::number(n);
  }
}

}  // namespace

bool listShape(const QString& label, int nfc, ListShape& out) {
  out = ListShape{};
  if (label.size() == 1) {
    out.style = bulletStyle(label.at(0).unicode());
    if (out.style != QTextListFormat::ListStyleUndefined) {
      out.first = label;
      return true;
    }
  }
  // The number: the first run of digits, else of Latin letters.
  qsizetype i = 0;
  while (i < label.size() && !label.at(i).isDigit() && !isLatinLetter(label.at(i))) ++i;
  if (i == label.size()) return false;
  qsizetype j = i;
  const bool digits = label.at(i).isDigit();
  while (j < label.size() && (digits ? label.at(j).isDigit() : isLatinLetter(label.at(j)))) ++j;
  out.prefix = label.left(i);
  out.suffix = label.mid(j);
  for (const QChar c : out.prefix + out.suffix)
    if (c.isLetterOrNumber()) return false;  // "1.2.", "Задание 1": not one number alone
  const QString number = label.mid(i, j - i);
  QString first;
  if (digits) {
    out.style = QTextListFormat::ListDecimal;
    first = QStringLiteral("1");
  } else {
    const bool upper = number.at(0).isUpper();
    if (number != (upper ? number.toUpper() : number.toLower())) return false;
    // "i." is a roman one unless the list says letters; "c." a letter unless
    // the list says roman numbers.
    const bool roman = nfc == kNumUpperRoman || nfc == kNumLowerRoman ||
                       (nfc != kNumUpperLetter && nfc != kNumLowerLetter && isRoman(number) &&
                        (number.size() > 1 || QStringLiteral("ivxIVX").contains(number.at(0))));
    if (roman && !isRoman(number)) return false;
    out.style = roman ? (upper ? QTextListFormat::ListUpperRoman : QTextListFormat::ListLowerRoman)
                      : (upper ? QTextListFormat::ListUpperAlpha : QTextListFormat::ListLowerAlpha);
    first = roman ? QStringLiteral("i") : QStringLiteral("a");
    if (upper) first = first.toUpper();
  }
  out.first = out.prefix + first + out.suffix;
  return true;
}

void ListOutput::place(QTextCursor& c, QTextBlockFormat& f, const ListItem& item, const QString& written,
                       const QTextCharFormat& labelFormat) {
  const QString label = (written.trimmed().isEmpty() ? item.label : written).trimmed();
  // Deeper levels of the same list start again after this item.
  Levels& levels = open_.back()[item.list];
  const auto level = std::size_t(std::clamp(item.level, 0, kListLevels - 1));
  for (std::size_t i = level + 1; i < levels.size(); ++i) levels[i] = Open{};
  if (label.isEmpty()) return;
  if (placeInList(c, f, levels[level], level, item.nfc, label)) {
    c.setBlockCharFormat(labelFormat);
    return;
  }
  placeAsText(c, f, written.trimmed().isEmpty() ? item.label + u'\t' : written, labelFormat);
}

// Adds the block to the open list of its level when Qt's numbering of that
// list shows the label there, or starts a new list when its first item
// shows it.
bool ListOutput::placeInList(QTextCursor& c, QTextBlockFormat& f, Open& open, std::size_t level, int nfc,
                             const QString& label) {
  ListShape shape;
  if (!listShape(label, nfc, shape)) return false;
  const bool bullet = shape.style == QTextListFormat::ListDisc || shape.style == QTextListFormat::ListCircle ||
                      shape.style == QTextListFormat::ListSquare;
  // Qt renumbers a whole list for each item added to it: a list longer
  // than any exam text goes on with its labels as text.
  if (open.count >= kMaxListItems) return false;
  const bool continues = open.qlist && open.shape.style == shape.style && open.shape.prefix == shape.prefix &&
                         open.shape.suffix == shape.suffix &&
                         (bullet || label == shape.prefix + qtNumber(open.count + 1, shape.style) + shape.suffix);
  if (!continues && !bullet && label != shape.first) return false;

  // The marker stands left of the text, where a hanging first line began.
  const double indent = double(level + 1) * c.document()->indentWidth();
  f.setLeftMargin(std::max(0.0, f.leftMargin() - indent));
  if (f.textIndent() < 0) f.setTextIndent(0);
  if (continues) {
    f.setObjectIndex(open.qlist->objectIndex());
    ++open.count;
    return true;
  }
  c.setBlockFormat(f);
  QTextListFormat lf;
  lf.setStyle(shape.style);
  lf.setIndent(int(level) + 1);
  lf.setNumberPrefix(shape.prefix);
  lf.setNumberSuffix(shape.suffix);
  open = Open{c.createList(lf), shape, 1};
  f.setObjectIndex(open.qlist->objectIndex());
  return true;
}

void ListOutput::placeAsText(QTextCursor& c, QTextBlockFormat& f, const QString& text, QTextCharFormat format) {
  // The first symbol of the label decides its font.
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text.at(i);
    if (ch.unicode() < 0x2000) continue;
    const char32_t u = ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                           ? QChar::surrogateToUcs4(ch, text.at(i + 1))
                           : ch.unicode();
    const QString family = glyphFamily(format, u);
    if (!family.isEmpty()) format.setFontFamilies(QStringList{family});
    break;
  }
  // A hanging indent is a tab stop for the label's tab, as in word
  // processors, unless a tab stop comes before it.
  if (const double hang = -f.textIndent(); hang > 0) {
    QList<QTextOption::Tab> tabs = f.tabPositions();
    if (std::none_of(tabs.cbegin(), tabs.cend(), [&](const QTextOption::Tab& t) { return t.position <= hang; })) {
      tabs.prepend(QTextOption::Tab(hang, QTextOption::LeftTab));
      f.setTabPositions(tabs);
    }
  }
  QTextCursor at(c.block());
  at.insertText(text, format);
  budget_.addChars(text.size());
}

// A font family that has `ch` when the label's own font lacks it; empty
// when the font has it or no font at hand does.
QString ListOutput::glyphFamily(const QTextCharFormat& format, char32_t ch) {
  const QString key = format.fontFamilies().toStringList().value(0) + u'\n' + QString::number(ch);
  const auto known = glyphFamilies_.constFind(key);
  if (known != glyphFamilies_.constEnd()) return *known;
  const QFont font = format.font();
  QString found;
  if (QFontMetricsF(font).inFontUcs4(ch)) {
    glyphFamilies_.insert(key, found);
    return found;
  }
  for (const char* name : {"DejaVu Sans", "OpenSymbol", "Liberation Sans", "FreeSerif", "Noto Sans Symbols2", "Symbola"}) {
    QFont candidate(font);
    candidate.setFamilies(QStringList{QString::fromLatin1(name)});
    if (QFontInfo(candidate).family() == QLatin1String(name) && QFontMetricsF(candidate).inFontUcs4(ch)) {
      found = QString::fromLatin1(name);
      break;
    }
  }
  glyphFamilies_.insert(key, found);
  return found;
}

}  // namespace textview::rtf
