// What recording an answer costs: records from the default recording device
// through the station's recorder (SDL2, the encoder pipe, oggenc) for a
// minute (or argv[1] seconds) and, over the same seconds and from the same
// default source, the sound server's own recorder `parec` as the yardstick
// of what capturing costs on this platform. Prints, one figure a line as
// "name value unit":
//   station_cpu_ms_per_min  CPU time of this process per minute recorded
//                           (the benchmark's own sampling thread left out)
//   parec_cpu_ms_per_min    CPU time of parec per minute recorded
//   station_vs_parec_ratio  the two above, divided
//   pipeline_ratio          the station with its oggenc against parec with
//                           an oggenc (the same one's CPU time): what
//                           recording through the station costs against
//                           `parec | oggenc`
//   oggenc_cpu_ms_per_min   CPU time of oggenc per minute recorded
//   check_cpu_ms_per_min    CPU time of the station's check of the finished
//                           file (after the stop, not in the station's figure)
//   station_wakeups_per_s   context switches of the station's threads a second
//   parec_wakeups_per_s     the same for parec
//   oggenc_wakeups_per_s    the same for oggenc
//   meter_paints_per_s      how often the level bar was painted
//   stop_to_playable_ms     from StopRecording to an open playback stream
//   flush_ms                of that, flushing the finished file and its
//                           folder to the disk
//   recorded_seconds        length of the answer file
//   parec_recorded_seconds  length of what parec recorded
//   station_cpu_ms_per_min_meter_off
//                           the station's CPU time per minute in a second
//                           recording of the same length with the input
//                           level bar turned off (the window is shown, so
//                           the bar is drawn in the first one)
//   meter_cpu_ms_per_min    the difference: what the level bar costs
//   wake20_thread_cpu_ms_per_min
//                           what a thread that only wakes 20 times a second
//                           costs on this machine (the floor of a bar that
//                           moves 20 times a second, before any drawing)
//   wake20_ui_cpu_ms_per_min
//                           the user-interface thread with the window shown,
//                           nothing recording, and a timer of 50 ms that does
//                           nothing: the floor of the bar in Qt
//   parec_us_per_wakeup     parec's CPU time per wake-up, and
//   ui_us_per_wakeup        the same for the station's user-interface thread
//                           while it recorded with the bar
// and, as comments on stderr, every thread of this process that ran during
// the recording (those that ended before the stop too): CPU time per minute
// and wake-ups a second.
// While it records, speech (espeak-ng, played by paplay in a process of its
// own) goes into the default output when those programs are there, so the
// encoder has a realistic signal; the player's CPU time is not counted.
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "toolkit/levelmeter.h"
#include "window/main.h"

extern char** environ;

