// The RTF reader: tokens from the lexer go to the destination of the
// innermost group, which changes that group's state (formats, tables,
// pictures) or collects its text. One pass with an explicit group stack;
// text is handed to QTextCursor one run of equal format at a time.
#pragma once

#include "textview/codepages.h"
#include "textview/rtfcommon.h"
#include "textview/rtfformats.h"
#include "textview/rtfkeywords.h"
#include "textview/rtflexer.h"
#include "textview/rtflists.h"
#include "textview/rtflisttable.h"
#include "textview/rtfpicture.h"
#include "textview/rtfstyles.h"
#include "textview/rtftable.h"
#include "textview/rtftextrun.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <array>
#include <memory>
#include <string_view>
#include <vector>

class QTextDocument;
class QTextFrame;

namespace textview::rtf {

// Where the text and control words of a group go.
enum class Dest : std::uint8_t {
  Text, Skip, FontTable, ColorTable, Pict, FieldInst, UprAnsi,
  StyleSheet, ListTable, ListOverrideTable, LevelText, ListText, Pn, PnText, ShapeInst,
};

// What a group inherits from its enclosing group and loses at its end.
struct State {
  CharProps chr;
  ParaProps para;
  Dest dest = Dest::Text;
  Dest uprOuter = Dest::Text;  // destination to go back to at \ud inside \upr
  int uc = 1;                  // characters that stand for one \u character
  std::uint32_t own = 0;       // properties the paragraph and its text set themselves (PropBit)
  std::uint8_t flow = 0;       // text boxes and notes open around the group
};

// The label a file writes before a list paragraph (\listtext, \pntext).
struct WrittenLabel {
  QString text;
  CharProps chr;
  bool given = false;
};

// A text box or a note: text that goes somewhere else than where it stands
// in the file, with its own tables.
struct Flow {
  Flow(TableBuilder::Host& host, const QTextCursor& at, const ColorTable& colors, Budget& budget)
      : cursor(at), tables(host, cursor, colors, budget) {}
  QTextCursor cursor;
  TableBuilder tables;
  QTextFrame* frame = nullptr;  // the text box; null for a note
};

class Reader final : private TableBuilder::Host {
 public:
  Reader(const QByteArray& bytes, QTextDocument* doc, const ReadLimits& limits);

  void run();

 private:
  // tokens (rtfreader.cpp)
  void symbol(unsigned char c);
  void hexByte(unsigned char b);
  void binary(const Token& t);
  void pushGroup();
  void popGroup();

  // control words by destination (rtfdestinations.cpp)
  void word(std::string_view name, bool hasParam, int param);
  void fontTableWord(Kw kw, bool hasParam, int param);
  void textWord(Kw kw, bool hasParam, int param);
  void endDestination(Dest d);

  // the style sheet, lists, numbering, shapes and notes (rtfstructure.cpp)
  bool structureWord(Kw kw, bool hasParam, int param);
  void styleSheetWord(Kw kw, bool hasParam, int param);
  void listTableWord(Kw kw, int param);
  void pnWord(Kw kw, int param);
  void shapeWord(Kw kw, int param);
  void labelWord(Kw kw, bool hasParam, int param);
  void endStructureGroup(Dest d);
  void placeList(QTextCursor& c, QTextBlockFormat& f);
  void startBox();
  void startNote();
  void endFlow();
  void noteMark();
  void appendNotes();
  TableBuilder& tb() { return flows_.empty() ? tables_ : flows_.back()->tables; }

  // text and paragraphs (rtfreader.cpp)
  void textBytes(const unsigned char* s, const unsigned char* e);
  void putChar(char16_t c);
  void refresh();
  void prepareOutput();
  void flushRun() override;
  void applyBlock(QTextCursor& c) override;
  void formatBlock(QTextCursor& c) override;
  QTextCharFormat charFormat(const CharProps& c) const;
  void paragraph();
  void endCell();
  void finishPicture();
  void commitFont();

  State& top() { return stack_.back(); }

  Lexer lexer_;
  QTextDocument* doc_;
  Budget budget_;

  // groups
  std::vector<State> stack_;
  bool star_ = false;  // \* seen: the next control word names an optional destination
  int skip_ = 0;       // characters still to skip after \u

  // document tables
  int ansiCp_ = kCpDefault;
  int deff_ = 0;
  FontTable fonts_;
  ColorTable colors_;
  QString fieldInst_;
  QStringList links_;

  // output
  QTextCursor main_;
  TableBuilder tables_;
  bool pageBreakNext_ = false;
  TextRun run_;
  bool dirty_ = true;  // state changed since the last text: recheck run and target
  PictureDecoder pictures_;

  // styles and lists
  StyleSheet styles_;
  std::size_t styleDepth_ = 0;  // group depth of \stylesheet
  ListTable lists_;
  ListOutput listOut_;
  WrittenLabel label_;
  PnDef pnBuild_;               // the \pn or \pnseclvl group being read
  int pnSecTarget_ = 0;         // its section level, 0 for a paragraph's \pn
  bool pnTextAfter_ = false;    // \pntxta (true) or \pntxtb
  std::array<PnDef, 10> pnSecLevels_;

  // text boxes and notes
  std::vector<std::unique_ptr<Flow>> flows_;
  std::unique_ptr<QTextDocument> notes_;
  QTextCursor notesEdit_;
  int notesOpen_ = 0;
  int noteNumber_ = 0;
  int boxes_ = 0;
  bool shapeHadText_ = false;
  int shpLeft_ = 0, shpRight_ = 0;
};

}  // namespace textview::rtf
