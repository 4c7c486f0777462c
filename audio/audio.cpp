#include "audio/audio.h"

#include "audio/backend.h"

namespace audio {
namespace {

thread_local int lastError = ErrOk;
bool captureOpen = false;
bool outputOpen = false;

bool fail(int code) {
  lastError = code;
  return false;
}
bool ok() {
  lastError = ErrOk;
  return true;
}

}  // namespace

std::uint32_t version() { return backend().version(); }

bool recordInit(int device) {
  if (device != -1) return fail(ErrDevice);
  if (captureOpen) return fail(ErrAlready);
  int rc = backend().openCapture();
  if (rc != ErrOk) return fail(rc);
  captureOpen = true;
  return ok();
}

bool init(int device, int freq, std::uint32_t, quintptr) {
  if (device != -1) return fail(ErrDevice);
  if (freq != kRate) return fail(ErrFormat);
  if (outputOpen) return fail(ErrAlready);
  int rc = backend().openOutput([](std::int16_t* frames, std::size_t count) {
    std::fill(frames, frames + count * kChannels, std::int16_t{0});
  });
  if (rc != ErrOk) return fail(rc);
  outputOpen = true;
  return ok();
}

int errorGetCode() { return lastError; }

Handle recordStart(int, int, std::uint32_t, RecordProc, void*) { return fail(ErrNotAvailable), 0; }
Handle encodeStart(Handle, const QStringList&, std::uint32_t) { return fail(ErrNotAvailable), 0; }
int encodeIsActive(Handle) { return Stopped; }
bool channelPlay(Handle, bool) { return fail(ErrHandle); }
bool channelStop(Handle) { return fail(ErrHandle); }
int channelIsActive(Handle) { return Stopped; }
Handle streamCreateFile(const QString&, std::uint64_t, std::uint64_t, std::uint32_t) {
  return fail(ErrNotAvailable), 0;
}
bool streamFree(Handle) { return fail(ErrHandle); }

bool recordFree() {
  if (!captureOpen) return fail(ErrInit);
  backend().closeCapture();
  captureOpen = false;
  return ok();
}

bool free() {
  if (!outputOpen) return fail(ErrInit);
  backend().closeOutput();
  outputOpen = false;
  return ok();
}

bool stop() {
  if (!outputOpen) return fail(ErrInit);
  return ok();
}

}  // namespace audio
