// The picture decoder: the properties and data of one \pict group (hex
// digits or \bin bytes), decoded into an image resource of the document
// when the group ends. PNG and JPEG are decoded; anything else, or a
// damaged picture, becomes a blank box of the picture's size.
#pragma once

#include "textview/rtfkeywords.h"
#include "textview/rtfreader.h"

#include <QByteArray>
#include <QTextFormat>
#include <cstdint>

class QTextDocument;

namespace textview::rtf {

class PictureDecoder {
 public:
  explicit PictureDecoder(const ReadLimits& limits) : lim_(limits) {}

  // \pict: a new picture begins.
  void start() { pict_ = Picture{}; }
  // A control word inside the picture group.
  void word(Kw kw, int param);
  // Picture data as hexadecimal digits (anything else between them is ignored).
  void appendHex(const unsigned char* s, const unsigned char* e);
  // Picture data as raw bytes.
  void appendBinary(const unsigned char* s, const unsigned char* e);

  // The picture is not shown: forget it.
  void discard() { pict_ = Picture{}; }
  // Decodes the picture into an image resource of `doc` and gives the format
  // that shows it at its size. Fails the read when the picture, or all of
  // the document's pictures together, go past the limits.
  QTextImageFormat finish(QTextDocument* doc);

 private:
  enum class Kind : std::uint8_t { None, Png, Jpeg, Metafile, Other };
  struct Picture {
    Kind kind = Kind::None;
    int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
    QByteArray data;
    int nibble = -1;  // pending high nibble of hex data
  };

  const ReadLimits& lim_;
  Picture pict_;
  int images_ = 0;
  std::int64_t imagePixels_ = 0;
};

}  // namespace textview::rtf
