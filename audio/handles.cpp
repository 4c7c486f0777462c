// The handle tables and the calling thread's last error.
#include "audio/handles.h"

namespace audio {
namespace detail {
namespace {
thread_local int lastError = ErrOk;

}  // namespace

bool fail(int code) {
  lastError = code;
  return false;
}
bool ok() {
  lastError = ErrOk;
  return true;
}

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

// A running recording, or the one ended last.
std::shared_ptr<Recording> findRecordingOrLast(Handle h) {
  if (auto rec = findRecording(h)) return rec;
  State& s = state();
  std::lock_guard lock(s.tableMutex);
  if (s.lastEnded && h != 0 && (h == s.lastEnded->handle || h == s.lastEnded->encoderHandle)) return s.lastEnded;
  return nullptr;
}

std::shared_ptr<Stream> findStream(Handle h) {
  State& s = state();
  std::lock_guard lock(s.tableMutex);
  auto it = s.streams.find(h);
  return it == s.streams.end() ? nullptr : it->second;
}

}  // namespace detail

using namespace detail;

// "ErrorGetCode"
int errorGetCode() { return lastError; }

std::size_t handleCount() {
  State& s = state();
  std::lock_guard lock(s.tableMutex);
  return s.recordings.size() + s.encoders.size() + s.streams.size();
}

}  // namespace audio
