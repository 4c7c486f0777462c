// RTF reader: the token loop, the group stack, text runs into paragraphs and
// cells, and the entry point that also takes plain text.

#include "textview/rtfreader.h"

#include "textview/codepages.h"
#include "textview/rtfreader_p.h"

#include <QTextDocument>

namespace textview {

namespace rtf {

Reader::Reader(const QByteArray& bytes, QTextDocument* doc, const ReadLimits& limits)
    : lexer_(reinterpret_cast<const unsigned char*>(bytes.constData()),
             reinterpret_cast<const unsigned char*>(bytes.constData()) + bytes.size()),
      doc_(doc),
      budget_(limits),
      main_(doc),
      tables_(*this, main_, colors_, budget_),
      run_(budget_),
      pictures_(limits),
      listOut_(budget_) {}

void Reader::run() {
  stack_.reserve(64);
  stack_.emplace_back();
  stack_.back().dest = Dest::Skip;  // nothing counts before the first group
  main_.movePosition(QTextCursor::End);
  bool started = false;
  for (Token t = lexer_.next(); t.kind != Token::End; t = lexer_.next()) {
    if (t.kind == Token::Close && stack_.size() == 1) break;  // end of the document
    switch (t.kind) {
      case Token::Open:
        if (!started) {
          started = true;
          top().dest = Dest::Text;
        } else {
          pushGroup();
        }
        break;
      case Token::Close:
        popGroup();
        break;
      case Token::Word: word(t.name, t.hasParam, t.param); break;
      case Token::Symbol: symbol(t.symbol); break;
      case Token::Byte: hexByte(t.symbol); break;
      case Token::Binary: binary(t); break;
      case Token::Text:
        switch (top().dest) {
          case Dest::Text: case Dest::FontTable: case Dest::ColorTable: case Dest::FieldInst:
          case Dest::LevelText: case Dest::ListText: case Dest::PnText:
            textBytes(t.begin, t.end);
            break;
          case Dest::Pict:
            pictures_.appendHex(t.begin, t.end);
            break;
          default:
            break;
        }
        break;
      case Token::End: break;
    }
  }
  // A missing closing brace is forgiven: close whatever is still open.
  while (stack_.size() > 1) popGroup();
  flushRun();
  if (tables_.active()) tables_.close();
  applyBlock(main_);
  appendNotes();
}

// ---------------------------------------------------------------- tokens

void Reader::pushGroup() {
  if (int(stack_.size()) >= budget_.limits().maxGroupDepth) failStream();
  if (top().dest == Dest::StyleSheet && stack_.size() == styleDepth_) styles_.begin();
  stack_.push_back(stack_.back());
  star_ = false;
  skip_ = 0;
  dirty_ = true;
}

void Reader::popGroup() {
  const Dest d = top().dest;
  if (d == Dest::FontTable) commitFont();
  // A text box or note ends with the group that began it, in its own state.
  if (top().flow > stack_[stack_.size() - 2].flow) endFlow();
  if (d == Dest::ListText) label_.chr = top().chr;  // the label's format
  stack_.pop_back();
  if (d != top().dest) {
    endDestination(d);
    endStructureGroup(d);
  }
  star_ = false;
  skip_ = 0;
  dirty_ = true;
}

void Reader::symbol(unsigned char c) {
  if (c == '*') {
    star_ = true;
    return;
  }
  star_ = false;
  const Dest d = top().dest;
  if (d == Dest::Skip || d == Dest::Pict || d == Dest::UprAnsi || d == Dest::StyleSheet || d == Dest::ShapeInst ||
      d == Dest::ListTable || d == Dest::ListOverrideTable || d == Dest::Pn)
    return;
  if (c == '\\' || c == '{' || c == '}') {
    textBytes(&c, &c + 1);
    return;
  }
  if (d != Dest::Text && d != Dest::ListText && d != Dest::PnText) return;
  switch (c) {
    case '~': putChar(0x00A0); break;
    case '-': putChar(0x00AD); break;
    case '_': putChar(0x2011); break;
    case '\r': case '\n': paragraph(); break;
    case '\t': putChar(u'\t'); break;
    default: break;
  }
}

void Reader::hexByte(unsigned char b) {
  star_ = false;
  const Dest d = top().dest;
  if (d == Dest::Text || d == Dest::FontTable || d == Dest::FieldInst || d == Dest::LevelText ||
      d == Dest::ListText || d == Dest::PnText)
    textBytes(&b, &b + 1);
}

// \bin data belongs to a picture or is skipped.
void Reader::binary(const Token& t) {
  if (t.binLength <= 0) return;
  if (std::uint64_t(t.binLength) > budget_.limits().maxPictureBytes) failStream();
  if (top().dest == Dest::Pict) pictures_.appendBinary(t.begin, t.end);
  else if (skip_ > 0) --skip_;  // a \bin run counts as one character to skip
}

// ---------------------------------------------------------------- text

// Brings the run and the output target up to date after a state change.
void Reader::refresh() {
  const State& st = top();
  if (st.dest == Dest::Text) {
    prepareOutput();
    if (!(st.chr == run_.props)) {
      flushRun();
      run_.props = st.chr;
    }
  }
  const int font = st.dest == Dest::FontTable ? fonts_.current() : st.chr.font;
  run_.setCodePage(fonts_.codePage(font, deff_, ansiCp_));
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
    for (; s < e; ++s)
      if (*s == ';') colors_.endEntry();
    return;
  }
  if (d == Dest::Text) {
    if (!top().chr.hidden) run_.appendBytes(s, e);
    return;
  }
  if (d == Dest::LevelText) {
    // Kept as bytes: the level's font, which decodes them, may come later.
    if (std::u16string* t = lists_.levelText())
      for (; s < e && t->size() < 64; ++s) t->push_back(char16_t(0xF000 | *s));
    return;
  }
  run_.flushMultiByte();
  QString& target = d == Dest::FontTable ? fonts_.name()
                    : d == Dest::ListText ? label_.text
                    : d == Dest::PnText ? (pnTextAfter_ ? pnBuild_.after : pnBuild_.before)
                                        : fieldInst_;
  if (target.size() > 4096) return;
  appendDecoded(target, s, e, run_.table());
  if (d == Dest::FontTable) {
    const qsizetype semi = target.indexOf(u';');
    if (semi >= 0) {
      target.truncate(semi);
      commitFont();
    }
  }
}

void Reader::putChar(char16_t c) {
  if (dirty_) refresh();
  const Dest d = top().dest;
  if (d == Dest::FontTable) {
    if (fonts_.pending() && fonts_.name().size() < 256) fonts_.name().append(QChar(c));
    return;
  }
  if (d == Dest::FieldInst) {
    if (fieldInst_.size() < 4096) fieldInst_.append(QChar(c));
    return;
  }
  if (d == Dest::LevelText) {
    if (std::u16string* t = lists_.levelText()) t->push_back(c);
    return;
  }
  if (d == Dest::ListText || d == Dest::PnText) {
    QString& t = d == Dest::ListText ? label_.text : (pnTextAfter_ ? pnBuild_.after : pnBuild_.before);
    if (t.size() < 64) t.append(QChar(c));
    return;
  }
  if (d != Dest::Text || top().chr.hidden) return;
  run_.appendChar(c);
}

void Reader::commitFont() {
  if (fonts_.commit()) dirty_ = true;
}

void Reader::flushRun() {
  const QString text = run_.take();
  if (text.isEmpty()) return;
  tb().out().insertText(text, charFormat(run_.props));
}

QTextCharFormat Reader::charFormat(const CharProps& c) const {
  return rtf::charFormat(c, fonts_, deff_, colors_, links_);
}

// Gives the block under the cursor the current paragraph format and, for an
// empty paragraph, the character format that sets its height.
void Reader::applyBlock(QTextCursor& c) {
  // A new block starts with the formats of the one before it, so most
  // paragraphs need no change at all.
  const State& st = top();
  QTextBlockFormat f = blockFormat(st.para, pageBreakNext_);
  pageBreakNext_ = false;
  if (const QTextCharFormat cf = charFormat(st.chr); c.blockCharFormat() != cf) c.setBlockCharFormat(cf);
  if (st.para.ls > 0 || st.para.pn.level != PnDef::None || label_.given) placeList(c, f);
  else lists_.breakPn();
  if (c.blockFormat() != f) c.setBlockFormat(f);
}

void Reader::formatBlock(QTextCursor& c) {
  if (const QTextBlockFormat f = blockFormat(top().para, pageBreakNext_); c.blockFormat() != f) c.setBlockFormat(f);
  pageBreakNext_ = false;
}

void Reader::paragraph() {
  if (dirty_) refresh();
  if (top().dest != Dest::Text) return;
  flushRun();
  budget_.addBlock();
  QTextCursor& c = tb().out();
  applyBlock(c);
  c.insertBlock();
}

// Makes sure the output goes where the paragraph belongs: into the open
// table cell for a table paragraph, after the table otherwise.
void Reader::prepareOutput() {
  if (top().para.inTable) tb().ensureCell();
  else if (tb().active()) tb().close();
}

void Reader::endCell() {
  if (!top().para.inTable && !tb().active()) {
    // A \cell outside any table: keep the text apart at least.
    putChar(u'\t');
    return;
  }
  tb().endCell();
}

void Reader::finishPicture() {
  if (top().dest != Dest::Text || top().chr.hidden) {
    pictures_.discard();
    return;
  }
  const QTextImageFormat f = pictures_.finish(doc_);
  prepareOutput();
  flushRun();
  tb().out().insertImage(f);
  budget_.addChars(1);
}

}  // namespace rtf

// ---------------------------------------------------------------- entry

namespace {

using rtf::failStream;

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
  rtf::Reader(bytes, doc, limits).run();
  doc->setUndoRedoEnabled(undo);
}

}  // namespace textview
