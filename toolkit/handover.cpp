#include "toolkit/handover.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <set>

namespace station::handover {

namespace {
std::function<void()> g_beforeHandOver;
// Read on the workers: set while no work is in flight (tests only).
std::atomic<bool> g_hooked{false};
std::atomic<bool> g_finishing{false};

// Watchers whose result has not been delivered yet; touched only on the
// user-interface thread, where run() and the watchers live.
std::set<QObject*>& watchers() {
  static std::set<QObject*> set;
  return set;
}
}  // namespace

QThreadPool* pool() {
  // Checks and hashes read whole files: two at a time keep a disk busy
  // without starving the encoder of the running recording.
  static QThreadPool* p = [] {
    auto* created = new QThreadPool;
    created->setMaxThreadCount(2);
    return created;
  }();
  return p;
}

QObject* keeper() {
  static QPointer<QObject> object;
  if (!object && QCoreApplication::instance()) {
    object = new QObject(QCoreApplication::instance());
    object->setObjectName(QStringLiteral("handoverKeeper"));
  }
  return object.data();
}

bool finishing() { return g_finishing; }

bool finish(int msecs) {
  g_finishing = true;
  const bool done = pool()->waitForDone(msecs);
  g_finishing = false;
  // The results that came in are waiting as posted events of their
  // watchers; delivered now, before the station's files are closed.
  QList<QPointer<QObject>> waiting;
  for (QObject* w : watchers()) waiting.append(w);
  for (const QPointer<QObject>& w : waiting)
    if (w) QCoreApplication::sendPostedEvents(w.data(), 0);
  return done;
}

void setBeforeHandOver(std::function<void()> hook) {
  g_beforeHandOver = std::move(hook);
  g_hooked = bool(g_beforeHandOver);
}

namespace detail {

void beforeHandOver() {
  if (g_hooked) g_beforeHandOver();
}

void watching(QObject* watcher) {
  watchers().insert(watcher);
  QObject::connect(watcher, &QObject::destroyed, [watcher] { watchers().erase(watcher); });
}

}  // namespace detail

}  // namespace station::handover
