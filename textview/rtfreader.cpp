// RTF reader. One pass over the bytes with an explicit group stack: control
// words change the state of the innermost group, text is collected in runs of
// equal character format and handed to QTextCursor one run at a time.
// Tables are written cell by cell into a QTextTable as the rows arrive.

#include "textview/rtfreader.h"

#include "textview/codepages.h"
#include "textview/richview.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <array>
#include <map>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace textview {

namespace {

constexpr double kTwipsPerPx = 15.0;  // 1440 twips an inch, 96 px an inch

[[noreturn]] void failStream() { throw LoadError(QStringLiteral("Failed to Load Stream")); }

// ---------------------------------------------------------------- keywords

enum class Kw : std::uint8_t {
  // destinations
  Rtf, FontTable, ColorTable, StyleSheet, Info, Pict, ShpPict, NonShpPict, Field, FldInst,
  FldRslt, Upr, Ud, SkipDest, NoNestTables, Object, ObjData,
  // document
  Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin, DefTab,
  // fonts and colours (inside their tables)
  F, FCharset, Cpg, FNil, FRoman, FSwiss, FModern, FScript, FDecor, FTech, FBidi, Red, Green, Blue,
  // characters
  Plain, B, I, Ul, UlDot, UlDash, UlWave, UlNone, Strike, Fs, Cf, Highlight, Cb, Super, Sub,
  NoSuperSub, Up, Dn, Caps, SCaps, V,
  // paragraphs
  Pard, Par, Sect, Page, Line, Tab, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tqr, Tqc,
  Tqdec, InTbl, Itap, PageBb, RtlPar, LtrPar,
  // tables
  Trowd, Trgaph, Trleft, Trqc, Trqr, Cellx, Cell, Row, NestCell, NestRow, ClMgf, ClMrg, ClVmgf,
  ClVmrg, ClCbPat, Border,
  // pictures
  PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY, PngBlip, JpegBlip, EmfBlip, WMetafile,
  OtherPictKind,
  // special characters
  EmDash, EnDash, EmSpace, EnSpace, QmSpace, Bullet, LQuote, RQuote, LDblQuote, RDblQuote, Zwj,
  Zwnj, LtrMark, RtlMark,
};

const std::unordered_map<std::string_view, Kw>& keywords() {
  static const std::unordered_map<std::string_view, Kw> map = {
      {"rtf", Kw::Rtf}, {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable},
      {"stylesheet", Kw::StyleSheet}, {"info", Kw::Info}, {"pict", Kw::Pict},
      {"shppict", Kw::ShpPict}, {"nonshppict", Kw::NonShpPict}, {"field", Kw::Field},
      {"fldinst", Kw::FldInst}, {"fldrslt", Kw::FldRslt}, {"upr", Kw::Upr}, {"ud", Kw::Ud},
      {"nonesttables", Kw::NoNestTables}, {"object", Kw::Object}, {"objdata", Kw::ObjData},
      // destinations that are never shown, whether marked with \* or not
      {"header", Kw::SkipDest}, {"headerl", Kw::SkipDest}, {"headerr", Kw::SkipDest},
      {"headerf", Kw::SkipDest}, {"footer", Kw::SkipDest}, {"footerl", Kw::SkipDest},
      {"footerr", Kw::SkipDest}, {"footerf", Kw::SkipDest}, {"footnote", Kw::SkipDest},
      {"annotation", Kw::SkipDest}, {"pn", Kw::SkipDest}, {"filetbl", Kw::SkipDest},
      {"revtbl", Kw::SkipDest}, {"listtable", Kw::SkipDest}, {"listoverridetable", Kw::SkipDest},
      {"rsidtbl", Kw::SkipDest}, {"xe", Kw::SkipDest}, {"tc", Kw::SkipDest},
      {"txe", Kw::SkipDest}, {"rxe", Kw::SkipDest}, {"template", Kw::SkipDest},
      {"private", Kw::SkipDest}, {"pgdsctbl", Kw::SkipDest}, {"docvar", Kw::SkipDest},
      {"datastore", Kw::SkipDest}, {"themedata", Kw::SkipDest}, {"shpinst", Kw::SkipDest},
      {"do", Kw::SkipDest}, {"atnid", Kw::SkipDest}, {"atnauthor", Kw::SkipDest},
      {"comment", Kw::SkipDest}, {"bkmkstart", Kw::SkipDest}, {"bkmkend", Kw::SkipDest},
      {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
      {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"uc", Kw::Uc}, {"u", Kw::U},
      {"bin", Kw::Bin}, {"deftab", Kw::DefTab},
      {"f", Kw::F}, {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg}, {"fnil", Kw::FNil},
      {"froman", Kw::FRoman}, {"fswiss", Kw::FSwiss}, {"fmodern", Kw::FModern},
      {"fscript", Kw::FScript}, {"fdecor", Kw::FDecor}, {"ftech", Kw::FTech},
      {"fbidi", Kw::FBidi}, {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
      {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I}, {"ul", Kw::Ul}, {"ulw", Kw::Ul},
      {"uldb", Kw::Ul}, {"ulth", Kw::Ul}, {"uld", Kw::UlDot}, {"ulthd", Kw::UlDot},
      {"uldash", Kw::UlDash}, {"uldashd", Kw::UlDash}, {"uldashdd", Kw::UlDash},
      {"ulldash", Kw::UlDash}, {"ulthdash", Kw::UlDash}, {"ulthdashd", Kw::UlDash},
      {"ulthdashdd", Kw::UlDash}, {"ulthldash", Kw::UlDash}, {"ulwave", Kw::UlWave},
      {"ulhwave", Kw::UlWave}, {"ululdbwave", Kw::UlWave}, {"ulnone", Kw::UlNone},
      {"strike", Kw::Strike}, {"striked", Kw::Strike}, {"fs", Kw::Fs}, {"cf", Kw::Cf},
      {"highlight", Kw::Highlight}, {"cb", Kw::Cb}, {"chcbpat", Kw::Cb}, {"super", Kw::Super},
      {"sub", Kw::Sub}, {"nosupersub", Kw::NoSuperSub}, {"up", Kw::Up}, {"dn", Kw::Dn},
      {"caps", Kw::Caps}, {"scaps", Kw::SCaps}, {"v", Kw::V},
      {"pard", Kw::Pard}, {"par", Kw::Par}, {"sect", Kw::Sect}, {"page", Kw::Page},
      {"line", Kw::Line}, {"tab", Kw::Tab}, {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr},
      {"qj", Kw::Qj}, {"qd", Kw::Qj}, {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri},
      {"rin", Kw::Ri}, {"fi", Kw::Fi}, {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"sl", Kw::Sl},
      {"slmult", Kw::SlMult}, {"tx", Kw::Tx}, {"tb", Kw::Tx}, {"tqr", Kw::Tqr},
      {"tqc", Kw::Tqc}, {"tqdec", Kw::Tqdec}, {"intbl", Kw::InTbl}, {"itap", Kw::Itap},
      {"pagebb", Kw::PageBb}, {"rtlpar", Kw::RtlPar}, {"ltrpar", Kw::LtrPar},
      {"trowd", Kw::Trowd}, {"trgaph", Kw::Trgaph}, {"trleft", Kw::Trleft}, {"trqc", Kw::Trqc},
      {"trqr", Kw::Trqr}, {"cellx", Kw::Cellx}, {"cell", Kw::Cell}, {"row", Kw::Row},
      {"nestcell", Kw::NestCell}, {"nestrow", Kw::NestRow}, {"clmgf", Kw::ClMgf},
      {"clmrg", Kw::ClMrg}, {"clvmgf", Kw::ClVmgf}, {"clvmrg", Kw::ClVmrg},
      {"clcbpat", Kw::ClCbPat}, {"brdrs", Kw::Border}, {"brdrth", Kw::Border},
      {"brdrsh", Kw::Border}, {"brdrdb", Kw::Border}, {"brdrdot", Kw::Border},
      {"brdrdash", Kw::Border}, {"brdrhair", Kw::Border}, {"brdrsingle", Kw::Border},
      {"picw", Kw::PicW}, {"pich", Kw::PicH}, {"picwgoal", Kw::PicWGoal},
      {"pichgoal", Kw::PicHGoal}, {"picscalex", Kw::PicScaleX}, {"picscaley", Kw::PicScaleY},
      {"pngblip", Kw::PngBlip}, {"jpegblip", Kw::JpegBlip}, {"emfblip", Kw::EmfBlip},
      {"wmetafile", Kw::WMetafile}, {"macpict", Kw::OtherPictKind},
      {"pmmetafile", Kw::OtherPictKind}, {"dibitmap", Kw::OtherPictKind},
      {"wbitmap", Kw::OtherPictKind},
      {"emdash", Kw::EmDash}, {"endash", Kw::EnDash}, {"emspace", Kw::EmSpace},
      {"enspace", Kw::EnSpace}, {"qmspace", Kw::QmSpace}, {"bullet", Kw::Bullet},
      {"lquote", Kw::LQuote}, {"rquote", Kw::RQuote}, {"ldblquote", Kw::LDblQuote},
      {"rdblquote", Kw::RDblQuote}, {"zwj", Kw::Zwj}, {"zwnj", Kw::Zwnj},
      {"ltrmark", Kw::LtrMark}, {"rtlmark", Kw::RtlMark},
  };
  return map;
}

// ---------------------------------------------------------------- state

enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable, Pict, FieldInst, UprAnsi };

enum class PictKind : std::uint8_t { None, Png, Jpeg, Metafile, Other };

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
};

struct State {
  CharProps chr;
  ParaProps para;
  Dest dest = Dest::Text;
  Dest uprOuter = Dest::Text;  // destination to go back to at \ud inside \upr
  int uc = 1;                  // characters that stand for one \u character
};

struct FontDef {
  QString name;
  int charset = -1;
  int cpg = 0;
  QFont::StyleHint hint = QFont::AnyStyle;
};

struct CellDef {
  int right = 0;  // \cellx, twips
  int bg = 0;
  bool hMergeFirst = false, hMerge = false, vMergeFirst = false, vMerge = false;
  bool border = false;
};

struct Picture {
  PictKind kind = PictKind::None;
  int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
  QByteArray data;
  int nibble = -1;  // pending high nibble of hex data
};

std::array<std::uint8_t, 256> makeHexTable() {
  std::array<std::uint8_t, 256> t{};
  t.fill(0xFF);
  for (int c = '0'; c <= '9'; ++c) t[c] = std::uint8_t(c - '0');
  for (int c = 'a'; c <= 'f'; ++c) t[c] = std::uint8_t(c - 'a' + 10);
  for (int c = 'A'; c <= 'F'; ++c) t[c] = std::uint8_t(c - 'A' + 10);
  return t;
}
const std::array<std::uint8_t, 256> kHex = makeHexTable();

inline bool isAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int twipsToPx(std::int64_t twips) { return int(std::clamp<std::int64_t>(twips, -2'000'000, 2'000'000) / kTwipsPerPx); }

// ---------------------------------------------------------------- reader

class Reader {
 public:
  Reader(const QByteArray& bytes, QTextDocument* doc, const ReadLimits& limits)
      : p_(reinterpret_cast<const unsigned char*>(bytes.constData())),
        end_(p_ + bytes.size()),
        doc_(doc),
        lim_(limits),
        main_(doc) {}

