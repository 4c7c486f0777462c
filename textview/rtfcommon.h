// What the parts of the RTF reader share: the one failure they report, the
// counters that hold a read to its ReadLimits, and the unit of RTF lengths.
#pragma once

#include "textview/richview.h"
#include "textview/rtfreader.h"

#include <algorithm>
#include <cstdint>

namespace textview::rtf {

inline constexpr double kTwipsPerPx = 15.0;  // 1440 twips an inch, 96 px an inch

inline int twipsToPx(std::int64_t twips) {
  return int(std::clamp<std::int64_t>(twips, -2'000'000, 2'000'000) / kTwipsPerPx);
}

// The whole read fails with this; the document is then left half-made.
[[noreturn]] inline void failStream() { throw LoadError(QStringLiteral("Failed to Load Stream")); }

// Characters and paragraphs put into the document so far, shared by the
// text runs, the paragraphs and the table cells. The read fails as soon as
// one of them goes past its limit.
class Budget {
 public:
  explicit Budget(const ReadLimits& limits) : limits_(limits) {}

  const ReadLimits& limits() const { return limits_; }

  void addChars(std::int64_t n) {
    chars_ += n;
    if (chars_ > limits_.maxChars) failStream();
  }
  void addBlock() {
    if (++blocks_ > limits_.maxBlocks) failStream();
  }

 private:
  const ReadLimits& limits_;
  std::int64_t chars_ = 0;
  std::int64_t blocks_ = 0;
};

}  // namespace textview::rtf