namespace {

// CPU time and context switches (voluntary and involuntary) of a process,
// or of its children that have been reaped.
struct Usage {
  double cpuMs = 0;
  long long switches = 0;
};
Usage usage(const rusage& u) {
  return {(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3,
          u.ru_nvcsw + u.ru_nivcsw};
}
Usage usage(int who) {
  rusage u{};
  getrusage(who, &u);
  return usage(u);
}

// A WAV of `seconds` made of the speech in `speech`, repeated.
bool makeLongSpeech(const QString& speech, const QString& out, double seconds) {
  SF_INFO in{};
  SNDFILE* s = sf_open(QFile::encodeName(speech).constData(), SFM_READ, &in);
  if (!s) return false;
  std::vector<short> one(std::size_t(in.frames) * std::size_t(in.channels));
  sf_readf_short(s, one.data(), in.frames);
  sf_close(s);
  SF_INFO info = in;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* o = sf_open(QFile::encodeName(out).constData(), SFM_WRITE, &info);
  if (!o) return false;
  for (double done = 0; done < seconds; done += double(in.frames) / in.samplerate)
    sf_writef_short(o, one.data(), in.frames);
  sf_close(o);
  return true;
}

// One thread's counters as /proc shows them.
struct ThreadSample {
  std::string name;
  double cpuMs = 0;
  long long switches = 0;  // voluntary and involuntary context switches
};

// The whole of a small /proc file, read without buffering layers (the
// sampler runs beside the recording and should cost it next to nothing).
std::string slurp(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string s;
  char buf[2048];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) s.append(buf, std::size_t(n));
  close(fd);
  return s;
}

long long fieldAfter(const std::string& text, const char* key) {
  const std::size_t at = text.find(key);
  return at == std::string::npos ? 0 : std::atoll(text.c_str() + at + std::strlen(key));
}

// Reads one thread's CPU time and context switches; false once it has gone.
bool readThread(int tid, ThreadSample& out) {
  const std::string dir = "/proc/self/task/" + std::to_string(tid) + "/";
  const std::string stat = slurp(dir + "stat");
  const std::size_t from = stat.find('('), to = stat.rfind(')');
  if (from == std::string::npos || to == std::string::npos || to < from) return false;
  out.name = stat.substr(from + 1, to - from - 1);
  // The scheduler's own count (ns) where there is one: the clock ticks of
  // stat are too coarse for a thread that runs a few ms a second.
  const std::string sched = slurp(dir + "schedstat");
  if (!sched.empty()) {
    out.cpuMs = std::atof(sched.c_str()) / 1e6;
  } else {
    unsigned long ut = 0, st = 0;  // the fields after the name, up to utime and stime
    if (std::sscanf(stat.c_str() + to + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &ut, &st) != 2)
      return false;
    out.cpuMs = (ut + st) * 1000.0 / double(sysconf(_SC_CLK_TCK));
  }
  const std::string status = slurp(dir + "status");
  if (status.empty()) return false;
  out.switches = fieldAfter(status, "\nvoluntary_ctxt_switches:") + fieldAfter(status, "nonvoluntary_ctxt_switches:");
  return true;
}

std::vector<int> threadIds() {
  std::vector<int> ids;
  if (DIR* d = opendir("/proc/self/task")) {
    while (const dirent* e = readdir(d))
      if (e->d_name[0] != '.') ids.push_back(std::atoi(e->d_name));
    closedir(d);
  }
  return ids;
}

// Samples every thread of this process a few times a second while a
// recording runs, keeping each thread's first and last values, so that the
// threads that end before the recording does (or with its stop) are counted
// too. A thread that ends loses at most its last interval.
class ThreadSampler {
 public:
  void start() {
    sampleAll(true);
    worker_ = std::thread([this] {
      pthread_setname_np(pthread_self(), "bench-sampler");
      self_ = static_cast<int>(syscall(SYS_gettid));
      std::unique_lock lock(mutex_);
      while (!stop_) {
        lock.unlock();
        sampleAll(false);
        lock.lock();
        wake_.wait_for(lock, std::chrono::milliseconds(250), [this] { return stop_; });
      }
    });
  }
  void stop() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    worker_.join();
    sampleAll(false);
  }
  struct Thread {
    int tid;
    std::string name;
    double cpuMs;
    long long switches;
    bool bench;  // the sampler itself
  };
  // Every thread that ran during the recording, with what it used during it.
  std::vector<Thread> threads() const {
    std::vector<Thread> v;
    for (const auto& [tid, s] : last_) {
      const auto first = first_.find(tid);
      const bool known = first != first_.end();
      v.push_back({tid, s.name, s.cpuMs - (known ? first->second.cpuMs : 0),
                   s.switches - (known ? first->second.switches : 0), tid == self_});
    }
    return v;
  }

 private:
  void sampleAll(bool first) {
    for (const int tid : threadIds()) {
      ThreadSample s;
      if (!readThread(tid, s)) continue;
      std::lock_guard lock(data_);
      if (first) first_[tid] = s;
      last_[tid] = s;
    }
  }

  std::thread worker_;
  std::mutex mutex_, data_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::atomic<int> self_{0};
  std::map<int, ThreadSample> first_, last_;
};

