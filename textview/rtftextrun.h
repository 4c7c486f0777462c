// The text run: characters of one character format, collected until the
// format changes or the output moves, then written out in one insertion.
// 8-bit text is decoded through the code page of the run's font; the bytes
// of a multi-byte code page are held until the run is written out, since a
// character's bytes may come in separate \'hh escapes.
#pragma once

#include "textview/codepages.h"
#include "textview/rtfcommon.h"
#include "textview/rtfformats.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <array>
#include <map>

namespace textview::rtf {

// Appends the printable bytes of [s, e) (and tabs) to `target` through a
// single-byte code page table; other control bytes are dropped.
void appendDecoded(QString& target, const unsigned char* s, const unsigned char* e,
                   const std::array<char16_t, 256>& table);

class TextRun {
 public:
  explicit TextRun(Budget& budget) : budget_(budget) {}

  CharProps props;  // format of the run

  // Code page for the bytes that follow.
  void setCodePage(int cp);
  int codePage() const { return cp_; }
  const std::array<char16_t, 256>& table() const { return *table8_; }

  // Text in the run's code page.
  void appendBytes(const unsigned char* s, const unsigned char* e);
  // A character given as such (\u, special characters).
  void appendChar(char16_t c);
  // Decodes the multi-byte text held so far into the run.
  void flushMultiByte() {
    if (!mbBytes_.isEmpty()) decodeMultiByte();
  }

  // The whole run, multi-byte text decoded; the run is empty after.
  QString take();

 private:
  void decodeMultiByte();

  Budget& budget_;
  QString text_;
  const std::array<char16_t, 256>* table8_ = nullptr;
  int cp_ = kCpDefault;
  bool multiByte_ = false;  // isMultiByte(cp_)
  QByteArray mbBytes_;  // bytes of a multi-byte code page waiting for decoding
  int mbCp_ = 0;
  std::map<int, QStringDecoder> mbDecoders_;
};

}  // namespace textview::rtf