  void run();

 private:
  // input
  const unsigned char* p_;
  const unsigned char* end_;
  QTextDocument* doc_;
  const ReadLimits& lim_;

  // groups
  std::vector<State> stack_;
  bool star_ = false;  // \* seen: the next control word names an optional destination
  int skip_ = 0;       // characters still to skip after \u

  // document tables
  int ansiCp_ = kCpDefault;
  int deff_ = 0;
  QHash<int, FontDef> fonts_;
  int fontNum_ = -1;  // font being defined in the font table
  QString fontName_;
  bool fontPending_ = false;
  QList<QColor> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorSet_ = false;
  QString fieldInst_;
  QStringList links_;

  // output
  QTextCursor main_;
  QTextCursor cell_;
  QTextTable* table_ = nullptr;
  int row_ = 0, col_ = 0;
  bool rowOpen_ = false, cellOpen_ = false;
  std::vector<CellDef> rowDefs_;
  CellDef nextCell_;
  int trGaph_ = 0, trLeft_ = 0;
  Qt::Alignment trAlign_ = Qt::AlignLeft;
  std::vector<int> vMergeStart_;
  std::vector<int> bounds_;    // right edges of the table's columns, twips
  std::vector<int> rowStart_;  // first table column of each cell of the row
  bool pageBreakNext_ = false;

