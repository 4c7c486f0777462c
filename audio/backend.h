// The devices underneath the sound interface. The station always runs on
// the SDL2 backend; tests install another one (a synthetic device with a
// known signal in and the played samples out) before recordInit().
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace audio {

// The one sample format every device delivers and takes: 44100 Hz,
// 2 channels, interleaved signed 16-bit.
constexpr int kRate = 44100;
constexpr int kChannels = 2;

class Backend {
 public:
  // Receives captured frames on the capture thread; must not block.
  using CaptureSink = std::function<void(const std::int16_t* frames, std::size_t count)>;
  // Fills `count` output frames on the output thread (silence when nothing plays).
  using OutputSource = std::function<void(std::int16_t* frames, std::size_t count)>;

  virtual ~Backend() = default;

  // The interface version this backend reports (kVersion for real ones).
  virtual std::uint32_t version() const;

  // Default recording device: open (kept closed until startCapture), close.
  // Return an ErrorCode (ErrOk on success).
  virtual int openCapture() = 0;
  virtual void closeCapture() = 0;
  // Starts delivering captured frames to sink until stopCapture() returns.
  virtual int startCapture(CaptureSink sink) = 0;
  virtual void stopCapture() = 0;

  // Default output device: opened once; pulls frames from source until closed.
  virtual int openOutput(OutputSource source) = 0;
  virtual void closeOutput() = 0;
};

// The backend in use; the SDL2 backend unless a test installed another one.
Backend& backend();
// Tests only: replaces the backend. Call before recordInit() / after free().
void setBackend(std::unique_ptr<Backend> b);

}  // namespace audio
