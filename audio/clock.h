// The one clock of the audio layer: the monotonic steady clock, read as
// nanoseconds. Every deadline, idle time and capture timestamp of the layer
// is taken from it, so that times from different threads compare.
#pragma once

#include <chrono>
#include <cstdint>

namespace audio {

using Clock = std::chrono::steady_clock;

// Nanoseconds on the steady clock (an arbitrary but fixed origin).
inline std::int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// Milliseconds on the same clock.
inline std::int64_t nowMs() { return nowNs() / 1'000'000; }

}  // namespace audio
