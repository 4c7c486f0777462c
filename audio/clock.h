// The one clock of the audio layer: the monotonic steady clock, read as
// nanoseconds. Every deadline, idle time and capture timestamp of the layer
// is taken from it, so that times from different threads compare. The time
// of day is read only to tell people when something happened.
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

// The system clock (the time of day, which may be set), as milliseconds
// since 1970-01-01 UTC: only for telling people when something happened.
inline std::int64_t wallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace audio
