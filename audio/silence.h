// The microphone that is there and gives nothing: a mute switch, a broken
// lead, a USB headset that stalls. The capture thread judges every tenth of
// a second of what the device delivers; a tenth is quiet when no channel
// moves by more than kQuietSpan steps of a 16-bit sample between its lowest
// and highest value (a constant offset is quiet too). A run of quiet tenths
// long enough is near-digital silence; any tenth with sound ends the run.
//
// Why these figures: a muted input gives zeros, or the converter's own
// noise of one or two steps; a pause in speech over the quietest room noise
// a microphone picks up (pink noise with peaks at -60 dBFS, -73 dBFS RMS)
// still spans at least 35 steps in every tenth of a second (10 minutes of
// it, measured). kQuietSpan = 8 lies 12 dB under that and 6 dB over a
// dithered muted input. kWarnFrames = 2 s of quiet in a row: a muted
// microphone is told within 3 s with the look every 0.2 s, while nothing a
// speaker does in a room is digital silence for that long.
//
// The capture thread writes, any thread reads; nothing here waits.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace audio {

class SilenceWatch {
 public:
  static constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
  static constexpr int kFramesPerSecond = 44100;
  static constexpr std::size_t kWindowFrames = kFramesPerSecond / 10;
  static constexpr int kQuietSpan = 8;
  static constexpr std::uint64_t kWarnFrames = 20 * kWindowFrames;  // 2 s

  // What a reader sees, in frames judged since the capture began.
  struct Seen {
    std::uint64_t judged = 0;           // frames judged so far (whole tenths)
    std::uint64_t quietFrom = kNone;    // where the quiet run going on now began
    std::uint64_t endedFrom = kNone;    // the last quiet run that has ended ...
    std::uint64_t endedTo = kNone;      // ... and where the sound came back
    // Quiet long enough to be told.
    bool silent() const { return quietFrom != kNone && judged - quietFrom >= kWarnFrames; }
  };

  // Capture thread: judges interleaved stereo frames.
  void feed(const std::int16_t* frames, std::size_t count);
  // The quiet run (if any) ends here, as when the device goes away; what is
  // judged next starts a fresh tenth. Only while nothing feeds.
  void restart();

  Seen seen() const;

 private:
  void closeWindow();

  // Capture thread only.
  std::size_t inWindow_ = 0;
  int low_[2] = {0, 0}, high_[2] = {0, 0};
  std::uint64_t judged_ = 0;
  std::uint64_t runFrom_ = kNone;

  std::atomic<std::uint64_t> judgedSeen_{0};
  std::atomic<std::uint64_t> quietFrom_{kNone};
  std::atomic<std::uint64_t> endedFrom_{kNone};
  std::atomic<std::uint64_t> endedTo_{kNone};
};

}  // namespace audio
