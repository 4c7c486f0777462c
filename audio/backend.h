// The devices underneath the sound interface. The station always runs on
// the SDL2 backend; tests install another one (a synthetic device with a
// known signal in and the played samples out, tests/support) before
// recordInit() and after free().
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace audio {

// The one sample format every device delivers and takes: 44100 Hz,
// 2 channels, interleaved signed 16-bit.
constexpr int kRate = 44100;
constexpr int kChannels = 2;

class Backend {
 public:
  // Receives captured frames on the capture thread; must not block. Returns
  // whether the frames went into the recording (not while it is paused
  // waiting for its encoder, nor once it has ended).
  using CaptureSink = std::function<bool(const std::int16_t* frames, std::size_t count)>;
  // Fills `count` output frames on the output thread; returns false when
  // nothing was playing (the frames are then silence).
  using OutputSource = std::function<bool(std::int16_t* frames, std::size_t count)>;

  virtual ~Backend() = default;

  // The interface version this backend reports (kVersion for real ones).
  virtual std::uint32_t version() const;

  // Default recording device. openCapture checks that it can be used;
  // startCapture makes it deliver frames to sink until stopCapture, which
  // first lets the sound already on its way arrive and returns only when
  // sink will not be called any more. Return an ErrorCode (ErrOk on success).
  // A running recording's watch thread calls startCapture, stopCapture,
  // captureLost and captureDeviceName while the user-interface thread may
  // use the output device: the two devices must not disturb each other.
  virtual int openCapture() = 0;
  virtual void closeCapture() = 0;
  virtual int startCapture(CaptureSink sink) = 0;
  virtual void stopCapture() = 0;
  // The device of the running capture has gone away (unplugged, sound
  // server ended): it delivers nothing more. Any thread.
  virtual bool captureLost() const { return false; }
  // The name of the default recording device as the sound system calls it
  // (UTF-8), empty when it cannot tell. May take a moment: never called on
  // the capture thread.
  virtual std::string captureDeviceName() { return {}; }

  // Default output device. openOutput checks it and keeps source;
  // startOutput runs the device, pulling frames from source, until
  // stopOutput, after whose return source is not called any more.
  virtual int openOutput(OutputSource source) = 0;
  virtual void closeOutput() = 0;
  virtual int startOutput() = 0;
  virtual void stopOutput() = 0;
  // The running output device has gone away; stopOutput() releases it and
  // the next startOutput() opens the default device afresh.
  virtual bool outputLost() const { return false; }
};

// The backend in use; the SDL2 backend unless a test installed another one.
Backend& backend();
// Tests only: replaces the backend (null: back to SDL2). Call while neither
// device is initialised (before recordInit()/init(), after recordFree()/free()).
void setBackend(std::unique_ptr<Backend> b);

}  // namespace audio