// parec recording the default source into `file` (raw, the station's sample
// format), as a child of this process so that its CPU time can be read
// exactly when it is reaped.
pid_t startParec(const QString& file) {
  const QByteArray out = QFile::encodeName(file);
  std::vector<QByteArray> args{"parec", "--raw", "--format=s16le", "--rate=44100", "--channels=2", out};
  std::vector<char*> argv;
  for (QByteArray& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, "parec", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// Ends parec and returns what it used; nothing if it could not be run.
std::optional<Usage> endParec(pid_t pid) {
  if (pid <= 0) return std::nullopt;
  kill(pid, SIGTERM);
  int status = 0;
  rusage u{};
  pid_t r = 0;
  for (int i = 0; i < 300 && (r = wait4(pid, &status, WNOHANG, &u)) == 0; ++i) usleep(10000);
  if (r == 0) {  // three seconds without ending
    kill(pid, SIGKILL);
    r = wait4(pid, &status, 0, &u);
  }
  if (r != pid) return std::nullopt;
  // parec ends on SIGTERM with status 0; anything else means it did not record.
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return usage(u);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 60.0;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: bench-recording [seconds]\n");
    return 2;
  }
  QTemporaryDir dir;
  QStringList boxes;
  // Error boxes are answered (and kept); looked for once a second, so the
  // benchmark adds little to the station's own user-interface thread.
  QTimer boxTimer;
  QObject::connect(&boxTimer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      boxes << box->text();
      box->accept();
    }
  });
  boxTimer.start(1000);

  // The signal: speech in the default output, when we can make it.
  QString speech;
  if (!QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty() &&
      !QStandardPaths::findExecutable(QStringLiteral("paplay")).isEmpty()) {
    const QString one = dir.filePath(QStringLiteral("one.wav"));
    QProcess::execute(QStringLiteral("espeak-ng"),
                      {QStringLiteral("-w"), one, QStringLiteral("The answer to the first task is about the "
                                                                 "station, the room and the exam. ")});
    speech = dir.filePath(QStringLiteral("speech.wav"));
    if (!makeLongSpeech(one, speech, 2 * seconds + 2)) speech.clear();  // both recordings
  }
  std::fprintf(stderr, "# signal: %s\n", speech.isEmpty() ? "whatever the default recording device hears"
                                                          : "speech played into the default output");

  auto* main = new TfrmMain();
  main->show();
  if (!boxes.isEmpty()) {
    std::fprintf(stderr, "the sound devices cannot be used: %s\n", qPrintable(boxes.join(QLatin1Char(' '))));
    return 1;
  }
  qint64 player = 0;
  if (!speech.isEmpty()) QProcess::startDetached(QStringLiteral("paplay"), {speech}, QString(), &player);

  const QString file = dir.filePath(QStringLiteral("answer.ogg"));
  // The station checks every recording once it has stopped (decoding the
  // file whole on a worker thread): a cost of its own, after the capture.
  bool checked = false;
  QEventLoop checkLoop;
  QObject::connect(main, &TfrmMain::recordingChecked, &checkLoop, [&] {
    checked = true;
    checkLoop.quit();
  });
  ThreadSampler sampler;
  sampler.start();
  const QString parecFile = dir.filePath(QStringLiteral("parec.raw"));
  const pid_t parec = startParec(parecFile);
  const Usage self0 = usage(RUSAGE_SELF), children0 = usage(RUSAGE_CHILDREN);
  main->StartRecording(file);
  QEventLoop loop;
  QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
  const std::optional<Usage> parecUse = endParec(parec);
  QElapsedTimer stop;
  stop.start();
  main->StopRecording(file);
  const double flushMs = main->recorder()->lastFlushMicros() / 1000.0;
  const double stopMs = stop.nsecsElapsed() / 1e6;
  const bool playable = RecordedStream != 0;
  const Usage self1 = usage(RUSAGE_SELF), children1 = usage(RUSAGE_CHILDREN);
  const int paints = main->levelMeter() ? main->levelMeter()->paints() : 0;
  sampler.stop();
  const Usage checkStart = usage(RUSAGE_SELF);
  if (!checked) {
    QTimer::singleShot(10000, &checkLoop, &QEventLoop::quit);
    checkLoop.exec();
  }
  const Usage checkEnd = usage(RUSAGE_SELF);

  const double perMin = 60.0 / seconds;
  // Where this process's time went, thread by thread, during the recording.
  double benchMs = 0, uiMs = 0;
  long long switches = 0, uiSwitches = 0;
  const int uiThread = static_cast<int>(getpid());
  for (const auto& t : sampler.threads()) {
    if (t.cpuMs <= 0 && t.switches <= 0) continue;
    if (t.bench) benchMs += t.cpuMs;
    else switches += t.switches;
    if (t.tid == uiThread) uiMs = t.cpuMs, uiSwitches = t.switches;
    std::fprintf(stderr, "# thread %-16s %7d: %7.1f ms/min, %6.1f wake-ups/s%s\n", t.name.c_str(), t.tid,
                 t.cpuMs * perMin, double(t.switches) / seconds, t.bench ? " (the benchmark's sampler, not counted)" : "");
  }

  SF_INFO info{};
  SNDFILE* f = sf_open(QFile::encodeName(file).constData(), SFM_READ, &info);
  const double recorded = f ? double(info.frames) / info.samplerate : 0.0;
  if (f) sf_close(f);

  // The same again with the level bar off (the capture no longer measures
  // the level either): the difference is what the bar costs.
  main->setLevelMeterShown(false);
  const Usage off0 = usage(RUSAGE_SELF);
  main->StartRecording(dir.filePath(QStringLiteral("answer-meter-off.ogg")));
  QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
  main->StopRecording(dir.filePath(QStringLiteral("answer-meter-off.ogg")));
  const Usage off1 = usage(RUSAGE_SELF);

  // What twenty wake-ups a second cost here, over a third of the time:
  // first a plain thread, then the user-interface thread with a timer (the
  // recorder's own watch stopped, so that the timer is the only one).
  main->recorder()->release();
  const double floorSeconds = std::max(3.0, seconds / 3);
  double sleepMs = 0;
  std::thread([&] {
    const Usage t0 = usage(RUSAGE_THREAD);
    for (int i = 0; i < int(floorSeconds * 20); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sleepMs = usage(RUSAGE_THREAD).cpuMs - t0.cpuMs;
  }).join();
  QTimer idle;
  idle.setTimerType(Qt::PreciseTimer);
  QObject::connect(&idle, &QTimer::timeout, [] {});
  const Usage ui0 = usage(RUSAGE_THREAD);
  idle.start(50);
  QTimer::singleShot(int(floorSeconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
  idle.stop();
  const double uiFloorMs = usage(RUSAGE_THREAD).cpuMs - ui0.cpuMs;
  delete main;
  if (player > 0) ::kill(pid_t(player), SIGTERM);  // gone already when the speech has ended

  const double station = (self1.cpuMs - self0.cpuMs - benchMs) * perMin;
  // parec was reaped between the two readings: the children's figures hold it.
  const Usage parecUsed = parecUse.value_or(Usage{});
  const double oggenc = (children1.cpuMs - children0.cpuMs - parecUsed.cpuMs) * perMin;
  const long long oggencSwitches = children1.switches - children0.switches - parecUsed.switches;
  std::printf("station_cpu_ms_per_min %.1f ms\n", station);
  if (parecUse && parecUse->cpuMs > 0) {
    std::printf("parec_cpu_ms_per_min %.1f ms\n", parecUse->cpuMs * perMin);
    std::printf("station_vs_parec_ratio %.2f\n", station / (parecUse->cpuMs * perMin));
  } else {
    std::fprintf(stderr, "# parec could not be run: no yardstick\n");
  }
  std::printf("oggenc_cpu_ms_per_min %.1f ms\n", oggenc);
  if (parecUse && parecUse->cpuMs > 0)
    std::printf("pipeline_ratio %.3f\n", (station + oggenc) / (parecUse->cpuMs * perMin + oggenc));
  std::printf("meter_paints_per_s %.1f /s\n", double(paints) / seconds);
  if (checked) std::printf("check_cpu_ms_per_min %.1f ms\n", (checkEnd.cpuMs - checkStart.cpuMs) * perMin);
  std::printf("station_wakeups_per_s %.1f /s\n", double(switches) / seconds);
  if (parecUse) std::printf("parec_wakeups_per_s %.1f /s\n", double(parecUse->switches) / seconds);
  std::printf("oggenc_wakeups_per_s %.1f /s\n", double(oggencSwitches) / seconds);
  const double meterOff = (off1.cpuMs - off0.cpuMs) * perMin;
  std::printf("station_cpu_ms_per_min_meter_off %.1f ms\n", meterOff);
  std::printf("meter_cpu_ms_per_min %.1f ms\n", station - meterOff);
  std::printf("wake20_thread_cpu_ms_per_min %.1f ms\n", sleepMs * 60 / floorSeconds);
  std::printf("wake20_ui_cpu_ms_per_min %.1f ms\n", uiFloorMs * 60 / floorSeconds);
  if (parecUse && parecUse->switches > 0)
    std::printf("parec_us_per_wakeup %.1f us\n", parecUse->cpuMs * 1000 / double(parecUse->switches));
  if (uiSwitches > 0) std::printf("ui_us_per_wakeup %.1f us\n", uiMs * 1000 / double(uiSwitches));
  std::printf("stop_to_playable_ms %.1f ms\n", stopMs);
  std::printf("flush_ms %.1f ms\n", flushMs);
  std::printf("recorded_seconds %.3f s\n", recorded);
  // What the server delivered to parec over (nearly) the same seconds: a
  // station file much shorter than this lost sound; one as short as this
  // reflects the server.
  if (parecUse) std::printf("parec_recorded_seconds %.3f s\n", double(QFileInfo(parecFile).size()) / (2 * 2 * 44100));
  if (!playable || !boxes.isEmpty()) {
    std::fprintf(stderr, "the recording failed: %s\n", qPrintable(boxes.join(QLatin1Char(' '))));
    return 1;
  }
  return 0;
}