  // current text run
  QString run_;
  CharProps runProps_;
  bool dirty_ = true;  // state changed since the last text: recheck run and target
  const std::array<char16_t, 256>* table8_ = nullptr;
  int cp_ = kCpDefault;
  QByteArray mbBytes_;  // bytes of a multi-byte code page waiting for decoding
  int mbCp_ = 0;
  std::map<int, QStringDecoder> mbDecoders_;

  Picture pict_;
  int images_ = 0;
  std::int64_t imagePixels_ = 0;
  std::int64_t chars_ = 0, blocks_ = 0, cells_ = 0;

  State& top() { return stack_.back(); }
  QTextCursor& out() { return cellOpen_ ? cell_ : main_; }

  void pushGroup();
  void popGroup();
  void endDestination(Dest d);
  const unsigned char* controlWord(const unsigned char* p);
  void word(std::string_view name, bool hasParam, int param);
  void textWord(Kw kw, bool hasParam, int param);
  void textBytes(const unsigned char* s, const unsigned char* e);
  void hexBytes(const unsigned char* s, const unsigned char* e);
  void binData(std::int64_t n);
  void putChar(char16_t c);

  void refresh();
  void prepareOutput();
  void flushMb();
  void flushRun();
  QTextCharFormat charFormat(const CharProps& c) const;
  QTextBlockFormat blockFormat(const ParaProps& p);
  void applyBlock(QTextCursor& c);
  void paragraph();
  void countChars(std::int64_t n);

  void ensureCell();
  void endCell();
  void endRow();
  void closeTable();
  void mapRow();
  int cellColumn(int cell) const;

