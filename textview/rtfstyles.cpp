#include "textview/rtfstyles.h"

#include <algorithm>

namespace textview::rtf {

std::uint32_t propertyBit(Kw kw) {
  switch (kw) {
    case Kw::Ql: case Kw::Qc: case Kw::Qr: case Kw::Qj: return kPropAlign;
    case Kw::Li: return kPropLi;
    case Kw::Ri: return kPropRi;
    case Kw::Fi: return kPropFi;
    case Kw::Sb: return kPropSb;
    case Kw::Sa: return kPropSa;
    case Kw::Sl: return kPropSl;
    case Kw::SlMult: return kPropSlMult;
    case Kw::Tqr: case Kw::Tqc: case Kw::Tqdec: case Kw::Tx: return kPropTabs;
    case Kw::Ls: return kPropLs;
    case Kw::Ilvl: return kPropIlvl;
    case Kw::RtlPar: case Kw::LtrPar: return kPropRtl;
    case Kw::F: return kPropFont;
    case Kw::Fs: return kPropSize;
    case Kw::B: return kPropBold;
    case Kw::I: return kPropItalic;
    case Kw::Ul: case Kw::UlDot: case Kw::UlDash: case Kw::UlWave: case Kw::UlNone: return kPropUnderline;
    case Kw::Strike: return kPropStrike;
    case Kw::Cf: return kPropFg;
    case Kw::Highlight: case Kw::Cb: return kPropBg;
    case Kw::Super: case Kw::Sub: case Kw::NoSuperSub: case Kw::Up: case Kw::Dn: return kPropVert;
    case Kw::Caps: case Kw::SCaps: return kPropCaps;
    case Kw::V: return kPropHidden;
    default: return 0;
  }
}

std::uint32_t applyProperty(Kw kw, bool hasParam, int param, CharProps& ch, ParaProps& pa) {
  const bool on = !hasParam || param != 0;
  switch (kw) {
    // characters
    case Kw::F: ch.font = param; break;
    case Kw::B: ch.bold = on; break;
    case Kw::I: ch.italic = on; break;
    case Kw::Ul: ch.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline; break;
    case Kw::UlDot: ch.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline; break;
    case Kw::UlDash: ch.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline; break;
    case Kw::UlWave: ch.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline; break;
    case Kw::UlNone: ch.underline = QTextCharFormat::NoUnderline; break;
    case Kw::Strike: ch.strike = on; break;
    case Kw::Fs: ch.size = hasParam ? std::clamp(param, 2, 3276) : 24; break;
    case Kw::Cf: ch.fg = param; break;
    case Kw::Highlight: case Kw::Cb: ch.bg = param; break;
    case Kw::Super: ch.vert = 1; break;
    case Kw::Sub: ch.vert = -1; break;
    case Kw::NoSuperSub: ch.vert = 0; break;
    case Kw::Up: ch.vert = on ? 1 : 0; break;
    case Kw::Dn: ch.vert = on ? -1 : 0; break;
    case Kw::Caps: ch.caps = on ? 1 : 0; break;
    case Kw::SCaps: ch.caps = on ? 2 : 0; break;
    case Kw::V: ch.hidden = on; break;

    // paragraphs
    case Kw::Ql: pa.align = Qt::AlignLeft; break;
    case Kw::Qc: pa.align = Qt::AlignHCenter; break;
    case Kw::Qr: pa.align = Qt::AlignRight; break;
    case Kw::Qj: pa.align = Qt::AlignJustify; break;
    case Kw::Li: pa.li = param; break;
    case Kw::Ri: pa.ri = param; break;
    case Kw::Fi: pa.fi = param; break;
    case Kw::Sb: pa.sb = param; break;
    case Kw::Sa: pa.sa = param; break;
    case Kw::Sl: pa.sl = hasParam ? param : 0; break;
    case Kw::SlMult: pa.slMult = on; break;
    case Kw::Tqr: pa.nextTab = QTextOption::RightTab; break;
    case Kw::Tqc: pa.nextTab = QTextOption::CenterTab; break;
    case Kw::Tqdec: pa.nextTab = QTextOption::DelimiterTab; break;
    case Kw::Tx:
      if (pa.tabs.size() < 64) pa.tabs.append({param, pa.nextTab});
      pa.nextTab = QTextOption::LeftTab;
      break;
    case Kw::RtlPar: pa.rtl = true; break;
    case Kw::LtrPar: pa.rtl = false; break;
    case Kw::Ls: pa.ls = std::max(param, 0); break;
    case Kw::Ilvl: pa.ilvl = std::clamp(param, 0, 8); break;
    default: return 0;
  }
  return propertyBit(kw);
}

// ---------------------------------------------------------------- style sheet

void StyleSheet::begin() {
  commit();
  pending_ = Style{};
  open_ = true;
}

void StyleSheet::setNumber(Kind kind, int n) {
  pending_.kind = kind;
  pending_.number = n;
}

void StyleSheet::record(Kw kw, bool hasParam, int param) {
  if (open_ && pending_.words.size() < 256) pending_.words.push_back({kw, hasParam, param});
}

void StyleSheet::commit() {
  if (!open_) return;
  open_ = false;
  if (pending_.kind == Kind::Other) return;
  QHash<int, Style>& table = pending_.kind == Kind::Character ? char_ : para_;
  if (table.size() < 4096 || table.contains(pending_.number)) table.insert(pending_.number, std::move(pending_));
  resolved_.clear();
}

void StyleSheet::apply(Kind kind, int n, std::uint32_t keep, CharProps& ch, ParaProps& pa) const {
  if (kind == Kind::Other) return;
  const Resolved& r = resolve(kind, n);
  const std::uint32_t bits = r.bits & ~keep;
  if (!bits) return;
  if (bits & kPropAlign) pa.align = r.pa.align;
  if (bits & kPropLi) pa.li = r.pa.li;
  if (bits & kPropRi) pa.ri = r.pa.ri;
  if (bits & kPropFi) pa.fi = r.pa.fi;
  if (bits & kPropSb) pa.sb = r.pa.sb;
  if (bits & kPropSa) pa.sa = r.pa.sa;
  if (bits & kPropSl) pa.sl = r.pa.sl;
  if (bits & kPropSlMult) pa.slMult = r.pa.slMult;
  if (bits & kPropTabs) pa.tabs = r.pa.tabs;
  if (bits & kPropLs) pa.ls = r.pa.ls;
  if (bits & kPropIlvl) pa.ilvl = r.pa.ilvl;
  if (bits & kPropRtl) pa.rtl = r.pa.rtl;
  if (bits & kPropFont) ch.font = r.ch.font;
  if (bits & kPropSize) ch.size = r.ch.size;
  if (bits & kPropBold) ch.bold = r.ch.bold;
  if (bits & kPropItalic) ch.italic = r.ch.italic;
  if (bits & kPropUnderline) ch.underline = r.ch.underline;
  if (bits & kPropStrike) ch.strike = r.ch.strike;
  if (bits & kPropFg) ch.fg = r.ch.fg;
  if (bits & kPropBg) ch.bg = r.ch.bg;
  if (bits & kPropVert) ch.vert = r.ch.vert;
  if (bits & kPropCaps) ch.caps = r.ch.caps;
  if (bits & kPropHidden) ch.hidden = r.ch.hidden;
}

const StyleSheet::Resolved& StyleSheet::resolve(Kind kind, int n) const {
  const qint64 key = (qint64(kind == Kind::Character) << 32) | quint32(n);
  auto it = resolved_.find(key);
  if (it == resolved_.end()) {
    Resolved r;
    collect(kind == Kind::Character ? char_ : para_, n, 0, r);
    it = resolved_.insert(key, std::move(r));
  }
  return *it;
}

void StyleSheet::collect(const QHash<int, Style>& table, int n, int depth, Resolved& r) const {
  // Styles based on each other in a circle end at the depth limit.
  if (depth > 10) return;
  const auto it = table.constFind(n);
  if (it == table.constEnd()) return;
  if (it->basedOn >= 0 && it->basedOn != n) collect(table, it->basedOn, depth + 1, r);
  for (const Word& w : it->words) r.bits |= applyProperty(w.kw, w.hasParam, w.param, r.ch, r.pa);
}

}  // namespace textview::rtf
