#include "audio/silence.h"

#include <algorithm>

namespace audio {

void SilenceWatch::feed(const std::int16_t* frames, std::size_t count) {
  while (count > 0) {
    if (inWindow_ == 0) {
      low_[0] = high_[0] = frames[0];
      low_[1] = high_[1] = frames[1];
    }
    const std::size_t n = std::min(count, kWindowFrames - inWindow_);
    int lo0 = low_[0], hi0 = high_[0], lo1 = low_[1], hi1 = high_[1];
    for (std::size_t i = 0; i < n; ++i) {
      const int l = frames[2 * i], r = frames[2 * i + 1];
      lo0 = std::min(lo0, l), hi0 = std::max(hi0, l);
      lo1 = std::min(lo1, r), hi1 = std::max(hi1, r);
    }
    low_[0] = lo0, high_[0] = hi0, low_[1] = lo1, high_[1] = hi1;
    inWindow_ += n;
    frames += 2 * n;
    count -= n;
    if (inWindow_ == kWindowFrames) closeWindow();
  }
}

void SilenceWatch::closeWindow() {
  const bool quiet = high_[0] - low_[0] <= kQuietSpan && high_[1] - low_[1] <= kQuietSpan;
  if (quiet && runFrom_ == kNone) {
    runFrom_ = judged_;
    quietFrom_.store(runFrom_, std::memory_order_release);
  } else if (!quiet && runFrom_ != kNone) {
    // The ended run is written before the run going on is cleared, so that a
    // reader who sees no run going on finds where the last one ended.
    endedFrom_.store(runFrom_, std::memory_order_relaxed);
    endedTo_.store(judged_, std::memory_order_relaxed);
    runFrom_ = kNone;
    quietFrom_.store(kNone, std::memory_order_release);
  }
  judged_ += kWindowFrames;
  inWindow_ = 0;
  judgedSeen_.store(judged_, std::memory_order_release);
}

void SilenceWatch::restart() {
  inWindow_ = 0;
  if (runFrom_ != kNone) {
    endedFrom_.store(runFrom_, std::memory_order_relaxed);
    endedTo_.store(judged_, std::memory_order_relaxed);
    runFrom_ = kNone;
    quietFrom_.store(kNone, std::memory_order_release);
  }
}

SilenceWatch::Seen SilenceWatch::seen() const {
  Seen s;
  // Run first, then the count: a run read is never younger than the count.
  s.quietFrom = quietFrom_.load(std::memory_order_acquire);
  s.endedFrom = endedFrom_.load(std::memory_order_relaxed);
  s.endedTo = endedTo_.load(std::memory_order_relaxed);
  s.judged = judgedSeen_.load(std::memory_order_acquire);
  return s;
}

}  // namespace audio
