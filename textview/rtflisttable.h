// List numbering: the list table (\listtable), its overrides
// (\listoverridetable) and the older paragraph numbering (\pn), and the
// counters that number the paragraphs that refer to them. The result for
// each paragraph is its label as the word processor shows it ("3.", "b)",
// "1.2.", a bullet).
#pragma once

#include "textview/rtfformats.h"
#include "textview/rtfkeywords.h"

#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace textview::rtf {

inline constexpr int kListLevels = 9;

// Decodes the byte `b` of a label written in font `font`.
using LabelDecoder = std::function<char16_t(int font, unsigned char b)>;

// The number `n` as a label part in number format `nfc`.
QString formatNumber(int n, int nfc);

// One numbered paragraph.
struct ListItem {
  QString label;       // as shown, without the tab after it
  int nfc = kNumDecimal;
  int font = -1;       // font of the label; -1: the paragraph's
  qint64 list = 0;     // the list the paragraph belongs to
  int level = 0;       // its level in that list, 0..8
};

class ListTable {
 public:
  // Reading \listtable: \list starts a list, \listlevel one of its levels;
  // level words (\levelnfc, \levelstartat, ...) go to the last level.
  void startList();
  void startLevel();
  void setListId(int id);
  void levelWord(Kw kw, int param);
  // The raw \leveltext of the last level: bytes as 0xF000 + byte, other
  // characters as themselves; the first one is the label's length.
  std::u16string* levelText();

  // Reading \listoverridetable: \listoverride starts an override, \lfolevel
  // one of its levels, where \listoverridestartat with \levelstartat
  // restarts that level's numbering.
  void startOverride();
  void overrideWord(Kw kw, int param);

  // Numbers the next paragraph of list override `ls` at level `ilvl`;
  // false when the list is not defined.
  bool next(int ls, int ilvl, const LabelDecoder& decode, ListItem& out);
  // Numbers the next paragraph with paragraph numbering `pn`; false when it
  // shows no label (\pnlvlcont, or no numbering).
  bool nextPn(const PnDef& pn, ListItem& out);
  // A paragraph without numbering: the next \pn paragraph starts anew.
  void breakPn();

 private:
  struct Level {
    int nfc = kNumDecimal;
    int start = 1;
    int font = -1;
    bool noRestart = false;
    bool legal = false;
    std::u16string text;
  };
  struct List {
    int id = 0;
    std::vector<Level> levels;
  };
  struct Override {
    int ls = 0;
    int listId = 0;
    std::array<int, kListLevels> startAt{};  // -1: no restart
    bool applied = false;
  };
  struct Counters {
    std::array<int, kListLevels> n{};
    std::array<int, kListLevels> start{};
    std::array<bool, kListLevels> started{};
  };

  QString label(const List& list, const Counters& c, int ilvl, const LabelDecoder& decode) const;

  std::vector<List> lists_;
  QHash<int, int> listIndex_;  // list id -> index into lists_
  std::vector<Override> overrides_;
  QHash<int, int> overrideIndex_;  // ls -> index into overrides_
  int overrideLevel_ = -1;          // \lfolevel being read
  bool overrideStartAt_ = false;
  QHash<int, Counters> counters_;  // by list id

  std::array<int, 10> pnCount_{};
  std::array<bool, 10> pnActive_{};
  std::array<std::uint8_t, 10> pnFormat_{};  // format each level was last numbered in
};

}  // namespace textview::rtf
