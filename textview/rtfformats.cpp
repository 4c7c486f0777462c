#include "textview/rtfformats.h"

#include "textview/codepages.h"
#include "textview/rtfcommon.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <algorithm>

namespace textview::rtf {

// ---------------------------------------------------------------- fonts

void FontTable::define(int num) {
  commit();
  current_ = num;
  pending_ = true;
  name_.clear();
  if (fonts_.size() < 4096 || fonts_.contains(num)) fonts_[num] = FontDef{};
  else pending_ = false;
}

bool FontTable::commit() {
  if (!pending_) return false;
  pending_ = false;
  auto it = fonts_.find(current_);
  if (it != fonts_.end()) it->name = name_.trimmed();
  name_.clear();
  return true;
}

const FontDef* FontTable::find(int font) const {
  const auto it = fonts_.constFind(font);
  return it == fonts_.constEnd() ? nullptr : &*it;
}

int FontTable::codePage(int font, int deff, int ansiCp) const {
  const FontDef* f = find(font < 0 ? deff : font);
  if (!f) return ansiCp;
  if (f->cpg > 0) return f->cpg;
  if (f->charset == 2 && f->name.contains(QLatin1String("Wingdings"), Qt::CaseInsensitive)) return kCpWingdings;
  const int cp = codePageOfCharset(f->charset);
  return cp != 0 ? cp : ansiCp;
}

// ---------------------------------------------------------------- colours

void ColorTable::clear() {
  colors_.clear();
  red_ = green_ = blue_ = 0;
  set_ = false;
}

void ColorTable::set(int& part, int v) {
  part = std::clamp(v, 0, 255);
  set_ = true;
}

void ColorTable::endEntry() {
  if (colors_.size() < 4096) colors_.append(set_ ? QColor(red_, green_, blue_) : QColor());
  red_ = green_ = blue_ = 0;
  set_ = false;
}

// ---------------------------------------------------------------- formats

QTextCharFormat charFormat(const CharProps& c, const FontTable& fonts, int deff, const ColorTable& colors,
                           const QStringList& links) {
  QTextCharFormat f;
  const FontDef* font = fonts.find(c.font < 0 ? deff : c.font);
  // Symbol fonts' bytes are already mapped to Unicode characters; the font
  // itself would draw them wrongly or not at all.
  if (font && !font->name.isEmpty() && font->charset != 2) {
    f.setFontFamilies(QStringList{font->name});
    if (font->hint != QFont::AnyStyle) f.setFontStyleHint(font->hint);
  }
  f.setFontPointSize(c.size / 2.0);
  if (c.bold) f.setFontWeight(QFont::Bold);
  if (c.italic) f.setFontItalic(true);
  if (c.strike) f.setFontStrikeOut(true);
  if (c.underline) f.setUnderlineStyle(QTextCharFormat::UnderlineStyle(c.underline));
  if (c.caps) f.setFontCapitalization(c.caps == 1 ? QFont::AllUppercase : QFont::SmallCaps);
  if (c.vert) f.setVerticalAlignment(c.vert > 0 ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript);
  if (const QColor fg = colors.at(c.fg); fg.isValid()) f.setForeground(fg);
  if (const QColor bg = colors.at(c.bg); bg.isValid()) f.setBackground(bg);
  if (c.link >= 0 && c.link < links.size()) {
    f.setAnchor(true);
    f.setAnchorHref(links.at(c.link));
  }
  return f;
}

QTextBlockFormat blockFormat(const ParaProps& p, bool pageBreakBefore) {
  QTextBlockFormat f;
  f.setAlignment(p.align);
  f.setLeftMargin(std::max(0, twipsToPx(p.li)));
  f.setRightMargin(std::max(0, twipsToPx(p.ri)));
  f.setTextIndent(twipsToPx(p.fi));
  f.setTopMargin(std::max(0, twipsToPx(p.sb)));
  f.setBottomMargin(std::max(0, twipsToPx(p.sa)));
  if (p.sl != 0) {
    if (p.slMult && p.sl > 0)
      f.setLineHeight(std::min(p.sl * 100.0 / 240.0, 1000.0), QTextBlockFormat::ProportionalHeight);
    else if (p.sl > 0)
      f.setLineHeight(std::min(p.sl / kTwipsPerPx, 2000.0), QTextBlockFormat::MinimumHeight);
    else
      f.setLineHeight(std::min(-double(p.sl) / kTwipsPerPx, 2000.0), QTextBlockFormat::FixedHeight);
  }
  if (!p.tabs.isEmpty()) {
    // RTF measures tab stops from the paragraph's left edge, Qt from where the
    // line starts; the first line (where list numbers and their tabs stand)
    // starts at the left indent plus the first-line indent.
    const int origin = twipsToPx(std::int64_t(p.li) + p.fi);
    QList<QTextOption::Tab> tabs;
    for (const TabStop& t : p.tabs)
      if (const int pos = twipsToPx(t.pos) - origin; pos > 0) tabs.append(QTextOption::Tab(pos, t.type));
    f.setTabPositions(tabs);
  }
  if (p.rtl) f.setLayoutDirection(Qt::RightToLeft);
  if (p.pageBefore || pageBreakBefore) f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  return f;
}

}  // namespace textview::rtf
