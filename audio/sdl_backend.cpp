#include <SDL.h>

#include <mutex>

#include "audio/audio.h"
#include "audio/backend.h"

namespace audio {

std::uint32_t Backend::version() const { return kVersion; }

namespace {

// Default devices through SDL2's audio subsystem only.
class SdlBackend final : public Backend {
 public:
  ~SdlBackend() override {
    closeCapture();
    closeOutput();
  }

  int openCapture() override {
    if (!initSubsystem()) return ErrDriver;
    if (SDL_GetNumAudioDevices(1) <= 0) return ErrDevice;
    return ErrOk;
  }
  void closeCapture() override { stopCapture(); }
  int startCapture(CaptureSink) override { return ErrNotAvailable; }
  void stopCapture() override {}

  int openOutput(OutputSource source) override {
    if (!initSubsystem()) return ErrDriver;
    source_ = std::move(source);
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = 1024;
    want.callback = &SdlBackend::outputCallback;
    want.userdata = this;
    SDL_AudioSpec have{};
    out_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (out_ == 0) return ErrDevice;
    SDL_PauseAudioDevice(out_, 0);
    return ErrOk;
  }
  void closeOutput() override {
    if (out_ != 0) {
      SDL_CloseAudioDevice(out_);
      out_ = 0;
    }
  }

 private:
  static void outputCallback(void* user, Uint8* stream, int len) {
    auto* self = static_cast<SdlBackend*>(user);
    self->source_(reinterpret_cast<std::int16_t*>(stream),
                  static_cast<std::size_t>(len) / (sizeof(std::int16_t) * kChannels));
  }
  bool initSubsystem() {
    if (SDL_WasInit(SDL_INIT_AUDIO)) return true;
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }

  SDL_AudioDeviceID out_ = 0;
  OutputSource source_;
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
