// Text that the reader puts somewhere else than where it stands in the
// file: text boxes, shown in place as framed blocks, and notes, whose texts
// go to the end of the document under a rule.

#include "textview/rtfreader_p.h"

#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>

namespace textview::rtf {

namespace {

constexpr std::size_t kMaxFlowDepth = 8;  // text boxes and notes inside each other
// Each frame costs Qt more the more frames the document has; past this many
// text boxes their text stays in line.
constexpr int kMaxBoxes = 200;

// A box that begins its paragraph leaves that paragraph's empty start
// before it; the box follows the paragraph before instead, outside tables.
void dropEmptyBlockBefore(QTextFrame* frame) {
  QTextCursor empty(frame->document());
  empty.setPosition(frame->firstPosition() - 1);
  if (empty.block().length() != 1 || empty.currentTable() || !empty.block().previous().isValid()) return;
  QTextCursor prev(empty.block().previous());
  if (prev.currentFrame() != empty.currentFrame() || prev.currentTable()) return;
  QTextCursor(empty.block()).deletePreviousChar();
}

}  // namespace

void Reader::startBox() {
  State& st = top();
  if (st.dest == Dest::ShapeInst) st.dest = Dest::Text;
  if (st.dest != Dest::Text) return;
  shapeHadText_ = true;
  if (flows_.size() >= kMaxFlowDepth || boxes_ >= kMaxBoxes) return;  // the text stays in line
  ++boxes_;
  prepareOutput();
  flushRun();
  budget_.addBlock();
  QTextCursor& outer = tb().out();
  QTextCursor at = outer;
  QTextFrameFormat f;
  f.setBorder(1);
  f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
  f.setBorderBrush(Qt::black);
  f.setPadding(4);
  f.setMargin(4);
  if (shpRight_ > shpLeft_)
    f.setWidth(QTextLength(QTextLength::FixedLength,
                           std::clamp(twipsToPx(std::int64_t(shpRight_) - shpLeft_), 20, budget_.limits().maxBoxSide)));
  QTextFrame* frame = at.insertFrame(f);
  // The paragraph the box stands in goes on after the box.
  outer.setPosition(frame->lastPosition() + 1);
  dropEmptyBlockBefore(frame);
  flows_.push_back(std::make_unique<Flow>(static_cast<TableBuilder::Host&>(*this), at, colors_, budget_));
  flows_.back()->frame = frame;
  listOut_.push();
  st.flow = std::uint8_t(flows_.size());
  st.para = ParaProps{};
  st.own &= ~kParaPropBits;
  dirty_ = true;
}

void Reader::startNote() {
  State& st = top();
  if (flows_.size() >= kMaxFlowDepth) {
    st.dest = Dest::Skip;
    return;
  }
  flushRun();
  if (!notes_) {
    notes_ = std::make_unique<QTextDocument>();
    notes_->setUndoRedoEnabled(false);
    notes_->setDefaultFont(doc_->defaultFont());
    notes_->setDefaultTextOption(doc_->defaultTextOption());
    notesEdit_ = QTextCursor(notes_.get());
    notesEdit_.beginEditBlock();  // as for the document: no layout while reading
  }
  QTextCursor at(notes_.get());
  at.movePosition(QTextCursor::End);
  if (!notes_->isEmpty()) {
    budget_.addBlock();
    at.insertBlock();
  }
  flows_.push_back(std::make_unique<Flow>(static_cast<TableBuilder::Host&>(*this), at, colors_, budget_));
  listOut_.push();
  ++notesOpen_;
  st.dest = Dest::Text;
  st.flow = std::uint8_t(flows_.size());
  st.para = ParaProps{};
  st.own &= ~kParaPropBits;
  dirty_ = true;
}

// The innermost text box or note ends: its last paragraph is finished, an
// empty one after its last paragraph mark dropped.
void Reader::endFlow() {
  flushRun();
  Flow& f = *flows_.back();
  if (f.tables.active()) f.tables.close();
  QTextCursor& c = f.cursor;
  const bool first = f.frame ? c.position() <= f.frame->firstPosition() : c.atStart();
  bool dropped = false;
  if (c.block().length() == 1 && !first && !label_.given) {
    QTextCursor prev(c.block().previous());
    if (prev.currentFrame() == c.currentFrame() && !prev.currentTable()) {
      c.deletePreviousChar();
      dropped = true;
    }
  }
  if (!dropped) applyBlock(c);
  if (!f.frame) --notesOpen_;
  listOut_.pop();
  flows_.pop_back();
  dirty_ = true;
}

// \chftn: the number of the note. In the text it is a superscript mark and
// counts the notes; in a note it repeats the number of its mark.
void Reader::noteMark() {
  if (top().dest != Dest::Text || top().chr.hidden) return;
  if (notesOpen_ == 0 && noteNumber_ < 1'000'000) ++noteNumber_;
  const QString number = QString::number(std::max(noteNumber_, 1));
  CharProps& chr = top().chr;
  const CharProps saved = chr;
  if (notesOpen_ == 0) chr.vert = 1;
  dirty_ = true;
  for (const QChar ch : number) putChar(ch.unicode());
  chr = saved;
  dirty_ = true;
}

// The notes at the end of the document, below a short rule.
void Reader::appendNotes() {
  if (!notes_) return;
  notesEdit_.endEditBlock();
  if (notes_->isEmpty()) return;
  budget_.addBlock();
  if (main_.block().length() > 1) main_.insertBlock();
  QTextBlockFormat rule;
  rule.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth, QTextLength(QTextLength::PercentageLength, 30));
  rule.setTopMargin(8);
  main_.setBlockFormat(rule);
  main_.setBlockCharFormat(QTextCharFormat());
  main_.insertBlock(QTextBlockFormat());
  main_.insertFragment(QTextDocumentFragment(notes_.get()));
}

}  // namespace textview::rtf
