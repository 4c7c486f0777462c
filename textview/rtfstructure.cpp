// Control words of the document's structure: the style sheet, the list
// tables and the older paragraph numbering, list labels, shapes and notes.

#include "textview/rtfreader_p.h"

#include <QTextBlock>
#include <utility>

namespace textview::rtf {

// Words of the document text that start these destinations or refer to
// them; false for any other word.
bool Reader::structureWord(Kw kw, bool hasParam, int param) {
  State& st = top();
  switch (kw) {
    case Kw::StyleSheet:
      st.dest = Dest::StyleSheet;
      styleDepth_ = stack_.size();
      return true;
    case Kw::S:
      styles_.apply(StyleSheet::Kind::Paragraph, param, st.own, st.chr, st.para);
      return true;
    case Kw::Cs:
      styles_.apply(StyleSheet::Kind::Character, param, st.own, st.chr, st.para);
      return true;
    case Kw::ListTable: st.dest = Dest::ListTable; return true;
    case Kw::ListOverrideTable: st.dest = Dest::ListOverrideTable; return true;
    case Kw::ListText:
      st.dest = Dest::ListText;
      label_.text.clear();
      label_.given = true;
      return true;
    case Kw::Pn: case Kw::PnSecLvl:
      st.dest = Dest::Pn;
      pnBuild_ = PnDef{};
      pnSecTarget_ = kw == Kw::PnSecLvl ? std::clamp(hasParam ? param : 1, 1, 9) : 0;
      return true;
    case Kw::Shp:
      shapeHadText_ = false;
      shpLeft_ = shpRight_ = 0;
      return true;
    case Kw::ShpInst: st.dest = Dest::ShapeInst; return true;
    case Kw::ShpTxt: startBox(); return true;
    case Kw::ShpRslt:
      // What a shape shows to readers that know no shapes: its text again.
      if (shapeHadText_) st.dest = Dest::Skip;
      return true;
    case Kw::Footnote: startNote(); return true;
    case Kw::Chftn: noteMark(); return true;
    default:
      return false;
  }
}

void Reader::styleSheetWord(Kw kw, bool hasParam, int param) {
  switch (kw) {
    case Kw::S: styles_.setNumber(StyleSheet::Kind::Paragraph, param); break;
    case Kw::Cs: styles_.setNumber(StyleSheet::Kind::Character, param); break;
    case Kw::OtherStyle: styles_.setNumber(StyleSheet::Kind::Other, param); break;
    case Kw::SBasedOn: styles_.setBasedOn(param); break;
    default:
      if (propertyBit(kw)) styles_.record(kw, hasParam, param);
      break;
  }
}

void Reader::listTableWord(Kw kw, int param) {
  State& st = top();
  if (st.dest == Dest::LevelText) {
    if (kw == Kw::U || kw == Kw::Uc) textWord(kw, true, param);
    return;
  }
  if (st.dest == Dest::ListOverrideTable) {
    if (kw == Kw::ListOverride) lists_.startOverride();
    // Some writers repeat a level's text in the override; the list has it.
    else if (kw == Kw::LevelText) st.dest = Dest::Skip;
    else lists_.overrideWord(kw, param);
    return;
  }
  switch (kw) {
    case Kw::List: lists_.startList(); break;
    case Kw::ListLevel: lists_.startLevel(); break;
    case Kw::ListId: lists_.setListId(param); break;
    case Kw::LevelText: st.dest = Dest::LevelText; break;
    default: lists_.levelWord(kw, param); break;
  }
}

// Words inside a written label: its character format and its characters.
void Reader::labelWord(Kw kw, bool hasParam, int param) {
  if (kw == Kw::Plain || kw == Kw::Pard || kw == Kw::U || kw == Kw::Uc || kw == Kw::Tab || kw == Kw::Bullet ||
      kw == Kw::EmDash || kw == Kw::EnDash || kw == Kw::EnSpace || kw == Kw::EmSpace || propertyBit(kw))
    textWord(kw, hasParam, param);
}

void Reader::pnWord(Kw kw, int param) {
  PnDef& pn = pnBuild_;
  switch (kw) {
    case Kw::PnLvl: {
      const int level = std::clamp(param, 1, 9);
      // An outline level starts from its definition for the section.
      if (pnSecLevels_[std::size_t(level)].level != PnDef::None) pn = pnSecLevels_[std::size_t(level)];
      pn.level = std::uint8_t(level);
      break;
    }
    case Kw::PnLvlBody: pn.level = PnDef::Body; break;
    case Kw::PnLvlBlt: pn.level = PnDef::Bullet; break;
    case Kw::PnLvlCont: pn.level = PnDef::Continue; break;
    case Kw::PnDec: pn.format = kNumDecimal; break;
    case Kw::PnUcLtr: pn.format = kNumUpperLetter; break;
    case Kw::PnLcLtr: pn.format = kNumLowerLetter; break;
    case Kw::PnUcRm: pn.format = kNumUpperRoman; break;
    case Kw::PnLcRm: pn.format = kNumLowerRoman; break;
    case Kw::PnStart: pn.start = std::clamp(param, 0, 32767); break;
    case Kw::PnF:
      // The label's font, which also decodes the label text that follows.
      pn.font = param;
      top().chr.font = param;
      dirty_ = true;
      break;
    case Kw::PnTxtA: case Kw::PnTxtB:
      top().dest = Dest::PnText;
      pnTextAfter_ = kw == Kw::PnTxtA;
      (pnTextAfter_ ? pn.after : pn.before).clear();
      break;
    default: break;
  }
}

void Reader::shapeWord(Kw kw, int param) {
  switch (kw) {
    case Kw::ShpLeft: shpLeft_ = param; break;
    case Kw::ShpRight: shpRight_ = param; break;
    case Kw::ShpTxt: startBox(); break;
    case Kw::Sp: top().dest = Dest::Skip; break;  // shape properties: nothing shown
    default: break;
  }
}

// A destination `d` has ended.
void Reader::endStructureGroup(Dest d) {
  switch (d) {
    case Dest::Pn:
      if (pnSecTarget_ > 0) {
        pnSecLevels_[std::size_t(pnSecTarget_)] = pnBuild_;
        pnSecLevels_[std::size_t(pnSecTarget_)].level = std::uint8_t(pnSecTarget_);
      }
      else top().para.pn = pnBuild_;
      break;
    default:
      break;
  }
  if (stack_.size() < styleDepth_) {
    styles_.commit();
    styleDepth_ = 0;
  }
}

// The block under `c` ends a paragraph with a label: a list item, or its
// written label as text when it belongs to no list the file defines. `f` is
// the paragraph's format, which the list changes.
void Reader::placeList(QTextCursor& c, QTextBlockFormat& f) {
  const State& st = top();
  const WrittenLabel label = std::move(label_);
  label_ = WrittenLabel{};
  if (c.block().length() <= 1 && !label.given) return;  // an empty paragraph shows no number
  ListItem item;
  const auto decode = [this](int font, unsigned char b) {
    return singleByteTable(fonts_.codePage(font, deff_, ansiCp_))[b];
  };
  bool numbered = st.para.ls > 0 && lists_.next(st.para.ls, st.para.ilvl, decode, item);
  if (!numbered) numbered = lists_.nextPn(st.para.pn, item);
  if (!numbered && !label.given) return;
  const bool written = label.given && !label.text.trimmed().isEmpty();
  CharProps labelChars = written ? label.chr : st.chr;
  if (!written && item.font >= 0) labelChars.font = item.font;
  if (!numbered) {
    if (written) listOut_.placeAsText(c, f, label.text, charFormat(labelChars));
    return;
  }
  listOut_.place(c, f, item, written ? label.text : QString(), charFormat(labelChars));
}

}  // namespace textview::rtf
