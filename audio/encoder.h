// The external encoder process of a recording: started with an argument
// vector (no shell), fed a streaming WAV header and then 16-bit stereo
// samples on its standard input by a writer thread of its own.
#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "audio/ring.h"

namespace audio {

// Where a program named in an argument vector is looked for: a name with a
// '/' is used as it is; otherwise beside this program first, then in the
// folders of PATH. Empty when there is no executable file of that name.
QString findProgram(const QString& name);

class Encoder {
 public:
  // How finish() went.
  enum class Outcome {
    Finished,  // every sample was handed over and the program exited with status 0
    Failed,    // the program ended before its input was closed, exited with an
               // error or a signal, or samples had to be dropped
    TimedOut,  // the program has not exited within the time given; it is
               // reaped later (reapLingering)
  };

  // Starts args[0] with the rest of args as its arguments. Null when the
  // program cannot be found or started; error then holds an ErrorCode.
  static std::unique_ptr<Encoder> start(const QStringList& args, int& error);
  ~Encoder();

  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  // Capture thread: queues interleaved stereo frames; never blocks. Frames
  // that do not fit (the program has fallen seconds behind) are dropped and
  // counted.
  void push(const std::int16_t* frames, std::size_t count);
  // Any thread: the program still takes input (alive, its input open).
  bool active() const { return alive_.load(std::memory_order_acquire); }

  // Writes what is queued, closes the program's input so that it finishes
  // its file, and waits up to timeoutMs for it to exit. Call once, after the
  // last push() has returned.
  Outcome finish(int timeoutMs);

  pid_t pid() const { return pid_; }
  std::uint64_t droppedFrames() const { return dropped_.load(); }

 private:
  Encoder(pid_t pid, int pipeFd, int wakeFd, int pidFd);
  void writerLoop();
  void wake();
  void closeInput();
  bool reapNow();

  pid_t pid_ = -1;
  int pipeFd_ = -1;  // write end of the program's standard input
  int wakeFd_ = -1;  // eventfd: the writer has something to do
  int pidFd_ = -1;   // readable once the program has exited (-1: not available)
  SpscRing<std::int16_t> ring_;
  std::thread writer_;
  std::atomic<bool> alive_{true};
  std::atomic<bool> diedEarly_{false};
  std::atomic<bool> closing_{false};
  std::atomic<bool> incomplete_{false};  // gave up with samples still queued
  std::atomic<std::int64_t> deadlineNs_{0};
  std::atomic<std::uint64_t> dropped_{0};
  // The writer thread reaps the program the moment it exits; finish() reads
  // these after joining the writer.
  std::atomic<bool> reaped_{false};
  int status_ = 0;
};

// Reaps encoder processes that outlived their finish() wait; with force, ends
// them first (shut-down). Returns how many are still running.
int reapLingering(bool force);

}  // namespace audio
