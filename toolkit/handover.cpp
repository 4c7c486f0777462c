#include "toolkit/handover.h"

#include <QCoreApplication>
#include <QMutex>
#include <QPointer>
#include <atomic>
#include <set>

#include "toolkit/journal.h"

namespace station::handover {

namespace {
// Guards everything below that more than one thread may touch: the hook,
// the set of watchers, the keeper and the pool's pointer.
QMutex g_mutex;
std::function<void()> g_beforeHandOver;
// Read on the workers without the lock: set while no work is in flight (tests only).
std::atomic<bool> g_hooked{false};
std::atomic<bool> g_finishing{false};
std::atomic<bool> g_closed{false};
// Watchers whose result has not been delivered yet.
std::set<QObject*> g_watchers;
QPointer<QObject> g_keeper;
QThreadPool* g_pool = nullptr;
// The application object whose end closed the pool: no pool is made again
// while it is being destroyed.
QCoreApplication* g_ended = nullptr;

// Runs as the application object goes, before its children and the event
// dispatcher do: no work is taken any more, and every piece still running
// ends before the objects and files it may use are gone.
void closePool() {
  g_closed = true;
  QThreadPool* p = nullptr;
  {
    QMutexLocker lock(&g_mutex);
    std::swap(p, g_pool);
    g_ended = QCoreApplication::instance();
  }
  if (!p) return;
  p->waitForDone();
  delete p;
}
}  // namespace

QThreadPool* pool() {
  QMutexLocker lock(&g_mutex);
  if (!g_pool && QCoreApplication::instance() && QCoreApplication::instance() != g_ended) {
    g_pool = new QThreadPool;
    // Checks and hashes read whole files: two at a time keep a disk busy
    // without starving the encoder of the running recording.
    g_pool->setMaxThreadCount(2);
    qAddPostRoutine(closePool);
    // A new application object (tests make one after another) takes work again.
    g_closed = false;
  }
  return g_pool;
}

QObject* keeper() {
  QMutexLocker lock(&g_mutex);
  if (!g_keeper && QCoreApplication::instance()) {
    g_keeper = new QObject(QCoreApplication::instance());
    g_keeper->setObjectName(QStringLiteral("handoverKeeper"));
  }
  return g_keeper.data();
}

bool finishing() { return g_finishing; }

bool waitForAll(int msecs) {
  QThreadPool* p = pool();
  g_finishing = true;
  const bool done = !p || p->waitForDone(msecs);
  g_finishing = false;
  // The results that came in are waiting as posted events of their
  // watchers; delivered now, before the station's files are closed.
  QList<QPointer<QObject>> waiting;
  {
    QMutexLocker lock(&g_mutex);
    for (QObject* w : g_watchers)
      if (w->thread() == QThread::currentThread()) waiting.append(w);
  }
  for (const QPointer<QObject>& w : waiting)
    if (w) QCoreApplication::sendPostedEvents(w.data(), 0);
  return done;
}

bool finish(int msecs) {
  g_closed = true;
  return waitForAll(msecs);
}

void open() { g_closed = false; }

void setBeforeHandOver(std::function<void()> hook) {
  QMutexLocker lock(&g_mutex);
  g_beforeHandOver = std::move(hook);
  g_hooked = bool(g_beforeHandOver);
}

namespace detail {

void beforeHandOver() {
  if (!g_hooked) return;
  std::function<void()> hook;
  {
    QMutexLocker lock(&g_mutex);
    hook = g_beforeHandOver;
  }
  if (hook) hook();
}

void watching(QObject* watcher) {
  {
    QMutexLocker lock(&g_mutex);
    g_watchers.insert(watcher);
  }
  // Direct: erased on whichever thread the watcher is deleted, before its
  // address can be reused.
  QObject::connect(watcher, &QObject::destroyed, [watcher] {
    QMutexLocker lock(&g_mutex);
    g_watchers.erase(watcher);
  });
}

bool admit(QObject* receiver, const char* what, QString* why) {
  if (!receiver || receiver->thread() != QThread::currentThread()) {
    // A caller's mistake: the result could only reach the receiver on the
    // wrong thread. Refused rather than delivered where it does not belong.
    Q_ASSERT_X(false, "handover::run", "the receiver lives on another thread than the caller");
    *why = QStringLiteral("the receiver lives on another thread");
  } else if (g_closed || !pool()) {
    *why = QStringLiteral("the station is ending");
  } else {
    return true;
  }
  journal::write(QStringLiteral("work-refused"), QStringLiteral("%1: %2").arg(QLatin1String(what), *why));
  return false;
}

QString describe(std::exception_ptr thrown) {
  try {
    std::rethrow_exception(std::move(thrown));
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  } catch (...) {
    return QStringLiteral("an unknown exception");
  }
}

}  // namespace detail

}  // namespace station::handover
