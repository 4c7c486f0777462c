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
#include "textview/rtfpicture.h"
#include "textview/rtftable.h"
#include "textview/rtftextrun.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <string_view>
#include <vector>

class QTextDocument;

namespace textview::rtf {

// Where the text and control words of a group go.
enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable, Pict, FieldInst, UprAnsi };

// What a group inherits from its enclosing group and loses at its end.
struct State {
  CharProps chr;
  ParaProps para;
  Dest dest = Dest::Text;
  Dest uprOuter = Dest::Text;  // destination to go back to at \ud inside \upr
  int uc = 1;                  // characters that stand for one \u character
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

  // text and paragraphs (rtfreader.cpp)
  void textBytes(const unsigned char* s, const unsigned char* e);
  void putChar(char16_t c);
  void refresh();
  void prepareOutput();
  void flushRun() override;
  void applyBlock(QTextCursor& c) override;
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
};

}  // namespace textview::rtf
