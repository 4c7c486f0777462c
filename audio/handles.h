// The handle tables shared by the recording and the playback side of the
// sound interface (audio/audio.cpp, audio/playback.cpp), and the last error
// of the calling thread. Not part of the interface: only audio/ includes it.
#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "audio/audio.h"
#include "audio/mixer.h"
#include "audio/recording.h"

namespace audio::detail {

// Set the calling thread's error code; false.
bool fail(int code);
// Clear it; true.
bool ok();

using Stream = MixerStream;

struct State {
  std::mutex tableMutex;  // handle tables (the capture thread never takes it)
  std::map<Handle, std::shared_ptr<Recording>> recordings;
  std::map<Handle, Handle> encoders;  // encoder handle -> recording handle
  std::map<Handle, std::shared_ptr<Stream>> streams;
  // The recording ended last, kept for recordStatus() until the next one.
  std::shared_ptr<Recording> lastEnded;
  Handle lastHandle = 0;
  bool captureOpen = false;
  bool outputOpen = false;
  bool outputRunning = false;
  bool outputWentAway = false;  // not yet told by outputLost()

  Mixer mixer;  // the playing streams (UI and output thread)

  Handle newHandle() {
    do ++lastHandle;
    while (lastHandle == 0 || recordings.count(lastHandle) || streams.count(lastHandle) ||
           encoders.count(lastHandle));
    return lastHandle;
  }
};

State& state();

std::shared_ptr<Recording> findRecording(Handle h);
// A running recording, or the one ended last.
std::shared_ptr<Recording> findRecordingOrLast(Handle h);
std::shared_ptr<Stream> findStream(Handle h);

// Playback side (audio/playback.cpp).
// Nothing plays on an output device that has gone away: it is released,
// and the next play opens the default device afresh.
void dropLostOutput();
// Releases the output device once nothing has played for a while, so an
// idle station does not keep a device stream running.
void settleOutput(bool force = false);
void unplay(const std::shared_ptr<Stream>& st);
// Output thread: mixes every playing stream into the device's block.
bool mix(std::int16_t* out, std::size_t count);

}  // namespace audio::detail
