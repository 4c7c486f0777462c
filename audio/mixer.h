// The output mixer: every playback stream that plays right now, summed into
// the output device's blocks on the output thread. The user-interface
// thread adds and removes streams; one lock guards the list and the
// streams' positions, held by the output thread only while it mixes a block.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/stream.h"

namespace audio {

// A playback stream: a file reader and where it stands.
struct MixerStream {
  std::uint32_t handle = 0;
  std::unique_ptr<FileReader> reader;
  bool playing = false;  // guarded by the mixer's lock
  bool atEnd = false;    // played to its end (guarded by the mixer's lock)
};

class Mixer {
 public:
  // Output thread: fills `count` frames with the sum of every playing
  // stream; streams that reach their end stop. False (and silence) when
  // nothing plays.
  bool mix(std::int16_t* out, std::size_t count);

  // Adds st to the playing streams: from its start with restart, or when it
  // has played to its end; otherwise on from where it stopped.
  void play(const std::shared_ptr<MixerStream>& st, bool restart);
  // Takes st off the playing streams (it keeps its position).
  void remove(const std::shared_ptr<MixerStream>& st);
  // Stops every stream.
  void clear();

  bool idle();                                   // nothing plays
  bool playing(const std::shared_ptr<MixerStream>& st);
  // Steady-clock time of the last block that had sound in it.
  std::int64_t lastPlayedNs() const { return lastPlayedNs_.load(std::memory_order_relaxed); }

 private:
  std::mutex mutex_;
  std::vector<std::shared_ptr<MixerStream>> playing_;
  std::vector<float> mixBuf_, readBuf_;
  std::atomic<std::int64_t> lastPlayedNs_{0};
};

}  // namespace audio