  void commitFont();
  void finishPicture();
  QColor color(int index) const;
  int codePage(int font) const;
};

void Reader::run() {
  stack_.reserve(64);
  stack_.emplace_back();
  stack_.back().dest = Dest::Skip;  // nothing counts before the first group
  main_.movePosition(QTextCursor::End);
  bool started = false;
  while (p_ < end_) {
    const unsigned char c = *p_;
    if (c == '{') {
      ++p_;
      if (!started) {
        started = true;
        top().dest = Dest::Text;
        continue;
      }
      pushGroup();
      continue;
    }
    if (c == '}') {
      ++p_;
      if (stack_.size() == 1) break;  // end of the document
      popGroup();
      continue;
    }
    if (c == '\\') {
      p_ = controlWord(p_ + 1);
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++p_;
      continue;
    }
    const unsigned char* s = p_;
    while (p_ < end_ && *p_ != '\\' && *p_ != '{' && *p_ != '}' && *p_ != '\r' && *p_ != '\n') ++p_;
    switch (top().dest) {
      case Dest::Text: case Dest::FontTable: case Dest::ColorTable: case Dest::FieldInst:
        textBytes(s, p_);
        break;
      case Dest::Pict:
        hexBytes(s, p_);
        break;
      default:
        break;
    }
  }
  // A missing closing brace is forgiven: close whatever is still open.
  while (stack_.size() > 1) popGroup();
  flushRun();
  if (table_) closeTable();
  applyBlock(main_);
}

void Reader::pushGroup() {
  if (int(stack_.size()) >= lim_.maxGroupDepth) failStream();
  stack_.push_back(stack_.back());
  star_ = false;
  skip_ = 0;
  dirty_ = true;
}

void Reader::popGroup() {
  const Dest d = top().dest;
  if (d == Dest::FontTable) commitFont();
  stack_.pop_back();
  if (d != top().dest) endDestination(d);
  star_ = false;
  skip_ = 0;
  dirty_ = true;
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

// Reads one control word or control symbol after its backslash.
const unsigned char* Reader::controlWord(const unsigned char* p) {
  if (p >= end_) return p;
  const unsigned char c = *p;
  if (!isAlpha(c)) {
    ++p;
    const Dest d = top().dest;
    if (c == '*') {
      star_ = true;
      return p;
    }
    star_ = false;
    if (c == '\'') {
      unsigned char b = 0;
      if (end_ - p >= 2 && kHex[p[0]] < 16 && kHex[p[1]] < 16) {
        b = std::uint8_t(kHex[p[0]] << 4 | kHex[p[1]]);
        p += 2;
        if (d == Dest::Text || d == Dest::FontTable || d == Dest::FieldInst) textBytes(&b, &b + 1);
      }
      return p;
    }
    if (d == Dest::Skip || d == Dest::Pict || d == Dest::UprAnsi) return p;
    if (c == '\\' || c == '{' || c == '}') {
      textBytes(&c, &c + 1);
      return p;
    }
    if (d != Dest::Text) return p;
    switch (c) {
      case '~': putChar(0x00A0); break;
      case '-': putChar(0x00AD); break;
      case '_': putChar(0x2011); break;
      case '\r': case '\n': paragraph(); break;
      case '\t': putChar(u'\t'); break;
      default: break;
    }
    return p;
  }
  const unsigned char* s = p;
  while (p < end_ && isAlpha(*p)) ++p;
  const std::string_view name(reinterpret_cast<const char*>(s), std::size_t(std::min<std::ptrdiff_t>(p - s, 32)));
  bool neg = false, hasParam = false;
  std::int64_t value = 0;
  if (p < end_ && *p == '-' && p + 1 < end_ && isDigit(p[1])) {
    neg = true;
    ++p;
  }
  while (p < end_ && isDigit(*p)) {
    hasParam = true;
    if (value < 10'000'000'000LL) value = value * 10 + (*p - '0');
    ++p;
  }
  if (p < end_ && *p == ' ') ++p;
  if (neg) value = -value;
  if (name == "bin") {
    // Binary data follows; it belongs to a picture or is skipped.
    p_ = p;
    binData(hasParam ? value : 0);
    return p_;
  }
  // Parameters are at most 32-bit in any real file; keeping them well inside
  // int leaves room for sums and differences of two of them.
  value = std::clamp<std::int64_t>(value, -1'000'000'000, 1'000'000'000);
  word(name, hasParam, int(value));
  return p;
}

void Reader::binData(std::int64_t n) {
  if (n <= 0) return;
  if (std::uint64_t(n) > lim_.maxPictureBytes) failStream();
  const std::int64_t avail = std::min<std::int64_t>(n, end_ - p_);
  if (top().dest == Dest::Pict) {
    if (std::size_t(pict_.data.size()) + std::size_t(avail) > lim_.maxPictureBytes) failStream();
    pict_.data.append(reinterpret_cast<const char*>(p_), qsizetype(avail));
  } else if (skip_ > 0) {
    --skip_;  // a \bin run counts as one character to skip
  }
  p_ += avail;
}

void Reader::word(std::string_view name, bool hasParam, int param) {
  const auto& map = keywords();
  const auto it = map.find(name);
  const bool star = star_;
  star_ = false;
  State& st = top();
  if (it == map.end()) {
    if (star) st.dest = Dest::Skip;  // an optional destination we do not know
    else if (skip_ > 0 && st.dest == Dest::Text) --skip_;
    return;
  }
  const Kw kw = it->second;
  if (star && kw != Kw::ShpPict && kw != Kw::FldInst && kw != Kw::Ud) {
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
      switch (kw) {
        case Kw::F:
          commitFont();
          fontNum_ = param;
          fontPending_ = true;
          fontName_.clear();
          if (fonts_.size() < 4096 || fonts_.contains(param)) fonts_[param] = FontDef{};
          else fontPending_ = false;
          dirty_ = true;
          break;
        case Kw::FCharset: if (fontPending_) fonts_[fontNum_].charset = param; dirty_ = true; break;
        case Kw::Cpg: if (fontPending_) fonts_[fontNum_].cpg = param; dirty_ = true; break;
        case Kw::FRoman: if (fontPending_) fonts_[fontNum_].hint = QFont::Serif; break;
        case Kw::FSwiss: if (fontPending_) fonts_[fontNum_].hint = QFont::SansSerif; break;
        case Kw::FModern: if (fontPending_) fonts_[fontNum_].hint = QFont::TypeWriter; break;
        case Kw::FScript: if (fontPending_) fonts_[fontNum_].hint = QFont::Cursive; break;
        case Kw::FDecor: if (fontPending_) fonts_[fontNum_].hint = QFont::Decorative; break;
        case Kw::U: case Kw::Uc: textWord(kw, hasParam, param); break;
        default: break;
      }
      return;
    case Dest::ColorTable:
      switch (kw) {
        case Kw::Red: red_ = std::clamp(param, 0, 255); colorSet_ = true; break;
        case Kw::Green: green_ = std::clamp(param, 0, 255); colorSet_ = true; break;
        case Kw::Blue: blue_ = std::clamp(param, 0, 255); colorSet_ = true; break;
        default: break;
      }
      return;
    case Dest::Pict:
      switch (kw) {
        case Kw::PicW: pict_.picw = param; break;
        case Kw::PicH: pict_.pich = param; break;
        case Kw::PicWGoal: pict_.goalw = param; break;
        case Kw::PicHGoal: pict_.goalh = param; break;
        case Kw::PicScaleX: pict_.scalex = param; break;
        case Kw::PicScaleY: pict_.scaley = param; break;
        case Kw::PngBlip: pict_.kind = PictKind::Png; break;
        case Kw::JpegBlip: pict_.kind = PictKind::Jpeg; break;
        case Kw::EmfBlip: case Kw::WMetafile: pict_.kind = PictKind::Metafile; break;
        case Kw::OtherPictKind: pict_.kind = PictKind::Other; break;
        default: break;
      }
      return;
    case Dest::FieldInst:
      return;
    case Dest::Text:
      textWord(kw, hasParam, param);
      return;
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
  switch (kw) {
    // destinations
    case Kw::Rtf: break;
    case Kw::FontTable: st.dest = Dest::FontTable; break;
    case Kw::ColorTable:
      st.dest = Dest::ColorTable;
      colors_.clear();
      red_ = green_ = blue_ = 0;
      colorSet_ = false;
      break;
    case Kw::StyleSheet: case Kw::Info: case Kw::NonShpPict: case Kw::SkipDest:
    case Kw::NoNestTables: case Kw::ObjData:
      st.dest = Dest::Skip;
      break;
    case Kw::Pict:
      st.dest = Dest::Pict;
      pict_ = Picture{};
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
    case Kw::F: ch.font = param; break;
    case Kw::Plain: {
      const int link = ch.link;
      ch = CharProps{};
      ch.link = link;
      break;
    }
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
    case Kw::Pard: {
      pa = ParaProps{};
      break;
    }
    case Kw::Par: case Kw::Sect: paragraph(); break;
    case Kw::Page:
      paragraph();
      pageBreakNext_ = true;
      break;
    case Kw::Line: putChar(0x2028); break;
    case Kw::Tab: putChar(u'\t'); break;
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
    case Kw::InTbl: pa.inTable = on; break;
    case Kw::Itap: pa.inTable = param > 0; break;
    case Kw::PageBb: pa.pageBefore = on; break;
    case Kw::RtlPar: pa.rtl = true; break;
    case Kw::LtrPar: pa.rtl = false; break;

    // tables
    case Kw::Trowd:
      rowDefs_.clear();
      nextCell_ = CellDef{};
      trGaph_ = trLeft_ = 0;
      trAlign_ = Qt::AlignLeft;
      break;
    case Kw::Trgaph: trGaph_ = param; break;
    case Kw::Trleft: trLeft_ = param; break;
    case Kw::Trqc: trAlign_ = Qt::AlignHCenter; break;
    case Kw::Trqr: trAlign_ = Qt::AlignRight; break;
    case Kw::Cellx:
      nextCell_.right = param;
      if (int(rowDefs_.size()) < lim_.maxColumns) rowDefs_.push_back(nextCell_);
      nextCell_ = CellDef{};
      break;
    case Kw::ClMgf: nextCell_.hMergeFirst = true; break;
    case Kw::ClMrg: nextCell_.hMerge = true; break;
    case Kw::ClVmgf: nextCell_.vMergeFirst = true; break;
    case Kw::ClVmrg: nextCell_.vMerge = true; break;
    case Kw::ClCbPat: nextCell_.bg = param; break;
    case Kw::Border: nextCell_.border = true; break;
    case Kw::Cell: endCell(); break;
    case Kw::Row: endRow(); break;
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

// ---------------------------------------------------------------- text

int Reader::codePage(int font) const {
  const auto it = fonts_.constFind(font < 0 ? deff_ : font);
  if (it == fonts_.constEnd()) return ansiCp_;
  if (it->cpg > 0) return it->cpg;
  if (it->charset == 2 && it->name.contains(QLatin1String("Wingdings"), Qt::CaseInsensitive)) return kCpWingdings;
  const int cp = codePageOfCharset(it->charset);
  return cp != 0 ? cp : ansiCp_;
}

// Brings the run and the output target up to date after a state change.
void Reader::refresh() {
  const State& st = top();
  if (st.dest == Dest::Text) {
    prepareOutput();
    if (!(st.chr == runProps_)) {
      flushRun();
      runProps_ = st.chr;
    }
  }
  const int font = st.dest == Dest::FontTable ? fontNum_ : st.chr.font;
  const int cp = codePage(font);
  if (cp != cp_ || !table8_) {
    cp_ = cp;
    table8_ = &singleByteTable(cp);
  }
  dirty_ = false;
}

void Reader::textBytes(const unsigned char* s, const unsigned char* e) {
  while (skip_ > 0 && s < e) {
    --skip_;
    ++s;
  }
  if (s == e) return;
  if (dirty_) refresh();
  const Dest d = top().dest;
  if (d == Dest::ColorTable) {
    for (; s < e; ++s) {
      if (*s != ';') continue;
      if (colors_.size() < 4096) colors_.append(colorSet_ ? QColor(red_, green_, blue_) : QColor());
      red_ = green_ = blue_ = 0;
      colorSet_ = false;
    }
    return;
  }
  if (d == Dest::Text && top().chr.hidden) return;
  if (isMultiByte(cp_) && d == Dest::Text) {
    if (mbCp_ != cp_) flushMb();
    mbCp_ = cp_;
    for (; s < e; ++s)
      if (*s >= 0x20 || *s == '\t') mbBytes_.append(char(*s));
    return;
  }
  flushMb();
  const auto& t = *table8_;
  QString& target = d == Dest::Text ? run_ : d == Dest::FontTable ? fontName_ : fieldInst_;
  if (d != Dest::Text && target.size() > 4096) return;
  const qsizetype before = target.size();
  target.reserve(before + (e - s));
  for (; s < e; ++s) {
    const unsigned char b = *s;
    if (b >= 0x20) target.append(QChar(t[b]));
    else if (b == '\t') target.append(QChar(u'\t'));
  }
  if (d == Dest::Text) countChars(target.size() - before);
  if (d == Dest::FontTable) {
    const qsizetype semi = fontName_.indexOf(u';');
    if (semi >= 0) {
      fontName_.truncate(semi);
      commitFont();
    }
  }
}

void Reader::putChar(char16_t c) {
  if (dirty_) refresh();
  const Dest d = top().dest;
  if (d == Dest::FontTable) {
    if (fontPending_ && fontName_.size() < 256) fontName_.append(QChar(c));
    return;
  }
  if (d == Dest::FieldInst) {
    if (fieldInst_.size() < 4096) fieldInst_.append(QChar(c));
    return;
  }
  if (d != Dest::Text || top().chr.hidden) return;
  flushMb();
  run_.append(QChar(c));
  countChars(1);
}

void Reader::countChars(std::int64_t n) {
  chars_ += n;
  if (chars_ > lim_.maxChars) failStream();
}

void Reader::flushMb() {
  if (mbBytes_.isEmpty()) return;
  auto it = mbDecoders_.find(mbCp_);
  if (it == mbDecoders_.end())
    it = mbDecoders_.emplace(mbCp_, QStringDecoder(codePageName(mbCp_).constData())).first;
  QString s;
  if (it->second.isValid()) {
    s = it->second.decode(mbBytes_);
    it->second.resetState();
  } else {
    for (char b : std::as_const(mbBytes_)) s.append(QChar((*table8_)[std::uint8_t(b)]));
  }
  mbBytes_.clear();
  run_.append(s);
  countChars(s.size());
}

void Reader::flushRun() {
  flushMb();
  if (run_.isEmpty()) return;
  out().insertText(run_, charFormat(runProps_));
  run_.clear();
}

QColor Reader::color(int index) const {
  return index > 0 && index < colors_.size() ? colors_.at(index) : QColor();
}

QTextCharFormat Reader::charFormat(const CharProps& c) const {
  QTextCharFormat f;
  const auto font = fonts_.constFind(c.font < 0 ? deff_ : c.font);
  // Symbol fonts' bytes are already mapped to Unicode characters; the font
  // itself would draw them wrongly or not at all.
  if (font != fonts_.constEnd() && !font->name.isEmpty() && font->charset != 2) {
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
  if (const QColor fg = color(c.fg); fg.isValid()) f.setForeground(fg);
  if (const QColor bg = color(c.bg); bg.isValid()) f.setBackground(bg);
  if (c.link >= 0 && c.link < links_.size()) {
    f.setAnchor(true);
    f.setAnchorHref(links_.at(c.link));
  }
  return f;
}

QTextBlockFormat Reader::blockFormat(const ParaProps& p) {
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
  if (p.pageBefore || pageBreakNext_) f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  pageBreakNext_ = false;
  return f;
}

// Gives the block under the cursor the current paragraph format and, for an
// empty paragraph, the character format that sets its height.
void Reader::applyBlock(QTextCursor& c) {
  // A new block starts with the formats of the one before it, so most
  // paragraphs need no change at all.
  const State& st = top();
  if (const QTextBlockFormat f = blockFormat(st.para); c.blockFormat() != f) c.setBlockFormat(f);
  if (const QTextCharFormat f = charFormat(st.chr); c.blockCharFormat() != f) c.setBlockCharFormat(f);
}

void Reader::paragraph() {
  if (dirty_) refresh();
  if (top().dest != Dest::Text) return;
  flushRun();
  if (++blocks_ > lim_.maxBlocks) failStream();
  QTextCursor& c = out();
  applyBlock(c);
  c.insertBlock();
}

// ---------------------------------------------------------------- tables

// Makes sure the output goes where the paragraph belongs: into the open
// table cell for a table paragraph, after the table otherwise.
void Reader::prepareOutput() {
  if (top().para.inTable) ensureCell();
  else if (table_) closeTable();
}

void Reader::ensureCell() {
  if (cellOpen_) return;
  flushRun();
  if (!table_) {
    QTextTableFormat tf;
    tf.setCellSpacing(0);
    tf.setCellPadding(std::clamp(trGaph_ / kTwipsPerPx, 0.0, 50.0));
    tf.setBorder(0);
    tf.setAlignment(trAlign_);
    tf.setLeftMargin(std::clamp(trLeft_ / kTwipsPerPx, 0.0, 2000.0));
    const int cols = std::clamp(int(rowDefs_.size()), 1, lim_.maxColumns);
    // The table takes the place of the empty paragraph it starts in, when
    // a paragraph of the same frame comes before it to hold it.
    bool merged = false;
    if (main_.block().length() == 1 && main_.blockNumber() > 0) {
      QTextCursor prev(main_.block().previous());
      if (prev.currentFrame() == main_.currentFrame() && !prev.currentTable()) {
        main_.deletePreviousChar();
        merged = true;
      }
    }
    if (!merged) applyBlock(main_);
    table_ = main_.insertTable(1, cols, tf);
    row_ = 0;
    col_ = 0;
    rowOpen_ = true;
    vMergeStart_.assign(std::size_t(lim_.maxColumns), -1);
    cells_ += cols;
    bounds_.clear();
    for (const CellDef& d : rowDefs_) {
      if (!bounds_.empty() && d.right <= bounds_.back()) {
        bounds_.clear();
        break;
      }
      bounds_.push_back(d.right);
    }
    if (int(bounds_.size()) != cols) bounds_.clear();
    mapRow();
  } else if (!rowOpen_) {
    // Rows are added in growing batches and the unused ones removed when the
    // table ends: QTextTable rebuilds its grid after every change of shape.
    if (row_ + 1 >= table_->rows()) table_->appendRows(std::max(1, table_->rows()));
    ++row_;
    col_ = 0;
    rowOpen_ = true;
    cells_ += table_->columns();
    mapRow();
  }
  const int column = cellColumn(col_);
  if (column >= table_->columns()) {
    if (column >= lim_.maxColumns) failStream();
    table_->appendColumns(column + 1 - table_->columns());
    cells_ += std::int64_t(table_->rows()) * (column + 1 - table_->columns());
    bounds_.clear();
  }
  if (cells_ > lim_.maxCells) failStream();
  if (++blocks_ > lim_.maxBlocks) failStream();
  cell_ = table_->cellAt(row_, column).firstCursorPosition();
  cellOpen_ = true;
}

void Reader::endCell() {
  if (!top().para.inTable && !table_) {
    // A \cell outside any table: keep the text apart at least.
    putChar(u'\t');
    return;
  }
  ensureCell();
  flushRun();
  applyBlock(cell_);
  cellOpen_ = false;
  ++col_;
}

void Reader::endRow() {
  if (!table_ || !rowOpen_) return;
  flushRun();
  cellOpen_ = false;
  rowOpen_ = false;
  const int cols = table_->columns();
  const int n = std::min<int>(int(rowDefs_.size()), cols);
  bool border = false;
  for (int i = 0; i < n; ++i) {
    const CellDef& def = rowDefs_[std::size_t(i)];
    border = border || def.border;
    if (const QColor bg = color(def.bg); bg.isValid() && cellColumn(i) < cols) {
      QTextTableCell cell = table_->cellAt(row_, cellColumn(i));
      QTextCharFormat f = cell.format();
      f.setBackground(bg);
      cell.setFormat(f);
    }
  }
  if (row_ == 0 || n == cols) {
    QTextTableFormat tf = table_->format();
    if (n == cols && n > 0) {
      QList<QTextLength> widths;
      int left = trLeft_;
      bool ok = true;
      for (int i = 0; i < n; ++i) {
        const int right = rowDefs_[std::size_t(i)].right;
        if (right <= left) ok = false;
        widths.append(QTextLength(QTextLength::FixedLength, std::clamp((right - left) / kTwipsPerPx, 1.0, 5000.0)));
        left = right;
      }
      if (ok) tf.setColumnWidthConstraints(widths);
    }
    if (border) {
      tf.setBorder(1);
      tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
      tf.setBorderBrush(Qt::black);
      tf.setBorderCollapse(true);
    }
    if (tf != table_->format()) table_->setFormat(tf);
  }
  // Cells wider than one column span the columns they cover.
  const int m = int(rowStart_.size());
  for (int i = 0; i < m; ++i) {
    const int first = rowStart_[std::size_t(i)];
    int last = i + 1 < m ? rowStart_[std::size_t(i + 1)] - 1 : first;
    if (i + 1 == m) {
      // The last cell reaches as far as its right edge goes.
      const int right = rowDefs_[std::size_t(i)].right;
      while (last + 1 < int(bounds_.size()) && bounds_[std::size_t(last)] < right - 30) ++last;
    }
    last = std::min(last, cols - 1);
    if (last > first && table_->cellAt(row_, first).columnSpan() == 1) table_->mergeCells(row_, first, 1, last - first + 1);
  }
  // Cells marked as merged: across the row, and down the columns.
  for (int i = 0; i < n;) {
    int span = 1;
    if (rowDefs_[std::size_t(i)].hMergeFirst)
      while (i + span < n && rowDefs_[std::size_t(i + span)].hMerge) ++span;
    const int first = cellColumn(i), last = std::min(cellColumn(i + span - 1), cols - 1);
    if (last > first && table_->cellAt(row_, first).columnSpan() == 1 && table_->cellAt(row_, last).columnSpan() == 1)
      table_->mergeCells(row_, first, 1, last - first + 1);
    i += span;
  }
  for (int i = 0; i < n; ++i) {
    const CellDef& def = rowDefs_[std::size_t(i)];
    const int c = cellColumn(i);
    if (c >= cols) break;
    int& start = vMergeStart_[std::size_t(c)];
    if (def.vMergeFirst) {
      start = row_;
    } else if (def.vMerge && start >= 0 && start < row_) {
      const QTextTableCell top = table_->cellAt(start, c);
      const QTextTableCell here = table_->cellAt(row_, c);
      if (top.column() == c && top.columnSpan() == 1 && here.column() == c && here.columnSpan() == 1)
        table_->mergeCells(start, c, row_ - start + 1, 1);
    } else {
      start = -1;
    }
  }
}

// Places the cells of a row under the table's columns by their right edges,
// so that a row with fewer, wider cells spans columns instead of leaving
// them empty. Without usable edges the cells go one to a column.
void Reader::mapRow() {
  rowStart_.clear();
  if (bounds_.empty() || rowDefs_.empty()) return;
  constexpr int kSlack = 30;  // twips: writers round edges differently
  int left = trLeft_;
  for (const CellDef& d : rowDefs_) {
    int c = 0;
    while (c < int(bounds_.size()) && bounds_[std::size_t(c)] <= left + kSlack) ++c;
    if (c >= int(bounds_.size()) || (!rowStart_.empty() && c <= rowStart_.back())) {
      rowStart_.clear();
      return;
    }
    rowStart_.push_back(c);
    left = d.right;
  }
}

int Reader::cellColumn(int cell) const {
  if (rowStart_.empty()) return cell;
  if (cell < int(rowStart_.size())) return rowStart_[std::size_t(cell)];
  return int(bounds_.size()) + cell - int(rowStart_.size());
}

void Reader::closeTable() {
  flushRun();
  if (rowOpen_) endRow();
  if (table_->rows() > row_ + 1) table_->removeRows(row_ + 1, table_->rows() - row_ - 1);
  table_ = nullptr;
  cellOpen_ = false;
  main_.movePosition(QTextCursor::End);
}

// ---------------------------------------------------------------- tables of the header

void Reader::commitFont() {
  if (!fontPending_) return;
  fontPending_ = false;
  auto it = fonts_.find(fontNum_);
  if (it != fonts_.end()) it->name = fontName_.trimmed();
  fontName_.clear();
  dirty_ = true;
}

// ---------------------------------------------------------------- pictures

void Reader::hexBytes(const unsigned char* s, const unsigned char* e) {
  Picture& pc = pict_;
  if (std::size_t(pc.data.size()) + std::size_t(e - s) / 2 > lim_.maxPictureBytes) failStream();
  const qsizetype start = pc.data.size();
  pc.data.resize(start + (e - s) / 2 + 1);
  char* out = pc.data.data() + start;
  int nib = pc.nibble;
  for (; s < e; ++s) {
    const std::uint8_t v = kHex[*s];
    if (v > 15) continue;
    if (nib < 0) {
      nib = v;
    } else {
      *out++ = char(nib << 4 | v);
      nib = -1;
    }
  }
  pc.nibble = nib;
  pc.data.resize(out - pc.data.data());
}

void Reader::finishPicture() {
  Picture pc = std::move(pict_);
  pict_ = Picture{};
  if (top().dest != Dest::Text || top().chr.hidden) return;
  if (++images_ > lim_.maxImages) failStream();

  QImage image;
  if ((pc.kind == PictKind::Png || pc.kind == PictKind::Jpeg) && !pc.data.isEmpty()) {
    QBuffer buffer(&pc.data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, pc.kind == PictKind::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    if (size.isValid()) {
      const std::int64_t pixels = std::int64_t(size.width()) * size.height();
      if (size.width() > lim_.maxImageSide || size.height() > lim_.maxImageSide || pixels > lim_.maxImagePixels)
        failStream();
      imagePixels_ += pixels;
      if (imagePixels_ > lim_.maxTotalImagePixels) failStream();
      image = reader.read();  // a damaged picture reads as a null image
    }
  }

  // Displayed size: the goal size scaled, else the picture's own size.
  double w = 0, h = 0;
  if (pc.goalw > 0 && pc.goalh > 0) {
    w = pc.goalw / kTwipsPerPx;
    h = pc.goalh / kTwipsPerPx;
  } else if (!image.isNull()) {
    w = image.width();
    h = image.height();
  } else if (pc.picw > 0 && pc.pich > 0) {
    // Metafiles give their extent in hundredths of a millimetre.
    const bool himetric = pc.kind == PictKind::Metafile;
    w = himetric ? pc.picw * 96.0 / 2540.0 : pc.picw;
    h = himetric ? pc.pich * 96.0 / 2540.0 : pc.pich;
  }
  if (pc.scalex > 0 && pc.scalex != 100) w = w * std::min(pc.scalex, 10000) / 100.0;
  if (pc.scaley > 0 && pc.scaley != 100) h = h * std::min(pc.scaley, 10000) / 100.0;
  w = std::clamp(w, 1.0, double(lim_.maxBoxSide));
  h = std::clamp(h, 1.0, double(lim_.maxBoxSide));

  if (image.isNull()) {
    // Nothing we can draw: a blank box of the picture's size keeps the layout.
    image = QImage(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
  }
  const QUrl name(QStringLiteral("rtfpict:%1").arg(images_));
  doc_->addResource(QTextDocument::ImageResource, name, image);
  QTextImageFormat f;
  f.setName(name.toString());
  f.setWidth(w);
  f.setHeight(h);
  prepareOutput();
  flushRun();
  out().insertImage(f);
  countChars(1);
}

// ---------------------------------------------------------------- plain text

void readPlain(const QByteArray& bytes, QTextDocument* doc) {
  static constexpr char bom[] = "\xEF\xBB\xBF";
  const bool utf8 = bytes.startsWith(bom);
  QByteArrayView body(bytes);
  if (utf8) body = body.sliced(3);
  // Text has no NUL bytes and few control characters; anything else is binary.
  qsizetype controls = 0;
  for (const char ch : body) {
    const auto b = std::uint8_t(ch);
    if (b == 0) failStream();
    if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != '\v' && b != 0x1A) ++controls;
  }
  if (controls * 20 > body.size()) failStream();
  QString text;
  if (utf8) {
    text = QString::fromUtf8(body);
  } else {
    const auto& t = singleByteTable(kCpDefault);
    text.resize(body.size());
    QChar* out = text.data();
    for (const char ch : body) *out++ = QChar(t[std::uint8_t(ch)]);
  }
  doc->setPlainText(text);
}

}  // namespace

bool isRtf(const QByteArray& bytes) { return bytes.startsWith("{\\rtf"); }

void readDocument(const QByteArray& bytes, QTextDocument* doc, const ReadLimits& limits) {
  if (std::size_t(bytes.size()) > limits.maxInputBytes) failStream();
  doc->clear();
  if (!isRtf(bytes)) {
    readPlain(bytes, doc);
    return;
  }
  const bool undo = doc->isUndoRedoEnabled();
  doc->setUndoRedoEnabled(false);
  QTextOption option = doc->defaultTextOption();
  option.setTabStopDistance(720 / 15.0);  // the usual default tab of half an inch
  doc->setDefaultTextOption(option);
  // One edit block for the whole read: outside of one, every insertion would
  // lay out its paragraph again to place the cursor, which grows with the
  // square of the paragraph's length.
  QTextCursor edit(doc);
  edit.beginEditBlock();
  struct EndEdit {
    QTextCursor& c;
    ~EndEdit() { c.endEditBlock(); }
  } endEdit{edit};
  Reader(bytes, doc, limits).run();
  doc->setUndoRedoEnabled(undo);
}

}  // namespace textview
