#include "audio/recording.h"

#include <pthread.h>

#include <algorithm>

#include "audio/backend.h"
#include "audio/clock.h"

namespace audio {

thread_local Recording* capturingNow = nullptr;

namespace {

// Silence goes to the encoder in blocks of a tenth of a second.
constexpr std::size_t kSilenceBlockFrames = kRate / 10;

struct NameMemo {
  std::mutex mutex;
  QString name;
};
NameMemo& nameMemo() {
  static NameMemo m;
  return m;
}

QString askDeviceName() { return QString::fromStdString(backend().captureDeviceName()); }

}  // namespace

QString lastCaptureDeviceName() {
  std::lock_guard lock(nameMemo().mutex);
  return nameMemo().name;
}

void noteCaptureDeviceName(const QString& name) {
  if (name.isEmpty()) return;
  std::lock_guard lock(nameMemo().mutex);
  nameMemo().name = name;
}

Recording::~Recording() { stopWatch(); }

int Recording::startCapture() {
  Recording* r = this;  // kept alive by its owner until the capture is stopped
  lastBlockNs.store(nowNs());
  return backend().startCapture([r](const std::int16_t* frames, std::size_t count) {
    r->lastBlockNs.store(nowNs(), std::memory_order_relaxed);
    if (r->paused.load(std::memory_order_relaxed) || r->ended.load(std::memory_order_relaxed)) return false;
    Encoder* e = r->encoder.load(std::memory_order_acquire);
    // An encoder that has ended ends its recording, with or without a record
    // proc to say so; nothing of the recording runs after that.
    if (e && !e->active()) {
      r->ended.store(true, std::memory_order_release);
      return false;
    }
    capturingNow = r;
    if (e) e->push(frames, count);
    r->frames.fetch_add(count, std::memory_order_relaxed);
    r->silence.feed(frames, count);
    if (r->proc && !r->proc(r->handle, frames, static_cast<std::uint32_t>(count * kChannels * 2), r->user))
      r->ended.store(true, std::memory_order_release);
    capturingNow = nullptr;
    return true;
  });
}

void Recording::startWatch() {
  if (watch_.joinable()) return;
  watch_ = std::thread([this] { watchLoop(); });
}

void Recording::stopWatch() {
  if (!watch_.joinable()) return;
  {
    std::lock_guard lock(wakeMutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  watch_.join();
}

std::int64_t Recording::positionMs() const {
  return static_cast<std::int64_t>(frames.load() * 1000 / kRate);
}

RecordStatus Recording::status() const {
  std::lock_guard lock(infoMutex_);
  RecordStatus s = info_;
  s.recordedMs = positionMs();
  s.ended = ended.load();
  return s;
}

std::vector<RecordEvent> Recording::takeEvents() {
  std::lock_guard lock(infoMutex_);
  return std::exchange(events_, {});
}

void Recording::watchLoop() {
  pthread_setname_np(pthread_self(), "record-watch");
  constexpr std::int64_t msNs = 1'000'000;
  lookAtName();
  std::int64_t nextName = nowNs() + kNameEveryMs * msNs;
  std::int64_t nextTry = 0;
  for (;;) {
    bool stop;
    {
      std::unique_lock lock(wakeMutex_);
      const int tick = capturing ? kWatchCapturingMs : kWatchTickMs;
      stop = wake_.wait_for(lock, std::chrono::milliseconds(tick), [this] { return stopping_; });
    }
    const std::int64_t now = nowNs();
    if (capturing) {
      if (backend().captureLost()) {
        deviceGone(now);
        nextTry = now + kReopenEveryMs * msNs;
      } else if (!stop && now >= nextName) {
        lookAtName();
        nextName = now + kNameEveryMs * msNs;
      }
    }
    if (!capturing) {
      padSilence(now);
      // A recording that has ended for good waits for its stop; it takes
      // no device any more.
      if (!stop && !ended && now >= nextTry) {
        nextTry = now + kReopenEveryMs * msNs;
        if (deviceBack()) nextName = nowNs() + kNameEveryMs * msNs;
      }
    }
    if (stop) break;
  }
  // Stopped during a gap: silence up to the stop, and the gap ends there.
  if (!capturing) {
    padSilence(nowNs());
    const std::int64_t pos = positionMs(), wall = wallMs();
    std::lock_guard lock(infoMutex_);
    if (!info_.gaps.empty() && info_.gaps.back().toMs < 0) {
      info_.gaps.back().toMs = pos;
      info_.gaps.back().toWallMs = wall;
    }
  }
}

// The device has gone away: it is closed (no block arrives after this), and
// the silence that stands for the missing sound starts where its last block
// arrived.
void Recording::deviceGone(std::int64_t now) {
  backend().stopCapture();
  capturing = false;
  // Nothing feeds it now: a quiet run ends where the device went away.
  silence.restart();
  gapStartNs_ = std::min(lastBlockNs.load(), now);
  silenceFrames_ = 0;
  const std::int64_t pos = positionMs();
  const std::int64_t wall = wallMs() - (now - gapStartNs_) / 1'000'000;
  std::lock_guard lock(infoMutex_);
  info_.deviceLost = true;
  ++info_.losses;
  info_.gaps.push_back({pos, -1, wall, -1, false});
  events_.push_back({DeviceLost, pos, wall, {}, info_.device});
}

// Tries the default recording device; true once it delivers again.
bool Recording::deviceBack() {
  // The silence reaches the moment the device opens; its sound follows.
  padSilence(nowNs());
  if (startCapture() != ErrOk) return false;
  capturing = true;
  const std::int64_t pos = positionMs(), wall = wallMs();
  const QString name = askDeviceName();
  noteCaptureDeviceName(name);
  std::lock_guard lock(infoMutex_);
  info_.deviceLost = false;
  ++info_.returns;
  if (!info_.gaps.empty()) {
    RecordGap& g = info_.gaps.back();
    g.toMs = pos;
    g.toWallMs = wall;
    g.cameBack = true;
  }
  events_.push_back({DeviceBack, pos, wall, name, {}});
  if (!name.isEmpty()) {
    if (!info_.device.isEmpty() && name != info_.device) {
      ++info_.deviceChanges;
      events_.push_back({DeviceChanged, pos, wall, name, info_.device});
    }
    info_.device = name;
  }
  return true;
}

// Hands on silence for the time from the gap's start to `until`, in blocks,
// as the capture would have handed on sound: dropped while paused, through
// the record proc, ending the recording when the encoder has ended.
void Recording::padSilence(std::int64_t until) {
  if (ended) return;
  const auto due = static_cast<std::uint64_t>(
      std::max<std::int64_t>(0, until - gapStartNs_) / 1000 * kRate / 1'000'000);
  if (silence_.empty()) silence_.assign(kSilenceBlockFrames * kChannels, 0);
  while (silenceFrames_ < due) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(due - silenceFrames_, kSilenceBlockFrames));
    silenceFrames_ += n;
    if (paused) continue;
    Encoder* e = encoder.load(std::memory_order_acquire);
    if (e && !e->active()) {
      endedInGap = true;
      ended = true;
      return;
    }
    capturingNow = this;
    if (e) e->push(silence_.data(), n);
    frames.fetch_add(n);
    const bool goOn = !proc || proc(handle, silence_.data(), static_cast<std::uint32_t>(n * kChannels * 2), user);
    capturingNow = nullptr;
    if (!goOn) {
      endedInGap = true;
      ended = true;
      return;
    }
  }
}

// Notes the name of the device recorded from; a new name while the sound
// goes on means the sound system moved the recording to another device.
void Recording::lookAtName() {
  const QString name = askDeviceName();
  if (name.isEmpty()) return;
  noteCaptureDeviceName(name);
  const std::int64_t pos = positionMs(), wall = wallMs();
  std::lock_guard lock(infoMutex_);
  if (info_.device.isEmpty()) {
    info_.device = name;
  } else if (name != info_.device) {
    ++info_.deviceChanges;
    events_.push_back({DeviceChanged, pos, wall, name, info_.device});
    info_.device = name;
  }
}

}  // namespace audio
