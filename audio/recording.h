// One recording of the sound interface: what the capture thread hands to the
// encoder, and the watch thread that keeps the recording going when its
// device goes away (silence in real time, the default device tried again)
// and notes the device it records from.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/encoder.h"
#include "audio/silence.h"

namespace audio {

// How often the watch thread looks at a device that delivers (a lost one is
// noticed within this; the silence that stands for it starts where its
// sound ended all the same), how often it hands on silence while the device
// is missing, how often it tries a missing one again, and how often it asks
// for the device's name.
constexpr int kWatchCapturingMs = 250;
constexpr int kWatchTickMs = 100;
constexpr int kReopenEveryMs = 500;
constexpr int kNameEveryMs = 1000;

struct Recording {
  Handle handle = 0;
  Handle encoderHandle = 0;
  RecordProc proc = nullptr;
  void* user = nullptr;
  // The device delivers: set by recordStart, then only by the watch thread
  // until it has been joined.
  std::atomic<bool> capturing{false};
  std::atomic<bool> paused{true};   // frames are dropped until channelPlay
  std::atomic<bool> ended{false};   // the record proc asked to end, or the encoder ended
  std::atomic<bool> endedInGap{false};  // ... while the device was missing
  std::unique_ptr<Encoder> encoderOwner;
  std::atomic<Encoder*> encoder{nullptr};  // read by the capture thread

  // Frames handed on (captured and silence); written by whichever thread
  // feeds the encoder right now (the capture thread, or the watch thread in
  // a gap), read by anyone.
  std::atomic<std::uint64_t> frames{0};
  // Steady clock when the last captured block arrived (or the capture started).
  std::atomic<std::int64_t> lastBlockNs{0};
  // Near-digital silence in what the device delivers (the silence that
  // stands in for a missing device is not judged: that loss is told as such).
  SilenceWatch silence;

  ~Recording();

  // Starts the device on this recording (any thread that may start it).
  int startCapture();
  // Starts the watch thread (once, after the capture has started).
  void startWatch();
  // Stops the watch thread: a missing device's silence is brought up to
  // now and its gap closed. Returns once the thread has ended; afterwards
  // `capturing` tells whether the caller must still stop the device.
  void stopWatch();

  RecordStatus status() const;
  std::vector<RecordEvent> takeEvents();

 private:
  void watchLoop();
  void deviceGone(std::int64_t now);
  bool deviceBack();
  void padSilence(std::int64_t until);
  void lookAtName();
  std::int64_t positionMs() const;

  std::thread watch_;
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  bool stopping_ = false;  // guarded by wakeMutex_

  // Watch thread only.
  std::int64_t gapStartNs_ = 0;        // steady clock where the silence began
  std::uint64_t silenceFrames_ = 0;    // silence handed on since then
  std::vector<std::int16_t> silence_;  // one block of it

  // What the user-interface thread reads (the capture thread never takes it).
  mutable std::mutex infoMutex_;
  RecordStatus info_;
  std::vector<RecordEvent> events_;
};

// The recording the capture (or watch) thread is feeding right now: lets
// encodeIsActive() answer the record proc without any lock.
extern thread_local Recording* capturingNow;

// The device name last seen by any recording (or by recordInit).
QString lastCaptureDeviceName();
void noteCaptureDeviceName(const QString& name);

}  // namespace audio
