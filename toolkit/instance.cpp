#include "toolkit/instance.h"

#include <functional>

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QSocketNotifier>
#include <cstdio>

#include "toolkit/dialogs.h"
#include "toolkit/journal.h"

namespace station {

namespace {
bool g_interrupted = false;
}  // namespace

bool lastRunInterrupted() { return g_interrupted; }

std::unique_ptr<QLockFile> claimStationFolder(const QString& folder) {
  auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral("station.lock")));
  // Stale only when its process is gone, never by age: a station runs all day.
  lock->setStaleLockTime(0);
  // A lock file that is there before the station takes it was left by a
  // run that ended without releasing it; one held by a running station
  // makes tryLock fail below.
  qint64 pid = 0;
  QString host, app;
  const bool leftOver = lock->getLockInfo(&pid, &host, &app);
  g_interrupted = false;
  // The exam room launcher says why it started this station again.
  const QString launcherSaid = qEnvironmentVariable("QUORVEL_KIOSK_RESTART").simplified().left(300);
  if (lock->tryLock(0)) {
    if (leftOver) {
      g_interrupted = true;
      journal::write(QStringLiteral("station-restart"),
                     QStringLiteral("the last run (process %1) did not end cleanly: a crash or a power cut")
                         .arg(pid));
    }
    if (!launcherSaid.isEmpty())
      journal::write(QStringLiteral("station-restart"), QStringLiteral("the last run ended: ") + launcherSaid);
    return lock;
  }
  if (lock->error() != QLockFile::LockFailedError) return lock;  // not lockable here: nothing to guard
  const QString text =
      QStringLiteral("Из папки \"%1\" уже запущена станция.\n"
                     "Вторая станция из той же папки не запускается: ответы участников попали бы в одни "
                     "и те же папки.")
          .arg(QDir::toNativeSeparators(QDir(folder).absolutePath()));
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  dialogs::showStopBox(text);
  return nullptr;
}

namespace {

int g_signalPipe[2] = {-1, -1};
bool g_endRequested = false;
int g_endSignal = 0;
std::function<void()> g_onEnd;

// Async-signal-safe: one byte into the pipe, read by the event loop.
void onEndSignal(int sig) {
  const int saved = errno;
  const char byte = char(sig);
  [[maybe_unused]] auto n = write(g_signalPipe[1], &byte, 1);
  errno = saved;
}

void endFromEventLoop() {
  char buf[64];
  ssize_t n;
  while ((n = read(g_signalPipe[0], buf, sizeof buf)) > 0) {
    if (g_endSignal == 0) g_endSignal = buf[0];
  }
  g_endRequested = true;
  if (g_onEnd) g_onEnd();
  // Ends every running event loop, the nested ones of open boxes included.
  QCoreApplication::exit(0);
}

}  // namespace

void installEndSignals(std::function<void()> onEnd) {
  g_onEnd = std::move(onEnd);
  if (g_signalPipe[0] >= 0) return;
  if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { endFromEventLoop(); });
  struct sigaction sa {};
  sa.sa_handler = &onEndSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}

bool endRequested() { return g_endRequested; }

int endStatus() { return g_endRequested ? 128 + (g_endSignal > 0 ? g_endSignal : SIGTERM) : 0; }

}  // namespace station
