// The playback side of the sound interface: the output device, opened on
// the first play and released when idle or gone, and the file streams mixed
// into it.
#include <utility>

#include "audio/audio.h"
#include "audio/backend.h"
#include "audio/clock.h"
#include "audio/handles.h"
#include "audio/stream.h"

namespace audio {
namespace detail {
namespace {
// The output device is released once nothing has played for this long.
constexpr std::int64_t kOutputIdleNs = 500'000'000;
}  // namespace

bool mix(std::int16_t* out, std::size_t count) { return state().mixer.mix(out, count); }

void dropLostOutput() {
  State& s = state();
  if (!s.outputRunning || !backend().outputLost()) return;
  s.mixer.clear();
  backend().stopOutput();
  s.outputRunning = false;
  s.outputWentAway = true;
}

void settleOutput(bool force) {
  State& s = state();
  dropLostOutput();
  if (!s.outputRunning || !s.mixer.idle()) return;
  if (!force && nowNs() - s.mixer.lastPlayedNs() < kOutputIdleNs) return;
  backend().stopOutput();
  s.outputRunning = false;
}

void unplay(const std::shared_ptr<Stream>& st) { state().mixer.remove(st); }

}  // namespace detail

using namespace detail;

// "Init"
bool init(int device, int freq, std::uint32_t, quintptr) {
  State& s = state();
  if (device != -1) return fail(ErrDevice);
  if (freq != kRate) return fail(ErrFormat);
  if (s.outputOpen) return fail(ErrAlready);
  const int rc = backend().openOutput(&mix);
  if (rc != ErrOk) return fail(rc);
  s.outputOpen = true;
  return ok();
}

// "StreamCreateFile"
Handle streamCreateFile(const QString& file, std::uint64_t offset, std::uint64_t length, std::uint32_t) {
  State& s = state();
  settleOutput();
  if (!s.outputOpen) return fail(ErrInit), 0;
  if (offset != 0 || length != 0) return fail(ErrNotAvailable), 0;
  int error = ErrOk;
  auto reader = FileReader::open(file, error);
  if (!reader) return fail(error), 0;
  auto st = std::make_shared<Stream>();
  st->reader = std::move(reader);
  std::lock_guard lock(s.tableMutex);
  st->handle = s.newHandle();
  s.streams[st->handle] = st;
  ok();
  return st->handle;
}

bool outputLost() {
  State& s = state();
  dropLostOutput();
  return std::exchange(s.outputWentAway, false);
}

// "StreamFree"
bool streamFree(Handle handle) {
  State& s = state();
  std::shared_ptr<Stream> st;
  {
    std::lock_guard lock(s.tableMutex);
    auto it = s.streams.find(handle);
    if (it == s.streams.end()) return fail(ErrHandle);
    st = it->second;
    s.streams.erase(it);
  }
  unplay(st);
  settleOutput();
  return ok();  // the file is closed here, with the last reference
}

// "Stop"
bool stop() {
  State& s = state();
  s.mixer.clear();
  settleOutput(true);
  if (!s.outputOpen) return fail(ErrInit);
  return ok();
}

}  // namespace audio
