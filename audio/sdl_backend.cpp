#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "audio/audio.h"
#include "audio/backend.h"
#include "audio/clock.h"

namespace audio {

std::uint32_t Backend::version() const { return kVersion; }

namespace {

// Small device blocks keep the capture latency low, so that the beginning
// and the end of an answer reach the file (about 12 ms and 23 ms).
constexpr int kCaptureBlockFrames = 1024;
// The output block is also what the sound server keeps queued for us: with
// 1024 frames PulseAudio held 17 ms, and on a busy machine SDL's output
// thread came late often enough that the server ran dry and played its own
// silence in the middle of an answer (a stutter, and a review 0.3 s longer
// than the answer). 4096 frames (93 ms) leave the thread that much slack;
// a press of play or stop is heard at most that much later.
constexpr int kOutputBlockFrames = 4096;
// On stop, the capture runs on until the sound of the moment of the stop has
// arrived: as many frames as the clock says since the first block, plus this
// tail for the way through the sound server; bounded in time. A capture that
// has fallen behind (the server delivering late) thus catches up first.
constexpr std::size_t kStopTailFrames = 2048;
constexpr std::int64_t kStopTailLimitNs = 1'000'000'000;

// Default devices through SDL2's audio subsystem only.
//
// The capture device is opened and closed by the user-interface thread or
// by a recording's watch thread, the output device by the user-interface
// thread: one lock keeps SDL's subsystem (which a failed open may restart)
// and the device table consistent between them. The lost-device checks only
// read a device's status and take no lock: a device that is open is never
// closed by the other thread, and the subsystem restarts only while neither
// device is open.
class SdlBackend final : public Backend {
 public:
  ~SdlBackend() override {
    stopCapture();
    stopOutput();
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  int openCapture() override {
    std::lock_guard lock(sdl_);
    if (!initSubsystem()) return ErrDriver;
    // The only sure test of "the default recording device can be used" is
    // to open it.
    const SDL_AudioDeviceID dev = openDevice(true, &SdlBackend::captureCallback);
    if (dev == 0) return ErrDevice;
    SDL_CloseAudioDevice(dev);
    return ErrOk;
  }
  void closeCapture() override { stopCapture(); }

  int startCapture(CaptureSink sink) override {
    std::lock_guard lock(sdl_);
    if (cap_ != 0) return ErrAlready;
    if (!initSubsystem()) return ErrDriver;
    sink_ = std::move(sink);
    delivered_ = 0;
    firstBlockNs_ = 0;
    const SDL_AudioDeviceID dev = openDevice(true, &SdlBackend::captureCallback);
    if (dev == 0) {
      sink_ = nullptr;
      return ErrDevice;
    }
    cap_ = dev;
    SDL_PauseAudioDevice(dev, 0);
    return ErrOk;
  }

  bool captureLost() const override {
    const SDL_AudioDeviceID dev = cap_;
    return dev != 0 && SDL_GetAudioDeviceStatus(dev) == SDL_AUDIO_STOPPED;
  }
  bool outputLost() const override {
    const SDL_AudioDeviceID dev = out_;
    return dev != 0 && SDL_GetAudioDeviceStatus(dev) == SDL_AUDIO_STOPPED;
  }

  // SDL tells the default device's name from 2.24 on; on PulseAudio only
  // when monitors count as recording devices (set in initSubsystem), since
  // a monitor may well be the default source. SDL 2.26 may lose track of
  // the default source once it has been removed and added again: the name
  // is then empty, and the recording keeps the last one it knew.
  std::string captureDeviceName() override {
    std::lock_guard lock(sdl_);
    if (!initialised_) return {};
    char* name = nullptr;
    SDL_AudioSpec spec{};
    std::string result;
    if (SDL_GetDefaultAudioInfo(&name, &spec, 1) == 0 && name) result = name;
    SDL_free(name);
    return result;
  }

  void stopCapture() override {
    if (cap_ == 0) return;
    if (captureLost()) {
      // Nothing more comes from a device that has gone away.
      closeCaptureDevice();
      return;
    }
    const std::int64_t now = nowNs();
    std::size_t target = delivered_.load() + kStopTailFrames;
    if (const std::int64_t first = firstBlockNs_.load(); first != 0) {
      const double since = double(now - first) * 1e-9;
      target = std::max(target, firstBlockFrames_ + std::size_t(since * kRate) + kStopTailFrames);
    }
    const std::int64_t limit = now + kStopTailLimitNs;
    while (delivered_.load() < target && nowNs() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    // Closing joins SDL's capture thread: no callback runs after this.
    closeCaptureDevice();
  }

  int openOutput(OutputSource source) override {
    std::lock_guard lock(sdl_);
    if (!initSubsystem()) return ErrDriver;
    const SDL_AudioDeviceID dev = openDevice(false, &SdlBackend::outputCallback);
    if (dev == 0) return ErrDevice;
    SDL_CloseAudioDevice(dev);
    source_ = std::move(source);
    return ErrOk;
  }
  void closeOutput() override {
    stopOutput();
    source_ = nullptr;
  }
  int startOutput() override {
    std::lock_guard lock(sdl_);
    if (out_ != 0) return ErrOk;
    if (!source_) return ErrInit;
    const SDL_AudioDeviceID dev = openDevice(false, &SdlBackend::outputCallback);
    if (dev == 0) return ErrDevice;
    out_ = dev;
    SDL_PauseAudioDevice(dev, 0);
    return ErrOk;
  }
  void stopOutput() override {
    std::lock_guard lock(sdl_);
    if (out_ == 0) return;
    SDL_CloseAudioDevice(out_);
    out_ = 0;
  }

 private:
  void closeCaptureDevice() {
    std::lock_guard lock(sdl_);
    SDL_CloseAudioDevice(cap_);
    cap_ = 0;
    sink_ = nullptr;
  }

  // A device that cannot be opened may be one that came back after the
  // sound server or the device went away: SDL's audio subsystem still holds
  // the dead connection. With none of our devices open, the subsystem is
  // started afresh and the device tried once more. Not when the server has
  // answered and only the device is missing: the connection is good then,
  // and SDL 2.26 crashes starting its PulseAudio driver on a server without
  // a default source or sink.
  SDL_AudioDeviceID openDevice(bool capture, SDL_AudioCallback callback) {
    if (const SDL_AudioDeviceID dev = tryOpenDevice(capture, callback)) return dev;
    if (cap_ != 0 || out_ != 0 || serverAnsweredWithoutDevice()) return 0;
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    initialised_ = false;
    if (!initSubsystem()) return 0;
    return tryOpenDevice(capture, callback);
  }
  // Right after a failed open: the PulseAudio server is there, but it has
  // no device of that kind to connect to.
  static bool serverAnsweredWithoutDevice() {
    const char* driver = SDL_GetCurrentAudioDriver();
    return driver && std::strcmp(driver, "pulseaudio") == 0 &&
           std::strstr(SDL_GetError(), "Could not connect PulseAudio stream") != nullptr;
  }
  // The default device (SDL's null name) in our format; SDL converts when
  // the device differs (no changes allowed).
  SDL_AudioDeviceID tryOpenDevice(bool capture, SDL_AudioCallback callback) {
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = capture ? kCaptureBlockFrames : kOutputBlockFrames;
    want.callback = callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    return SDL_OpenAudioDevice(nullptr, capture ? 1 : 0, &want, &have, 0);
  }

  static void captureCallback(void* user, Uint8* stream, int len) {
    auto* self = static_cast<SdlBackend*>(user);
    const std::size_t frames = static_cast<std::size_t>(len) / (sizeof(std::int16_t) * kChannels);
    if (self->firstBlockNs_.load(std::memory_order_relaxed) == 0) {
      self->firstBlockFrames_ = frames;
      self->firstBlockNs_.store(nowNs());
    }
    if (self->sink_) self->sink_(reinterpret_cast<const std::int16_t*>(stream), frames);
    self->delivered_.fetch_add(frames);
  }
  static void outputCallback(void* user, Uint8* stream, int len) {
    auto* self = static_cast<SdlBackend*>(user);
    self->source_(reinterpret_cast<std::int16_t*>(stream),
                  static_cast<std::size_t>(len) / (sizeof(std::int16_t) * kChannels));
  }
  bool initSubsystem() {
    if (initialised_) return true;
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Quorvel");
    // SDL's own SIGINT/SIGTERM handlers would swallow the signals that end
    // the station; the station handles them itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // PulseAudio's monitors are recording devices too (the default one may
    // be a monitor); without this SDL cannot name such a default device.
    SDL_SetHint("SDL_AUDIO_INCLUDE_MONITORS", "1");
    initialised_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return initialised_;
  }

  std::mutex sdl_;  // SDL's subsystem and device table (see the class comment)
  bool initialised_ = false;
  std::atomic<SDL_AudioDeviceID> cap_{0};
  std::atomic<SDL_AudioDeviceID> out_{0};
  CaptureSink sink_;
  OutputSource source_;
  std::atomic<std::size_t> delivered_{0};
  std::atomic<std::int64_t> firstBlockNs_{0};  // steady clock at the first block
  std::size_t firstBlockFrames_ = 0;
};

std::unique_ptr<Backend>& current() {
  static std::unique_ptr<Backend> b;
  return b;
}

}  // namespace

Backend& backend() {
  auto& b = current();
  if (!b) b = std::make_unique<SdlBackend>();
  return *b;
}

void setBackend(std::unique_ptr<Backend> b) { current() = std::move(b); }

}  // namespace audio
