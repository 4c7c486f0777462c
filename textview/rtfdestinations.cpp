// What control words do, by the destination they arrive in: the font and
// colour tables, pictures, field instructions, and the document text, where
// they set character, paragraph and table properties or stand for characters.

#include "textview/rtfreader_p.h"

#include <QRegularExpression>
#include <QTextDocument>

namespace textview::rtf {

namespace {

// Destinations marked with \* that the reader knows and reads.
bool starredKnown(Kw kw) {
  switch (kw) {
    case Kw::ShpPict: case Kw::FldInst: case Kw::Ud: case Kw::ShpInst: case Kw::ListTable:
    case Kw::ListOverrideTable: case Kw::Footnote: case Kw::Cs: case Kw::OtherStyle: case Kw::Pn:
    case Kw::PnSecLvl:
      return true;
    default:
      return false;
  }
}

}  // namespace

void Reader::word(std::string_view name, bool hasParam, int param) {
  const Kw kw = keyword(name);
  const bool star = star_;
  star_ = false;
  State& st = top();
  if (kw == Kw::Unknown) {
    if (star) st.dest = Dest::Skip;  // an optional destination we do not know
    else if (skip_ > 0 && st.dest == Dest::Text) --skip_;
    return;
  }
  if (star && !starredKnown(kw)) {
    st.dest = Dest::Skip;
    return;
  }
  switch (st.dest) {
    case Dest::Skip:
      return;
    case Dest::UprAnsi:
      if (kw == Kw::Ud) st.dest = st.uprOuter;
      return;
    case Dest::FontTable:
      fontTableWord(kw, hasParam, param);
      return;
    case Dest::ColorTable:
      switch (kw) {
        case Kw::Red: colors_.setRed(param); break;
        case Kw::Green: colors_.setGreen(param); break;
        case Kw::Blue: colors_.setBlue(param); break;
        default: break;
      }
      return;
    case Dest::Pict:
      pictures_.word(kw, param);
      return;
    case Dest::FieldInst:
      return;
    case Dest::Text:
      textWord(kw, hasParam, param);
      return;
    case Dest::StyleSheet:
      styleSheetWord(kw, hasParam, param);
      return;
    case Dest::ListTable: case Dest::ListOverrideTable: case Dest::LevelText:
      listTableWord(kw, param);
      return;
    case Dest::ListText: case Dest::PnText:
      labelWord(kw, hasParam, param);
      return;
    case Dest::Pn:
      pnWord(kw, param);
      return;
    case Dest::ShapeInst:
      shapeWord(kw, param);
      return;
  }
}

void Reader::fontTableWord(Kw kw, bool hasParam, int param) {
  FontDef* font = fonts_.pending();
  switch (kw) {
    case Kw::F:
      fonts_.define(param);
      dirty_ = true;
      break;
    case Kw::FCharset: if (font) font->charset = param; dirty_ = true; break;
    case Kw::Cpg: if (font) font->cpg = param; dirty_ = true; break;
    case Kw::FRoman: if (font) font->hint = QFont::Serif; break;
    case Kw::FSwiss: if (font) font->hint = QFont::SansSerif; break;
    case Kw::FModern: if (font) font->hint = QFont::TypeWriter; break;
    case Kw::FScript: if (font) font->hint = QFont::Cursive; break;
    case Kw::FDecor: if (font) font->hint = QFont::Decorative; break;
    case Kw::U: case Kw::Uc: textWord(kw, hasParam, param); break;
    default: break;
  }
}

void Reader::endDestination(Dest d) {
  switch (d) {
    case Dest::Pict:
      finishPicture();
      break;
    case Dest::FieldInst: {
      static const QRegularExpression link(QStringLiteral("^\\s*HYPERLINK\\s+\"([^\"]*)\""));
      const auto m = link.match(fieldInst_);
      fieldInst_ = m.hasMatch() ? m.captured(1) : QString();
      break;
    }
    default:
      break;
  }
}

void Reader::textWord(Kw kw, bool hasParam, int param) {
  State& st = top();
  CharProps& ch = st.chr;
  ParaProps& pa = st.para;
  const bool on = !hasParam || param != 0;
  if (skip_ > 0 && kw != Kw::U && kw != Kw::Uc) {
    // The characters that stand in for a \u character may be control words.
    --skip_;
    return;
  }
  dirty_ = true;
  if (const std::uint32_t bit = applyProperty(kw, hasParam, param, ch, pa)) {
    st.own |= bit;
    return;
  }
  if (structureWord(kw, hasParam, param)) return;
  switch (kw) {
    // destinations
    case Kw::Rtf: break;
    case Kw::FontTable: st.dest = Dest::FontTable; break;
    case Kw::ColorTable:
      st.dest = Dest::ColorTable;
      colors_.clear();
      break;
    case Kw::Info: case Kw::NonShpPict: case Kw::SkipDest:
    case Kw::NoNestTables: case Kw::ObjData:
      st.dest = Dest::Skip;
      break;
    case Kw::Pict:
      st.dest = Dest::Pict;
      pictures_.start();
      break;
    case Kw::ShpPict: case Kw::Object: break;
    case Kw::FldRslt:
      // The result of a HYPERLINK field is a link to its target.
      if (!fieldInst_.isEmpty() && links_.size() < 10000) {
        links_.append(fieldInst_);
        ch.link = int(links_.size()) - 1;
      }
      break;
    case Kw::Field:
      fieldInst_.clear();
      break;
    case Kw::FldInst:
      fieldInst_.clear();
      st.dest = Dest::FieldInst;
      break;
    case Kw::Upr:
      st.uprOuter = st.dest;
      st.dest = Dest::UprAnsi;
      break;
    case Kw::Ud: break;

    // document
    case Kw::Ansi: break;  // the code page stays Windows-1251 unless \ansicpg says otherwise
    case Kw::Mac: ansiCp_ = 10000; break;
    case Kw::Pc: ansiCp_ = 437; break;
    case Kw::Pca: ansiCp_ = 850; break;
    case Kw::AnsiCpg: if (param > 0) ansiCp_ = param; break;
    case Kw::Deff: deff_ = param; break;
    case Kw::Uc: st.uc = std::clamp(param, 0, 16); break;
    case Kw::U: {
      const int v = param < 0 ? param + 65536 : param;
      putChar(char16_t(v & 0xFFFF));
      skip_ = st.uc;
      break;
    }
    case Kw::DefTab:
      if (param > 0) doc_->setDefaultTextOption([&] {
          QTextOption o = doc_->defaultTextOption();
          o.setTabStopDistance(std::clamp(param / kTwipsPerPx, 1.0, 2000.0));
          return o;
        }());
      break;

    // characters
    case Kw::Plain: {
      const int link = ch.link;
      ch = CharProps{};
      ch.link = link;
      st.own &= ~kCharPropBits;
      break;
    }

    // paragraphs
    case Kw::Pard:
      pa = ParaProps{};
      st.own &= ~kParaPropBits;
      break;
    case Kw::Par: case Kw::Sect: paragraph(); break;
    case Kw::Page:
      paragraph();
      pageBreakNext_ = true;
      break;
    case Kw::Line: putChar(0x2028); break;
    case Kw::Tab: putChar(u'\t'); break;
    case Kw::InTbl: pa.inTable = on; break;
    case Kw::Itap: pa.inTable = param > 0; break;
    case Kw::PageBb: pa.pageBefore = on; break;

    // tables
    case Kw::Trowd: tables_.startRow(); break;
    case Kw::Trgaph: tables_.setGap(param); break;
    case Kw::Trleft: tables_.setLeft(param); break;
    case Kw::Trqc: tables_.setAlignment(Qt::AlignHCenter); break;
    case Kw::Trqr: tables_.setAlignment(Qt::AlignRight); break;
    case Kw::Cellx: tables_.endCellDef(param); break;
    case Kw::ClMgf: tables_.nextCell().hMergeFirst = true; break;
    case Kw::ClMrg: tables_.nextCell().hMerge = true; break;
    case Kw::ClVmgf: tables_.nextCell().vMergeFirst = true; break;
    case Kw::ClVmrg: tables_.nextCell().vMerge = true; break;
    case Kw::ClCbPat: tables_.nextCell().bg = param; break;
    case Kw::Border: tables_.nextCell().border = true; break;
    case Kw::Cell: endCell(); break;
    case Kw::Row: tables_.endRow(); break;
    case Kw::NestCell: putChar(u'\t'); break;
    case Kw::NestRow: paragraph(); break;

    // special characters
    case Kw::EmDash: putChar(0x2014); break;
    case Kw::EnDash: putChar(0x2013); break;
    case Kw::EmSpace: putChar(0x2003); break;
    case Kw::EnSpace: putChar(0x2002); break;
    case Kw::QmSpace: putChar(0x2005); break;
    case Kw::Bullet: putChar(0x2022); break;
    case Kw::LQuote: putChar(0x2018); break;
    case Kw::RQuote: putChar(0x2019); break;
    case Kw::LDblQuote: putChar(0x201C); break;
    case Kw::RDblQuote: putChar(0x201D); break;
    case Kw::Zwj: putChar(0x200D); break;
    case Kw::Zwnj: putChar(0x200C); break;
    case Kw::LtrMark: putChar(0x200E); break;
    case Kw::RtlMark: putChar(0x200F); break;

    default:
      break;
  }
}

}  // namespace textview::rtf
