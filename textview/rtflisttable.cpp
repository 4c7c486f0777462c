#include "textview/rtflisttable.h"

#include <algorithm>

namespace textview::rtf {

namespace {

constexpr std::size_t kMaxLists = 1000;
constexpr std::size_t kMaxLevelText = 64;

QString roman(int n, bool upper) {
  static const int values[] = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
  static const char* const digits[] = {"m", "cm", "d", "cd", "c", "xc", "l", "xl", "x", "ix", "v", "iv", "i"};
  QString out;
  for (int i = 0; i < 13; ++i)
    for (; n >= values[i]; n -= values[i]) out += QLatin1String(digits[i]);
  return upper ? out.toUpper() : out;
}

QString letters(int n, bool upper) {
  // a .. z, then aa .. zz, aaa ..: the letter repeated, as word processors count.
  const int repeat = (n - 1) / 26 + 1;
  return QString(std::min(repeat, 8), QChar((upper ? u'A' : u'a') + (n - 1) % 26));
}

}  // namespace

QString formatNumber(int n, int nfc) {
  switch (nfc) {
    case kNumUpperRoman: case kNumLowerRoman:
      if (n > 0 && n < 4000) return roman(n, nfc == kNumUpperRoman);
      break;
    case kNumUpperLetter: case kNumLowerLetter:
      if (n > 0) return letters(n, nfc == kNumUpperLetter);
      break;
    case kNumDecimalZero:
      return n >= 0 && n < 10 ? QStringLiteral("0") + QString::number(n) : QString::number(n);
    case kNumBullet: case kNumNone:
      return {};
    default:
      break;
  }
  return QString::number(n);
}

// ---------------------------------------------------------------- list table

void ListTable::startList() {
  if (lists_.size() < kMaxLists) lists_.emplace_back();
}

void ListTable::startLevel() {
  if (!lists_.empty() && lists_.back().levels.size() < kListLevels) lists_.back().levels.emplace_back();
}

void ListTable::setListId(int id) {
  if (lists_.empty()) return;
  lists_.back().id = id;
  listIndex_.insert(id, int(lists_.size()) - 1);
}

void ListTable::levelWord(Kw kw, int param) {
  if (lists_.empty() || lists_.back().levels.empty()) return;
  Level& l = lists_.back().levels.back();
  switch (kw) {
    case Kw::LevelNfc: l.nfc = std::clamp(param, 0, 255); break;
    case Kw::LevelStartAt: l.start = std::clamp(param, 0, 32767); break;
    case Kw::LevelNoRestart: l.noRestart = param != 0; break;
    case Kw::LevelLegal: l.legal = param != 0; break;
    case Kw::F: l.font = param; break;
    default: break;
  }
}

std::u16string* ListTable::levelText() {
  if (lists_.empty() || lists_.back().levels.empty()) return nullptr;
  std::u16string& t = lists_.back().levels.back().text;
  return t.size() < kMaxLevelText ? &t : nullptr;
}

void ListTable::startOverride() {
  if (overrides_.size() >= kMaxLists) return;
  overrides_.emplace_back();
  overrides_.back().startAt.fill(-1);
  overrideLevel_ = -1;
}

void ListTable::overrideWord(Kw kw, int param) {
  if (overrides_.empty()) return;
  Override& o = overrides_.back();
  switch (kw) {
    case Kw::ListId: o.listId = param; break;
    case Kw::Ls:
      o.ls = param;
      overrideIndex_.insert(param, int(overrides_.size()) - 1);
      break;
    case Kw::LfoLevel:
      ++overrideLevel_;
      overrideStartAt_ = false;
      break;
    case Kw::ListOverrideStartAt: overrideStartAt_ = true; break;
    case Kw::LevelStartAt:
      if (overrideStartAt_ && overrideLevel_ >= 0 && overrideLevel_ < kListLevels)
        o.startAt[std::size_t(overrideLevel_)] = std::clamp(param, 0, 32767);
      break;
    default: break;
  }
}

// ---------------------------------------------------------------- numbering

bool ListTable::next(int ls, int ilvl, const LabelDecoder& decode, ListItem& out) {
  const auto o = overrideIndex_.constFind(ls);
  if (o == overrideIndex_.constEnd()) return false;
  Override& ov = overrides_[std::size_t(*o)];
  const auto l = listIndex_.constFind(ov.listId);
  if (l == listIndex_.constEnd()) return false;
  const List& list = lists_[std::size_t(*l)];
  if (list.levels.empty()) return false;
  ilvl = std::clamp(ilvl, 0, int(list.levels.size()) - 1);

  auto cit = counters_.find(ov.listId);
  if (cit == counters_.end()) {
    Counters fresh;
    for (std::size_t i = 0; i < list.levels.size(); ++i) fresh.start[i] = list.levels[i].start;
    cit = counters_.insert(ov.listId, fresh);
  }
  Counters& c = *cit;
  if (!ov.applied) {
    // The first paragraph of an override that restarts levels.
    ov.applied = true;
    for (int i = 0; i < kListLevels; ++i)
      if (ov.startAt[std::size_t(i)] >= 0) {
        c.start[std::size_t(i)] = ov.startAt[std::size_t(i)];
        c.started[std::size_t(i)] = false;
      }
  }
  const auto lv = std::size_t(ilvl);
  c.n[lv] = c.started[lv] ? c.n[lv] + 1 : c.start[lv];
  c.started[lv] = true;
  // Deeper levels start again after an item of this level.
  for (std::size_t i = lv + 1; i < list.levels.size(); ++i)
    if (!list.levels[i].noRestart) {
      c.started[i] = false;
      c.start[i] = list.levels[i].start;
    }

  const Level& level = list.levels[lv];
  out.label = label(list, c, ilvl, decode);
  out.nfc = level.nfc;
  out.font = level.font;
  out.list = ov.listId;
  out.level = ilvl;
  return true;
}

// The label of level `ilvl` from its text: placeholder characters 0..8 stand
// for the numbers of those levels.
QString ListTable::label(const List& list, const Counters& c, int ilvl, const LabelDecoder& decode) const {
  const Level& level = list.levels[std::size_t(ilvl)];
  const std::u16string& t = level.text;
  if (t.empty()) return {};
  // The text ends at its semicolon, whatever its length says.
  const bool semicolon = t.size() > 1 && t.back() == char16_t(0xF000 | ';');
  const std::size_t len = std::min<std::size_t>(t[0] & 0xFF, t.size() - 1 - (semicolon ? 1 : 0));
  QString out;
  for (std::size_t i = 1; i <= len; ++i) {
    const char16_t ch = t[i];
    const bool byte = (ch & 0xFF00) == 0xF000;
    const int b = ch & 0xFF;
    if (byte && b < kListLevels) {
      if (b < int(list.levels.size()) && b <= ilvl) {
        const auto lb = std::size_t(b);
        const int n = c.started[lb] ? c.n[lb] : c.start[lb];
        out += formatNumber(n, level.legal ? kNumDecimal : list.levels[lb].nfc);
      }
    } else if (byte) {
      if (b >= 0x20) out += QChar(decode(level.font, std::uint8_t(b)));
    } else {
      out += QChar(ch);
    }
  }
  return out;
}

bool ListTable::nextPn(const PnDef& pn, ListItem& out) {
  if (pn.level == PnDef::None || pn.level == PnDef::Continue) return false;
  out.font = pn.font;
  if (pn.level == PnDef::Bullet) {
    out.label = pn.before + pn.after;
    out.nfc = kNumBullet;
    out.list = -3;
    out.level = 0;
    breakPn();
    return !out.label.trimmed().isEmpty();
  }
  const std::size_t lv = pn.level == PnDef::Body ? 0 : pn.level;
  if (pnActive_[lv] && pnFormat_[lv] == pn.format) ++pnCount_[lv];
  else pnCount_[lv] = std::clamp(pn.start, 0, 32767);
  pnActive_[lv] = true;
  pnFormat_[lv] = pn.format;
  for (std::size_t i = lv + 1; i < pnActive_.size(); ++i) pnActive_[i] = false;
  out.label = pn.before + formatNumber(pnCount_[lv], pn.format) + pn.after;
  out.nfc = pn.format;
  // Outline levels are one list of nine levels, body numbering another.
  out.list = lv == 0 ? -2 : -1;
  out.level = lv == 0 ? 0 : int(lv) - 1;
  return true;
}

void ListTable::breakPn() { pnActive_.fill(false); }

}  // namespace textview::rtf
