// The answer recorder: everything of a recording's life in one place.
//
// A recording is the default recording device at 44100 Hz, 2 channels,
// 16-bit, piped into "oggenc -o FILE -". The recorder holds the two sound
// handles (the running recording and the playback stream over the last
// finished file), the file, the clock, the input level sampling, the watch
// over the devices and the encoder, the recording ids and the checks of
// finished files. It knows nothing of the main window or the stages: it
// reports through signals, and whoever owns it shows the boxes.
//
// Its state is explicit (State), and every input (start, stop, a tick of
// the watch that finds the recording ended by itself or its device lost,
// back or changed, the station ending on a signal) is handled by a switch
// over every state.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <atomic>
#include <vector>

#include "audio/audio.h"
#include "toolkit/recordcheck.h"

class QTimer;

namespace station {

class LevelMeter;

class Recorder : public QObject {
  Q_OBJECT

 public:
  enum class State {
    Idle,       // nothing records; a playback stream may be there
    Recording,  // the device captures into the encoder; while the device is
                // missing, silence goes in until a default input is back
    Closing,    // the recording is being ended: the encoder finishes its file
    Finished,   // the station is ending: nothing records any more
  };

  // What must be told to the person at the station: a message and the sound
  // interface's error code, shown as the audio error box.
  struct Report {
    QString message;
    int code;  // kPlain: a plain box of the station's own, no error code
  };
  static constexpr int kPlain = -1000;

  explicit Recorder(QObject* parent = nullptr);
  ~Recorder() override;

  State state() const { return state_; }
  static const char* stateName(State s);
  bool isRecording() const { return state_ == State::Recording; }
  // The file of the running (or last) recording.
  QString file() const { return file_; }
  // Counts the recordings started; checked() names them by it.
  int lastId() const { return id_; }
  // How long flushing the last finished file and its folder took, in
  // microseconds.
  qint64 lastFlushMicros() const { return flushMicros_; }

  // Starts recording into file. A recording still running is ended first,
  // so it can never be orphaned. Failures are reported (failed()) once the
  // recorder's state is settled.
  void start(const QString& file);
  // Ends the running recording (its file complete and flushed to disk) and
  // opens a playback stream over file, so that it can be played at once.
  void stop(const QString& file);
  // The leave rule of a stage: a running recording is finished, the
  // playback stopped.
  void endSound();
  // The station ends on a signal: a running recording is finished (its
  // file complete), and nothing records any more. No box, no check.
  void endOnSignal();
  // Shut-down: the handles are forgotten (the sound interface is freed by
  // the owner right after).
  void release();

  // The room a recording needs on its disk before it starts: the longest
  // answer the station records. A recording is not started on a disk with
  // less room; the person at the station is told at once instead.
  void setRoomNeeded(qint64 bytes) { roomNeeded_ = bytes; }
  // The checksum manifest the answers recorded from now on are listed in:
  // that of answerKey in stationDir (no key: none, as in the equipment
  // check).
  void setManifest(const QString& stationDir, const QString& answerKey) {
    manifestDir_ = stationDir;
    manifestKey_ = answerKey;
  }
  // Below this much free space an encoder that ended early ran out of room.
  static constexpr qint64 kFullBelowBytes = 256 * 1024;

  // The input level bar the recorder feeds while a recording runs (may be
  // null). Not fed at all once setMeterShown(false), which also stops the
  // capture thread from measuring the level.
  void setMeter(LevelMeter* meter) { meter_ = meter; }
  void setMeterShown(bool shown);
  bool meterShown() const { return meterShown_; }

  // How often the recorder looks at the recording and the output device,
  // and how often it takes the level, in milliseconds. Ten looks a second
  // keep the bar moving with the voice; every look wakes the user-interface
  // thread, and on a virtual machine a wake-up costs about as much as
  // drawing the bar, so the bar's share of the station is its wake-ups.
  static constexpr int kWatchMs = 200;
  static constexpr int kMeterMs = 100;

 signals:
  // The running recording ended without stop(): its encoder ended or its
  // recording device went away. Emitted once the recorder is idle again and
  // before failed() tells why.
  void endedByItself();
  // The file of recording id has been checked after it ended; its manifest
  // line and the journal's line have been written already (they are written
  // even when the recorder is gone by then).
  void checked(int id, const QString& file, const station::RecordingVerdict& verdict);
  // Something the person at the station must be told: with the sound
  // interface's error code, or kPlain for a box of the station's own. The
  // receiver may run an event loop: the recorder's state is settled before
  // this is emitted.
  void failed(const QString& message, int code);
  // The meter is to be shown or hidden (a recording started or ended).
  void meterActive(bool on);
  // The running recording's microphone gives near-digital silence (on), or
  // gives sound again or the recording has ended (off). The journal has been
  // told already.
  void silenceChanged(bool silent);

 private:
  // The capture thread's callback: measures the block's peak for the level
  // bar and ends the recording once the encoder no longer takes input.
  static bool recordProc(audio::Handle handle, const void* buffer, std::uint32_t length, void* user);

  std::vector<Report> finish(const char* how);
  std::vector<Report> deviceEvents(audio::Handle handle);
  void journalGap(const audio::RecordGap& gap);
  // Tells (journal, silenceChanged) when the microphone has gone quiet and
  // when it gives sound again; at the end of the recording (ending true) a
  // quiet run still going on is told as lasting until then.
  void lookAtSilence(audio::Handle handle, bool ending);
  void tick();
  void setTimer();
  void meterOn(bool on);
  void report(std::vector<Report> reports);
  double seconds() const;

  State state_ = State::Idle;
  QString file_;
  QElapsedTimer clock_;
  int id_ = 0;
  QTimer* timer_ = nullptr;
  LevelMeter* meter_ = nullptr;
  bool meterShown_ = true;
  qint64 roomNeeded_ = 0;
  QString manifestDir_, manifestKey_;
  qint64 flushMicros_ = 0;
  // The quiet run told as silence, in frames of captured sound (kNone: none
  // told), and the time of day it began.
  std::uint64_t silentFrom_ = audio::SilenceWatch::kNone;
  std::int64_t silentFromWallMs_ = 0;
  // The loudest sample the capture thread saw since the bar last took it.
  std::atomic<int> blockPeak_{0};
  std::atomic<bool> measuring_{false};
};

}  // namespace station

// The two sound handles of the recorder, where the stages and the tests
// find them: the running recording (0 when none runs) and the playback
// stream over the last finished recording (0 when there is none).
extern audio::Handle RecordChannel;
extern audio::Handle RecordedStream;
