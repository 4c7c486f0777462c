#include "audio/audio.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "audio/backend.h"
#include "audio/clock.h"
#include "audio/encoder.h"
#include "audio/mixer.h"
#include "audio/stream.h"

namespace audio {
namespace {

// How long ending a recording waits for the encoder to finish its file.
constexpr int kEncoderFinishMs = 5000;
// The output device is released once nothing has played for this long.
constexpr std::int64_t kOutputIdleNs = 500'000'000;

thread_local int lastError = ErrOk;

bool fail(int code) {
  lastError = code;
  return false;
}
bool ok() {
  lastError = ErrOk;
  return true;
}

struct Recording {
  Handle handle = 0;
  Handle encoderHandle = 0;
  RecordProc proc = nullptr;
  void* user = nullptr;
  bool capturing = false;           // the device delivers (UI thread only)
  std::atomic<bool> paused{true};   // frames are dropped until channelPlay
  std::atomic<bool> ended{false};   // the record proc asked to end
  std::unique_ptr<Encoder> encoderOwner;
  std::atomic<Encoder*> encoder{nullptr};  // read by the capture thread
};

using Stream = MixerStream;

// The recording the capture thread is delivering to right now: lets
// encodeIsActive() answer the record proc without any lock.
thread_local Recording* capturingNow = nullptr;

struct State {
  std::mutex tableMutex;  // handle tables (the capture thread never takes it)
  std::map<Handle, std::shared_ptr<Recording>> recordings;
  std::map<Handle, Handle> encoders;  // encoder handle -> recording handle
  std::map<Handle, std::shared_ptr<Stream>> streams;
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

State& state() {
  static State s;
  return s;
}

std::shared_ptr<Recording> findRecording(Handle h) {
  State& s = state();
  std::lock_guard lock(s.tableMutex);
  if (auto it = s.recordings.find(h); it != s.recordings.end()) return it->second;
  if (auto it = s.encoders.find(h); it != s.encoders.end()) return s.recordings.at(it->second);
  return nullptr;
}

std::shared_ptr<Stream> findStream(Handle h) {
  State& s = state();
  std::lock_guard lock(s.tableMutex);
  auto it = s.streams.find(h);
  return it == s.streams.end() ? nullptr : it->second;
}

// Output thread: mixes every playing stream into the device's block.
bool mix(std::int16_t* out, std::size_t count) { return state().mixer.mix(out, count); }

// Nothing plays on an output device that has gone away: it is released,
// and the next play opens the default device afresh.
void dropLostOutput() {
  State& s = state();
  if (!s.outputRunning || !backend().outputLost()) return;
  s.mixer.clear();
  backend().stopOutput();
  s.outputRunning = false;
  s.outputWentAway = true;
}

// Releases the output device once nothing has played for a while, so an
// idle station does not keep a device stream running.
void settleOutput(bool force = false) {
  State& s = state();
  dropLostOutput();
  if (!s.outputRunning || !s.mixer.idle()) return;
  if (!force && nowNs() - s.mixer.lastPlayedNs() < kOutputIdleNs) return;
  backend().stopOutput();
  s.outputRunning = false;
}

void unplay(const std::shared_ptr<Stream>& st) { state().mixer.remove(st); }

// Ends a recording: capture stopped (with what was on its way), encoder input
// closed, the encoder's exit awaited; the handles are gone afterwards.
bool endRecording(const std::shared_ptr<Recording>& rec) {
  State& s = state();
  const bool lost = rec->capturing && backend().captureLost();
  if (rec->capturing) {
    backend().stopCapture();
    rec->capturing = false;
  }
  int code = ErrOk;
  if (rec->encoderOwner) {
    switch (rec->encoderOwner->finish(kEncoderFinishMs)) {
      case Encoder::Outcome::Finished: break;
      case Encoder::Outcome::Failed: code = ErrEncoderEnded; break;
      case Encoder::Outcome::TimedOut: code = ErrEncoderTimeout; break;
    }
    rec->encoder = nullptr;
    rec->encoderOwner.reset();
  }
  {
    std::lock_guard lock(s.tableMutex);
    s.encoders.erase(rec->encoderHandle);
    s.recordings.erase(rec->handle);
  }
  reapLingering(false);
  if (code == ErrOk && lost) code = ErrDeviceLost;
  return code == ErrOk ? ok() : fail(code);
}

// A recording that no longer records: it was ended on the capture thread
// (by the record proc, or because its encoder has ended), or its device has
// gone away.
bool endedByItself(const Recording& rec) {
  return rec.ended || (rec.capturing && backend().captureLost());
}

int startCapture(const std::shared_ptr<Recording>& rec) {
  Recording* r = rec.get();  // kept alive by the table until the capture is stopped
  return backend().startCapture([r](const std::int16_t* frames, std::size_t count) {
    if (r->paused.load(std::memory_order_relaxed) || r->ended.load(std::memory_order_relaxed)) return;
    Encoder* e = r->encoder.load(std::memory_order_acquire);
    // An encoder that has ended ends its recording, with or without a record
    // proc to say so; nothing of the recording runs after that.
    if (e && !e->active()) {
      r->ended.store(true, std::memory_order_release);
      return;
    }
    capturingNow = r;
    if (e) e->push(frames, count);
    if (r->proc && !r->proc(r->handle, frames, static_cast<std::uint32_t>(count * kChannels * 2), r->user))
      r->ended.store(true, std::memory_order_release);
    capturingNow = nullptr;
  });
}

std::vector<std::shared_ptr<Recording>> allRecordings() {
  State& s = state();
  std::lock_guard lock(s.tableMutex);
  std::vector<std::shared_ptr<Recording>> v;
  for (auto& [h, r] : s.recordings) v.push_back(r);
  return v;
}

}  // namespace

// "GetVersion"
std::uint32_t version() { return backend().version(); }

// "RecordInit"
bool recordInit(int device) {
  State& s = state();
  if (device != -1) return fail(ErrDevice);
  if (s.captureOpen) return fail(ErrAlready);
  const int rc = backend().openCapture();
  if (rc != ErrOk) return fail(rc);
  s.captureOpen = true;
  return ok();
}

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

// "ErrorGetCode"
int errorGetCode() { return lastError; }

// "RecordStart"
Handle recordStart(int freq, int chans, std::uint32_t flags, RecordProc proc, void* user) {
  State& s = state();
  settleOutput();
  reapLingering(false);
  if (!s.captureOpen) return fail(ErrInit), 0;
  if (freq != kRate || chans != kChannels) return fail(ErrFormat), 0;
  auto rec = std::make_shared<Recording>();
  rec->proc = proc;
  rec->user = user;
  {
    std::lock_guard lock(s.tableMutex);
    if (!s.recordings.empty()) return fail(ErrAlready), 0;
    rec->handle = s.newHandle();
    s.recordings[rec->handle] = rec;
  }
  // The device opens now, so that a device that fails is told here; frames
  // are dropped while the recording is paused.
  rec->paused = (flags & kRecordPause) != 0;
  const int rc = startCapture(rec);
  if (rc != ErrOk) {
    std::lock_guard lock(s.tableMutex);
    s.recordings.erase(rec->handle);
    return fail(rc), 0;
  }
  rec->capturing = true;
  ok();
  return rec->handle;
}

// "Encode_Start"
Handle encodeStart(Handle channel, const QStringList& args, std::uint32_t) {
  State& s = state();
  std::shared_ptr<Recording> rec;
  {
    std::lock_guard lock(s.tableMutex);
    auto it = s.recordings.find(channel);
    if (it == s.recordings.end()) return fail(ErrHandle), 0;
    rec = it->second;
  }
  if (rec->encoderOwner) return fail(ErrAlready), 0;
  int error = ErrOk;
  rec->encoderOwner = Encoder::start(args, error);
  if (!rec->encoderOwner) return fail(error), 0;
  {
    std::lock_guard lock(s.tableMutex);
    rec->encoderHandle = s.newHandle();
    s.encoders[rec->encoderHandle] = rec->handle;
  }
  rec->encoder.store(rec->encoderOwner.get(), std::memory_order_release);
  ok();
  return rec->encoderHandle;
}

// "Encode_IsActive"
int encodeIsActive(Handle channel) {
  if (Recording* r = capturingNow; r && (channel == r->handle || channel == r->encoderHandle)) {
    Encoder* e = r->encoder.load(std::memory_order_acquire);
    return e && e->active() ? Playing : Stopped;
  }
  const auto rec = findRecording(channel);
  if (!rec) return fail(ErrHandle), Stopped;
  ok();
  Encoder* e = rec->encoder.load(std::memory_order_acquire);
  return e && e->active() ? Playing : Stopped;
}

// "ChannelPlay"
bool channelPlay(Handle handle, bool restart) {
  State& s = state();
  if (auto rec = findRecording(handle); rec && rec->handle == handle) {
    if (endedByItself(*rec)) return fail(ErrNotAvailable);
    rec->paused = false;
    return ok();
  }
  const auto st = findStream(handle);
  if (!st) return fail(ErrHandle);
  dropLostOutput();
  // Without restart a stopped stream goes on where it stopped, and one that
  // has played to its end starts again.
  s.mixer.play(st, restart);
  if (!s.outputRunning) {
    const int rc = backend().startOutput();
    if (rc != ErrOk) {
      unplay(st);
      return fail(rc);
    }
    s.outputRunning = true;
  }
  return ok();
}

// "ChannelStop"
bool channelStop(Handle handle) {
  if (handle == 0) return fail(ErrHandle);
  if (auto rec = findRecording(handle)) return endRecording(rec);
  const auto st = findStream(handle);
  if (!st) return fail(ErrHandle);
  unplay(st);
  settleOutput();
  return ok();
}

// "ChannelIsActive"
int channelIsActive(Handle handle) {
  settleOutput();
  if (auto rec = findRecording(handle); rec && rec->handle == handle) {
    ok();
    if (endedByItself(*rec)) return Stopped;
    return rec->paused ? Paused : Playing;
  }
  const auto st = findStream(handle);
  if (!st) return fail(ErrHandle), Stopped;
  ok();
  return state().mixer.playing(st) ? Playing : Stopped;
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

// "RecordFree"
bool recordFree() {
  State& s = state();
  int code = ErrOk;
  for (auto& rec : allRecordings())
    if (!endRecording(rec)) code = lastError;
  if (!s.captureOpen) return fail(ErrInit);
  backend().closeCapture();
  s.captureOpen = false;
  return code == ErrOk ? ok() : fail(code);
}

// "Free"
bool free() {
  State& s = state();
  for (auto& rec : allRecordings()) endRecording(rec);
  s.mixer.clear();
  settleOutput(true);
  {
    std::lock_guard lock(s.tableMutex);
    s.streams.clear();
  }
  reapLingering(true);
  if (!s.outputOpen) return fail(ErrInit);
  backend().closeOutput();
  s.outputOpen = false;
  return ok();
}

// "Stop"
bool stop() {
  State& s = state();
  s.mixer.clear();
  settleOutput(true);
  if (!s.outputOpen) return fail(ErrInit);
  return ok();
}

std::size_t handleCount() {
  State& s = state();
  std::lock_guard lock(s.tableMutex);
  return s.recordings.size() + s.encoders.size() + s.streams.size();
}

}  // namespace audio
