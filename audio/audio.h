// The station's sound interface: default recording and playback devices
// (SDL2), the external encoder process fed through a pipe, and playback
// streams over sound files (libsndfile).
//
// Contract, the same for every operation: handles are 32-bit, 0 means
// failure; a failing operation sets the calling thread's last error code,
// which errorGetCode() returns (codes below). Every operation is called from
// the user-interface thread except encodeIsActive(), which the record
// callback may call from the capture thread.
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/silence.h"

namespace audio {

using Handle = std::uint32_t;

// Version of this interface, major in the high byte of the high 16 bits,
// minor in the low byte: 2.4.
constexpr std::uint32_t kVersion = 0x02040000;

// Last-error codes returned by errorGetCode().
//   code  name                meaning
//   0     ErrOk               the last operation succeeded
//   1     ErrMemory           out of memory
//   2     ErrFileOpen         the file cannot be opened
//   3     ErrDriver           the sound system cannot be used
//   5     ErrHandle           the handle is not valid
//   6     ErrFormat           the sample format is not supported
//   8     ErrInit             init() / recordInit() has not been called successfully
//   14    ErrAlready          already initialised / already running
//   23    ErrDevice           no such device (no default device present)
//   37    ErrNotAvailable     the operation is not available on this handle
//   41    ErrFileFormat       the file is not a readable sound file
//   48    ErrEncoderStart     the encoder program cannot be started
//   49    ErrEncoderEnded     the encoder program has ended before its input was
//                             closed, or did not finish its file cleanly
//   50    ErrEncoderTimeout   the encoder program has not finished its file in time
//   51    ErrDeviceLost       a sound device went away while it was in use
//   -1    ErrUnknown          any other failure
enum ErrorCode : int {
  ErrOk = 0,
  ErrMemory = 1,
  ErrFileOpen = 2,
  ErrDriver = 3,
  ErrHandle = 5,
  ErrFormat = 6,
  ErrInit = 8,
  ErrAlready = 14,
  ErrDevice = 23,
  ErrNotAvailable = 37,
  ErrFileFormat = 41,
  ErrEncoderStart = 48,
  ErrEncoderEnded = 49,
  ErrEncoderTimeout = 50,
  ErrDeviceLost = 51,
  ErrUnknown = -1,
};

// Flags.
constexpr std::uint32_t kRecordPause = 0x8000;       // recordStart: create paused
constexpr std::uint32_t kEncodeAutoFree = 0x40000;   // encodeStart: free the encoder with the channel

// Channel states returned by channelIsActive() and encodeIsActive().
enum ActiveState : int { Stopped = 0, Playing = 1, Stalled = 2, Paused = 3 };

// Called on the capture thread for every captured block (interleaved 16-bit
// samples). Returning false ends the recording. Must not block. While the
// recording device is missing it is called on the recording's watch thread
// with the blocks of silence that stand for the missing sound.
using RecordProc = bool (*)(Handle handle, const void* buffer, std::uint32_t length, void* user);

// A stretch of a recording during which its recording device was missing.
// The file holds silence there, as long as the device was away, so that the
// file's time follows the clock on the wall. Positions are milliseconds of
// sound in the recording (captured and silence), times are the system
// clock's milliseconds since 1970-01-01 UTC.
struct RecordGap {
  std::int64_t fromMs = 0;       // where the sound stopped
  std::int64_t toMs = -1;        // where it went on; -1 while the device is still missing
  std::int64_t fromWallMs = 0;   // when the sound stopped
  std::int64_t toWallMs = -1;    // when it went on (or the recording ended); -1 while open
  bool cameBack = false;         // closed by the device coming back (false: by the recording's end)
};

// Something that happened to a recording's device, in order.
enum RecordEventKind : int {
  DeviceLost = 1,     // the recording device went away; silence is recorded from atMs on
  DeviceBack = 2,     // a default recording device is there again; sound is recorded from atMs on
  DeviceChanged = 3,  // the sound is now taken from another device (previous -> device)
};
struct RecordEvent {
  int kind = 0;
  std::int64_t atMs = 0;      // position in the recording
  std::int64_t wallMs = 0;    // system clock, ms since 1970-01-01 UTC
  QString device;             // DeviceBack, DeviceChanged: the device recorded from now
  QString previous;           // DeviceChanged: the device recorded from before; DeviceLost: the one that went away
};

// What is known of a recording's device, at one moment.
struct RecordStatus {
  bool deviceLost = false;      // no recording device right now (silence is recorded)
  bool ended = false;           // ended for good: the record proc said so or the encoder ended
  int losses = 0;               // how often the device went away
  int returns = 0;              // how often a device came back
  int deviceChanges = 0;        // how often the sound moved to another device
  std::int64_t recordedMs = 0;  // sound handed to the encoder so far (captured and silence)
  QString device;               // the device recorded from (empty: not known, or none)
  std::vector<RecordGap> gaps;  // every gap so far, the open one last
};

// --- one operation per row of the station's audio operations table ---

// "GetVersion": the interface version (kVersion unless a test backend says otherwise).
std::uint32_t version();
// "RecordInit": opens the default recording device (device -1). True on
// success; false with ErrAlready, at no cost, when it is open already.
bool recordInit(int device);
// "Init": opens the default output device (device -1) at freq Hz. window is
// the owner window's native handle (unused on Linux). True on success.
bool init(int device, int freq, std::uint32_t flags, quintptr window);
// "ErrorGetCode": the calling thread's last error code.
int errorGetCode();
// "RecordStart": a recording of freq Hz, chans channels, 16-bit, on the
// default recording device; paused when flags has kRecordPause. proc may be
// null. Returns the recording handle, or 0. One recording at a time: while
// one exists (until channelStop or recordFree) this fails with ErrAlready.
// Only 44100 Hz, 2 channels is offered (ErrFormat otherwise).
Handle recordStart(int freq, int chans, std::uint32_t flags, RecordProc proc, void* user);
// "Encode_Start": starts the encoder program with the argument vector args
// (args[0] is the program name, looked for beside this program first, then
// on PATH; no shell) and feeds it a WAV header and then every sample the
// channel captures, on its standard input. Returns non-zero (the encoder's
// handle) once the encoder runs on the channel, 0 on failure
// (ErrEncoderStart: not found or cannot be started). The encoder always ends
// with its channel (kEncodeAutoFree is accepted and implied).
Handle encodeStart(Handle channel, const QStringList& args, std::uint32_t flags);
// "Encode_IsActive": Playing while the encoder takes input, Stopped once it
// has ended (or there is none); takes the channel or the encoder handle.
// Safe from the capture thread, where it takes no lock.
int encodeIsActive(Handle channel);
// "ChannelPlay": starts a paused recording (restart ignored), or plays a
// stream asynchronously (restart true: from its start; false: on from where
// channelStop left it, or from the start once it has played to its end).
bool channelPlay(Handle handle, bool restart);
// "ChannelStop": ends a recording and frees it with its encoder, or silences
// a stream. Ending a recording lets the sound already on its way arrive,
// closes the encoder's input and waits (up to a few seconds) for the encoder
// to finish its file, so the file is complete when this returns. A recording
// stopped while its device is missing gets silence up to the moment of the
// stop and is finished like any other (true when the encoder finished; the
// open gap is closed at the stop). False with ErrEncoderEnded when the
// encoder had ended early or failed, ErrEncoderTimeout when it has not
// finished in time, ErrDeviceLost when the recording ended for good while
// its device was missing (the record proc asked to end during a gap); the
// file then holds what came before, and the channel is freed all the same.
// recordStatus() still tells about the recording after this.
// 0 and unknown handles are harmless (false, ErrHandle).
bool channelStop(Handle handle);
// "ChannelIsActive": Stopped, Playing or Paused; Stopped for 0, for
// recordings that have ended by themselves (the record proc said so, the
// encoder ended) and for streams whose output device went away. A recording
// whose device is missing is still Playing (or Paused): it records silence
// and takes the sound again when a default device comes back.
int channelIsActive(Handle handle);
// "StreamCreateFile": a playback stream over the whole file (Ogg Vorbis, WAV,
// FLAC; any rate and channel count, played as 44100 Hz stereo), or 0
// (ErrFileOpen: missing or unreadable; ErrFileFormat: not a sound file).
// offset and length must be 0 (the whole file); flags are ignored.
Handle streamCreateFile(const QString& file, std::uint64_t offset = 0,
                        std::uint64_t length = 0, std::uint32_t flags = 0);
// True once after the output device went away while it was in use; the
// streams that were playing have stopped, and the next channelPlay opens
// the default device afresh.
bool outputLost();
// "StreamFree": stops and releases a playback stream.
bool streamFree(Handle handle);
// "RecordFree", "Free", "Stop": shut-down, in this order. recordFree ends a
// running recording as channelStop does; free releases every stream and the
// output device and ends any encoder still running.
bool recordFree();
bool free();
bool stop();

// Diagnostics: how many handles (recordings, encoders, streams) are alive.
std::size_t handleCount();

// --- the recording device during a recording ---
//
// Every recording has a watch thread of its own that looks at its device
// ten times a second. When the device goes away the recording stays open:
// the watch thread feeds the encoder silence in real time and tries the
// default recording device again twice a second; once one opens, its sound
// goes on into the same file. Once a second it asks the sound system for
// the default device's name and notes when the sound moves to another one.
// None of the calls below waits for the sound system.

// The state of a running recording, or of the last one ended (until the
// next recordStart()); takes the recording or its encoder handle. For any
// other handle: an empty status, ErrHandle.
RecordStatus recordStatus(Handle recording);
// What happened to the recording's device since the last call (drained:
// each event is told once), oldest first. Empty and ErrHandle as above.
std::vector<RecordEvent> recordEvents(Handle recording);
// Near-digital silence in what the recording's device has delivered so far
// (see audio/silence.h), in frames of captured sound; takes no lock. Empty
// and ErrHandle as above.
SilenceWatch::Seen recordSilence(Handle recording);
// The name of the recording device in use by the running recording, or the
// last one known (from recordInit() or an earlier recording); empty when
// the sound system cannot tell.
QString captureDeviceName();

}  // namespace audio
