#include "audio/mixer.h"

#include <algorithm>
#include <cmath>

#include "audio/backend.h"
#include "audio/clock.h"

namespace audio {

bool Mixer::mix(std::int16_t* out, std::size_t count) {
  std::lock_guard lock(mutex_);
  if (playing_.empty()) {
    std::fill(out, out + count * kChannels, std::int16_t{0});
    return false;
  }
  mixBuf_.assign(count * kChannels, 0.0f);
  readBuf_.resize(count * kChannels);
  for (const auto& st : playing_) {
    const std::size_t n = st->reader->read(readBuf_.data(), count);
    for (std::size_t i = 0; i < n * kChannels; ++i) mixBuf_[i] += readBuf_[i];
    if (n < count) st->playing = false, st->atEnd = true;
  }
  std::erase_if(playing_, [](const auto& st) { return !st->playing; });
  for (std::size_t i = 0; i < count * kChannels; ++i) {
    const float v = std::nearbyint(mixBuf_[i] * 32768.0f);
    out[i] = static_cast<std::int16_t>(std::clamp(v, -32768.0f, 32767.0f));
  }
  lastPlayedNs_.store(nowNs(), std::memory_order_relaxed);
  return true;
}

void Mixer::play(const std::shared_ptr<MixerStream>& st, bool restart) {
  std::lock_guard lock(mutex_);
  if (restart || st->atEnd) st->reader->rewind();
  st->atEnd = false;
  st->playing = true;
  if (std::find(playing_.begin(), playing_.end(), st) == playing_.end()) playing_.push_back(st);
}

void Mixer::remove(const std::shared_ptr<MixerStream>& st) {
  std::lock_guard lock(mutex_);
  st->playing = false;
  std::erase(playing_, st);
}

void Mixer::clear() {
  std::lock_guard lock(mutex_);
  for (auto& st : playing_) st->playing = false;
  playing_.clear();
}

bool Mixer::idle() {
  std::lock_guard lock(mutex_);
  return playing_.empty();
}

bool Mixer::playing(const std::shared_ptr<MixerStream>& st) {
  std::lock_guard lock(mutex_);
  return st->playing;
}

}  // namespace audio
