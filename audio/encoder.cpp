#include "audio/encoder.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "audio/audio.h"
#include "audio/backend.h"
#include "audio/clock.h"

extern char** environ;

namespace audio {
namespace {

// Ten seconds of sound between the capture thread and the pipe.
constexpr std::size_t kRingSamples = std::size_t(kRate) * kChannels * 10;
// The writer is woken once half a second of sound waits, and hands it all
// over at once: a few wake-ups a second for the writer and for the encoder
// reading the other end, instead of one for every small captured block.
// Nothing waits longer on account of this: stopping wakes the writer at once.
constexpr std::size_t kWakeSamples = std::size_t(kRate) / 2 * kChannels;
// What the writer takes from the ring for one write (about 0.74 s of sound).
constexpr std::size_t kChunkSamples = 65536;
// The pipe holds such a burst whole (the kernel's default holds 0.37 s), so
// a burst goes in without waiting for the encoder to read.
constexpr int kPipeBytes = 256 * 1024;
// How often the writer looks at the pipe when nothing arrives. An encoder
// that ends wakes it at once (its pidfd, or the pipe's error state).
constexpr int kIdlePollMs = 1000;

QString programFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

bool isExecutableFile(const QString& path) {
  const QFileInfo fi(path);
  return fi.isFile() && fi.isExecutable();
}

// A WAV header for a stream of unknown length: the size fields hold the
// largest value, which encoders reading a pipe take as "until the end".
std::vector<char> streamingWavHeader() {
  std::vector<char> h;
  auto tag = [&](const char* s) { h.insert(h.end(), s, s + 4); };
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) h.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto u16 = [&](std::uint16_t v) {
    h.push_back(static_cast<char>(v & 0xFF));
    h.push_back(static_cast<char>(v >> 8));
  };
  tag("RIFF");
  u32(0xFFFFFFFFu);
  tag("WAVE");
  tag("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(kChannels);
  u32(kRate);
  u32(kRate * kChannels * 2);
  u16(kChannels * 2);
  u16(16);
  tag("data");
  u32(0xFFFFFFFFu);
  return h;
}

struct Lingering {
  std::mutex mutex;
  std::vector<pid_t> pids;
};
Lingering& lingering() {
  static Lingering l;
  return l;
}

}  // namespace

QString findProgram(const QString& name) {
  if (name.isEmpty()) return {};
  if (name.contains(QLatin1Char('/'))) return isExecutableFile(name) ? name : QString();
  QStringList dirs{programFolder()};
  for (const QString& d : QString::fromLocal8Bit(qgetenv("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts))
    dirs << d;
  for (const QString& d : dirs) {
    const QString candidate = QDir(d).filePath(name);
    if (isExecutableFile(candidate)) return candidate;
  }
  return {};
}

std::unique_ptr<Encoder> Encoder::start(const QStringList& args, int& error) {
  error = ErrEncoderStart;
  if (args.isEmpty()) return nullptr;
  const QString program = findProgram(args.front());
  if (program.isEmpty()) return nullptr;

  std::vector<QByteArray> bytes;
  bytes.push_back(QFile::encodeName(program));
  for (qsizetype i = 1; i < args.size(); ++i) bytes.push_back(QFile::encodeName(args[i]));
  std::vector<char*> argv;
  for (QByteArray& b : bytes) argv.push_back(b.data());
  argv.push_back(nullptr);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return nullptr;
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    close(fds[0]);
    close(fds[1]);
    return nullptr;
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  // The child starts with no blocked signals and SIGPIPE at its default,
  // whatever this process does with them.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  // A process group of its own: Ctrl+C or a hang-up of the terminal goes to
  // the station, which finishes the recording, and not straight to the
  // encoder, which would leave the file cut off.
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  close(fds[0]);
  if (rc != 0) {
    close(fds[1]);
    close(wakeFd);
    return nullptr;
  }
  fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
  // A larger pipe is a saving, not a need: the default one works too.
  fcntl(fds[1], F_SETPIPE_SZ, kPipeBytes);
  // Tells the writer the moment the program exits, so that an encoder that
  // dies is noticed and reaped at once. Without it (old kernels) the exit is
  // noticed through the pipe and reaped by finish().
  const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  error = ErrOk;
  return std::unique_ptr<Encoder>(new Encoder(pid, fds[1], wakeFd, pidFd));
}

Encoder::Encoder(pid_t pid, int pipeFd, int wakeFd, int pidFd)
    : pid_(pid), pipeFd_(pipeFd), wakeFd_(wakeFd), pidFd_(pidFd), ring_(kRingSamples) {
  writer_ = std::thread([this] { writerLoop(); });
}

Encoder::~Encoder() {
  if (writer_.joinable()) finish(0);
  if (wakeFd_ >= 0) close(wakeFd_);
  if (pidFd_ >= 0) close(pidFd_);
}

void Encoder::wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] auto n = write(wakeFd_, &one, sizeof one);
}

void Encoder::push(const std::int16_t* frames, std::size_t count) {
  if (!alive_.load(std::memory_order_relaxed)) return;
  const std::size_t samples = count * kChannels;
  const std::size_t written = ring_.write(frames, samples);
  if (written < samples) dropped_.fetch_add((samples - written) / kChannels, std::memory_order_relaxed);
  if (ring_.size() >= kWakeSamples) wake();
}

void Encoder::closeInput() {
  alive_.store(false, std::memory_order_release);
  if (pipeFd_ >= 0) close(pipeFd_);
  pipeFd_ = -1;
}

// Reaps the program if it has exited. Writer thread only (finish() joins
// the writer before it looks at the program itself).
bool Encoder::reapNow() {
  if (reaped_.load()) return true;
  const pid_t r = waitpid(pid_, &status_, WNOHANG);
  if (r == pid_ || (r < 0 && errno == ECHILD)) {
    reaped_.store(true, std::memory_order_release);
    return true;
  }
  return false;
}

void Encoder::writerLoop() {
  // A write into a pipe whose reader has gone answers EPIPE here instead of
  // ending the process; the pending signal dies with this thread.
  sigset_t pipeSet;
  sigemptyset(&pipeSet);
  sigaddset(&pipeSet, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSet, nullptr);
  pthread_setname_np(pthread_self(), "encoder-feed");

  std::vector<char> pending = streamingWavHeader();
  std::size_t sent = 0;
  std::vector<std::int16_t> chunk(kChunkSamples);

  // The program stopped taking input before it was asked to finish.
  auto lostEarly = [this] {
    if (!closing_.load(std::memory_order_acquire)) diedEarly_.store(true, std::memory_order_release);
  };

  for (;;) {
    const bool closing = closing_.load(std::memory_order_acquire);
    if (pipeFd_ >= 0) {
      if (sent == pending.size()) {
        const std::size_t n = ring_.read(chunk.data(), chunk.size());
        pending.assign(reinterpret_cast<const char*>(chunk.data()),
                       reinterpret_cast<const char*>(chunk.data() + n));
        sent = 0;
        // Everything handed over: closing the input makes the program finish its file.
        if (n == 0 && closing && ring_.size() == 0) {
          closeInput();
          continue;
        }
      }
      if (closing && nowNs() > deadlineNs_.load()) {
        incomplete_ = sent < pending.size() || ring_.size() > 0;
        closeInput();
        continue;
      }
      if (sent < pending.size()) {
        const ssize_t n = write(pipeFd_, pending.data() + sent, pending.size() - sent);
        if (n > 0) {
          sent += static_cast<std::size_t>(n);
          continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
          lostEarly();
          closeInput();
          continue;
        }
      }
    } else if (pidFd_ < 0 || (closing && nowNs() >= deadlineNs_.load())) {
      // Without a pidfd finish() waits for the exit itself; past the
      // deadline it hands the program over to reapLingering().
      break;
    }

    // Wait for room in the pipe, for more samples, or for the program to go.
    pollfd fds[3] = {{pipeFd_, static_cast<short>(sent < pending.size() ? POLLOUT : 0), 0},
                     {wakeFd_, POLLIN, 0},
                     {pidFd_, POLLIN, 0}};
    int timeout = kIdlePollMs;
    if (closing) timeout = pipeFd_ >= 0 ? 5 : 20;
    if (poll(fds, 3, timeout) < 0 && errno != EINTR) {
      lostEarly();
      closeInput();
      break;
    }
    if (fds[1].revents & POLLIN) {
      std::uint64_t v;
      [[maybe_unused]] auto r = read(wakeFd_, &v, sizeof v);
    }
    if (fds[2].revents & POLLIN) {
      // The program has exited: reaped now, so that no zombie stays behind.
      if (pipeFd_ >= 0) {
        lostEarly();
        if (closing) incomplete_ = true;
        closeInput();
      }
      reapNow();
      break;
    }
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      lostEarly();
      closeInput();
    }
  }
  if (pipeFd_ >= 0) closeInput();
}

Encoder::Outcome Encoder::finish(int timeoutMs) {
  const std::int64_t deadline = nowNs() + std::int64_t(timeoutMs) * 1000000;
  deadlineNs_ = deadline;
  closing_.store(true, std::memory_order_release);
  wake();
  if (writer_.joinable()) writer_.join();

  // Without a pidfd the exit is awaited here, polling often at first: a
  // finishing encoder usually needs a few milliseconds.
  int sleepUs = 500;
  while (!reapNow()) {
    if (nowNs() >= deadline) break;
    usleep(sleepUs);
    sleepUs = std::min(sleepUs * 2, 10000);
  }
  if (!reaped_) {
    std::lock_guard lock(lingering().mutex);
    lingering().pids.push_back(pid_);
    reaped_ = true;  // handed over
    return Outcome::TimedOut;
  }
  const bool clean = WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
  if (!clean || diedEarly_ || incomplete_ || dropped_ > 0) return Outcome::Failed;
  return Outcome::Finished;
}

int reapLingering(bool force) {
  std::lock_guard lock(lingering().mutex);
  auto& pids = lingering().pids;
  if (force) {
    for (pid_t p : pids) kill(p, SIGTERM);
    for (int i = 0; i < 100 && !pids.empty(); ++i) {
      std::erase_if(pids, [](pid_t p) { return waitpid(p, nullptr, WNOHANG) != 0; });
      if (!pids.empty()) usleep(10000);
    }
    for (pid_t p : pids) {
      kill(p, SIGKILL);
      waitpid(p, nullptr, 0);
    }
    pids.clear();
  }
  std::erase_if(pids, [](pid_t p) { return waitpid(p, nullptr, WNOHANG) != 0; });
  return static_cast<int>(pids.size());
}

}  // namespace audio
