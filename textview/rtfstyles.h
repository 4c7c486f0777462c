// Character and paragraph property words, and the style sheet that names
// sets of them. A paragraph that refers to a style (\sN, \csN) gets the
// style's properties, those of the styles it is based on first, except the
// ones the paragraph sets itself.
#pragma once

#include "textview/rtfformats.h"
#include "textview/rtfkeywords.h"

#include <QHash>
#include <cstdint>
#include <vector>

namespace textview::rtf {

// One bit for each property a word sets; a paragraph's own words are
// remembered by these bits so that a style does not override them.
enum PropBit : std::uint32_t {
  kPropAlign = 1u << 0, kPropLi = 1u << 1, kPropRi = 1u << 2, kPropFi = 1u << 3, kPropSb = 1u << 4,
  kPropSa = 1u << 5, kPropSl = 1u << 6, kPropSlMult = 1u << 7, kPropTabs = 1u << 8, kPropLs = 1u << 9,
  kPropIlvl = 1u << 10, kPropRtl = 1u << 11,
  kPropFont = 1u << 16, kPropSize = 1u << 17, kPropBold = 1u << 18, kPropItalic = 1u << 19,
  kPropUnderline = 1u << 20, kPropStrike = 1u << 21, kPropFg = 1u << 22, kPropBg = 1u << 23,
  kPropVert = 1u << 24, kPropCaps = 1u << 25, kPropHidden = 1u << 26,
};
inline constexpr std::uint32_t kParaPropBits = 0xFFFFu;
inline constexpr std::uint32_t kCharPropBits = 0xFFFF0000u;

// The property bit of a word; 0 for a word that sets no character or
// paragraph property.
std::uint32_t propertyBit(Kw kw);

// Sets the property `kw` names; returns its bit (0: not a property word,
// nothing changed).
std::uint32_t applyProperty(Kw kw, bool hasParam, int param, CharProps& ch, ParaProps& pa);

class StyleSheet {
 public:
  enum class Kind : std::uint8_t { Paragraph, Character, Other };

  // A style definition (one group of \stylesheet) starts; it is a paragraph
  // style numbered 0 until \s, \cs, \ds or \ts says otherwise.
  void begin();
  void setNumber(Kind kind, int n);
  void setBasedOn(int n) { pending_.basedOn = n; }
  // A property word of the style being defined.
  void record(Kw kw, bool hasParam, int param);
  // The definition being read is complete.
  void commit();

  // Gives `ch` and `pa` the properties of style `n` (and of the styles it is
  // based on), leaving the properties whose bits are in `keep` alone.
  void apply(Kind kind, int n, std::uint32_t keep, CharProps& ch, ParaProps& pa) const;

 private:
  struct Word {
    Kw kw;
    bool hasParam;
    int param;
  };
  struct Style {
    std::vector<Word> words;
    int basedOn = -1;
    int number = 0;
    Kind kind = Kind::Paragraph;
  };
  // A style with the styles it is based on, worked out once: the
  // properties it sets and their bits.
  struct Resolved {
    CharProps ch;
    ParaProps pa;
    std::uint32_t bits = 0;
  };
  const Resolved& resolve(Kind kind, int n) const;
  void collect(const QHash<int, Style>& table, int n, int depth, Resolved& r) const;

  QHash<int, Style> para_, char_;
  Style pending_;
  mutable QHash<qint64, Resolved> resolved_;
  bool open_ = false;
};

}  // namespace textview::rtf
