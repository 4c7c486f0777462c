#include "audio/audio.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "audio/backend.h"
#include "audio/encoder.h"
#include "audio/handles.h"
#include "audio/recording.h"

namespace audio {
using namespace detail;

namespace {

// How long ending a recording waits for the encoder to finish its file.
constexpr int kEncoderFinishMs = 5000;

// Ends a recording: capture stopped (with what was on its way), encoder input
// closed, the encoder's exit awaited; the handles are gone afterwards.
bool endRecording(const std::shared_ptr<Recording>& rec) {
  State& s = state();
  // The watch brings a missing device's silence up to now; a device that is
  // there is stopped with the sound on its way.
  rec->stopWatch();
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
    s.lastEnded = rec;
  }
  reapLingering(false);
  if (code == ErrOk && rec->endedInGap) code = ErrDeviceLost;
  return code == ErrOk ? ok() : fail(code);
}

// A recording that no longer records: it was ended (by the record proc, or
// because its encoder has ended). A missing device does not end it.
bool endedByItself(const Recording& rec) { return rec.ended; }

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
  noteCaptureDeviceName(QString::fromStdString(backend().captureDeviceName()));
  return ok();
}

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
    s.lastEnded.reset();
  }
  // The device opens now, so that a device that fails is told here; frames
  // are dropped while the recording is paused.
  rec->paused = (flags & kRecordPause) != 0;
  const int rc = rec->startCapture();
  if (rc != ErrOk) {
    std::lock_guard lock(s.tableMutex);
    s.recordings.erase(rec->handle);
    return fail(rc), 0;
  }
  rec->capturing = true;
  rec->startWatch();
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

// "RecordFree"
bool recordFree() {
  State& s = state();
  int code = ErrOk;
  for (auto& rec : allRecordings())
    if (!endRecording(rec)) code = errorGetCode();
  if (!s.captureOpen) return fail(ErrInit);
  backend().closeCapture();
  s.captureOpen = false;
  return code == ErrOk ? ok() : fail(code);
}

// "Free"
bool free() {
  State& s = state();
  for (auto& rec : allRecordings()) endRecording(rec);
  {
    std::lock_guard lock(s.tableMutex);
    s.lastEnded.reset();
  }
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

RecordStatus recordStatus(Handle recording) {
  const auto rec = findRecordingOrLast(recording);
  if (!rec) return fail(ErrHandle), RecordStatus{};
  ok();
  return rec->status();
}

std::vector<RecordEvent> recordEvents(Handle recording) {
  const auto rec = findRecordingOrLast(recording);
  if (!rec) return fail(ErrHandle), std::vector<RecordEvent>{};
  ok();
  return rec->takeEvents();
}

SilenceWatch::Seen recordSilence(Handle recording) {
  const auto rec = findRecordingOrLast(recording);
  if (!rec) return fail(ErrHandle), SilenceWatch::Seen{};
  ok();
  return rec->silence.seen();
}

QString captureDeviceName() {
  State& s = state();
  std::shared_ptr<Recording> running;
  {
    std::lock_guard lock(s.tableMutex);
    if (!s.recordings.empty()) running = s.recordings.begin()->second;
  }
  if (running) {
    const QString name = running->status().device;
    if (!name.isEmpty()) return name;
  }
  return lastCaptureDeviceName();
}

}  // namespace audio
