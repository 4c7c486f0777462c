// The task-text reader: RTF (or plain text) bytes in, a QTextDocument out.
#pragma once

#include <QByteArray>
#include <QTextFormat>
#include <cstddef>
#include <cstdint>

class QTextDocument;

namespace textview {

// Bounds that keep a hostile or broken file from exhausting the station.
// A file that goes past one of them fails to load as a whole
// ("Failed to Load Stream"); a picture that merely cannot be decoded is
// shown as a blank box instead.
struct ReadLimits {
  std::size_t maxInputBytes = 64u << 20;     // whole file
  int maxGroupDepth = 256;                   // nesting of { }
  std::size_t maxPictureBytes = 32u << 20;   // one picture's data (hex or \bin)
  std::int64_t maxImagePixels = 50'000'000;  // one decoded picture
  int maxImageSide = 20000;                  // width or height of a decoded picture, px
  std::int64_t maxTotalImagePixels = 150'000'000;
  int maxImages = 4000;
  int maxBoxSide = 10000;                    // displayed picture width or height, px
  std::int64_t maxChars = 8'000'000;         // characters put into the document
  std::int64_t maxBlocks = 100'000;          // paragraphs, table cells included
  int maxColumns = 64;                       // cells in one table row
  std::int64_t maxCells = 20'000;            // table cells in the whole document
};

// A picture the reader cannot draw is shown as a blank box of its size; its
// image format carries kBlankPicture with the reason (an int, BlankPicture),
// so that a tool can tell staff about it. Rendering does not look at it.
inline constexpr int kBlankPicture = QTextFormat::UserProperty + 0x100;
enum class BlankPicture : int {
  Damaged = 1,  // PNG or JPEG data that does not decode (or no data)
  Metafile,     // WMF or EMF, which the reader does not draw
  Unsupported,  // any other kind of picture, or none named
};

// True when the bytes are an RTF document (they begin with "{\rtf").
bool isRtf(const QByteArray& bytes);

// Replaces the content of `doc` with the document in `bytes`: RTF when
// isRtf(), otherwise plain text (Windows-1251, or UTF-8 after a UTF-8 byte
// order mark). Throws LoadError("Failed to Load Stream") when the bytes break
// a limit or are not text at all; `doc` is then left in an unspecified state.
void readDocument(const QByteArray& bytes, QTextDocument* doc, const ReadLimits& limits = {});

}  // namespace textview
