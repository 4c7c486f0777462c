// Character and paragraph properties as RTF sets them, the font and colour
// tables of the document header, and the Qt formats made of them.
#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextFormat>
#include <QTextOption>
#include <cstdint>

namespace textview::rtf {

struct CharProps {
  int font = -1;  // -1: the document's default font
  int size = 24;  // half-points
  int fg = 0;     // colour table index, 0: automatic
  int bg = 0;
  int link = -1;  // index into the hyperlink targets
  std::uint8_t underline = 0;  // QTextCharFormat::UnderlineStyle
  std::int8_t vert = 0;        // -1 sub, 1 super
  std::uint8_t caps = 0;       // 1 all caps, 2 small caps
  bool bold = false;
  bool italic = false;
  bool strike = false;
  bool hidden = false;
  bool operator==(const CharProps&) const = default;
};

struct TabStop {
  int pos;  // twips
  QTextOption::TabType type;
};

// Number formats of list levels (\levelnfc) and of paragraph numbering.
enum NumFormat : std::uint8_t {
  kNumDecimal = 0, kNumUpperRoman = 1, kNumLowerRoman = 2, kNumUpperLetter = 3, kNumLowerLetter = 4,
  kNumDecimalZero = 22, kNumBullet = 23, kNumNone = 255,
};

// The older paragraph numbering (\pn): how one paragraph's label is made.
struct PnDef {
  enum Level : std::uint8_t { None = 0, Body = 10, Bullet = 11, Continue = 12 };  // 1..9: outline levels
  std::uint8_t level = None;
  std::uint8_t format = kNumDecimal;
  int start = 1;
  int font = -1;
  QString before, after;  // \pntxtb, \pntxta
};

struct ParaProps {
  Qt::Alignment align = Qt::AlignLeft;
  int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;  // twips
  int sl = 0;
  bool slMult = false;
  bool inTable = false;
  bool rtl = false;
  bool pageBefore = false;
  QTextOption::TabType nextTab = QTextOption::LeftTab;
  QList<TabStop> tabs;
  int ls = 0;    // list override number, 0: none
  int ilvl = 0;  // list level, 0..8
  PnDef pn;
};

struct FontDef {
  QString name;
  int charset = -1;
  int cpg = 0;
  QFont::StyleHint hint = QFont::AnyStyle;
};

// The fonts of \fonttbl by number. A font is defined by its \f word, its
// properties and its name, which ends at a semicolon.
class FontTable {
 public:
  // Starts the definition of font `num` (after finishing the one before).
  void define(int num);
  // The font being defined, or nullptr when there is none.
  FontDef* pending() { return pending_ ? &fonts_[current_] : nullptr; }
  // Number of the font being defined (or last defined); -1 before the first.
  int current() const { return current_; }
  // The name read so far for the font being defined.
  QString& name() { return name_; }
  // The name read so far becomes the pending font's; no font is pending
  // after. False when there was none.
  bool commit();

  // Code page of text in `font` (-1: the default font `deff`).
  int codePage(int font, int deff, int ansiCp) const;
  const FontDef* find(int font) const;

 private:
  QHash<int, FontDef> fonts_;
  int current_ = -1;
  QString name_;
  bool pending_ = false;
};

// The colours of \colortbl; each entry ends at a semicolon, and an entry
// without colour words is the automatic colour.
class ColorTable {
 public:
  void clear();
  void setRed(int v) { set(red_, v); }
  void setGreen(int v) { set(green_, v); }
  void setBlue(int v) { set(blue_, v); }
  void endEntry();
  // The colour of an index; invalid for 0 (automatic) and unknown indexes.
  QColor at(int index) const {
    return index > 0 && index < colors_.size() ? colors_.at(index) : QColor();
  }

 private:
  void set(int& part, int v);

  QList<QColor> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool set_ = false;
};

// The character format of text with properties `c`; `deff` is the
// document's default font, `links` the hyperlink targets.
QTextCharFormat charFormat(const CharProps& c, const FontTable& fonts, int deff, const ColorTable& colors,
                           const QStringList& links);

// The block format of a paragraph with properties `p`.
QTextBlockFormat blockFormat(const ParaProps& p, bool pageBreakBefore);

}  // namespace textview::rtf
