// Work done off the user-interface thread (checking a recording, hashing an
// answer, measuring lengths) and the one way its result comes back.
//
// run() starts the work on the station's worker pool (QtConcurrent) and
// watches its future with a QFutureWatcher owned by the receiver. The
// result is delivered by the watcher's own finished signal on the
// receiver's thread; a receiver deleted before that deletes its watcher,
// which detaches from the future under the future's lock, so nothing ever
// reaches an object that is gone and no thread but the receiver's looks at
// it.
//
// What must reach the disk whatever happens to the window that asked for
// it (a manifest line, a journal line) is delivered to keeper(): an object
// that lives as long as the application. finish() waits for every piece of
// work in flight and delivers what it brings, so the station ending does
// not lose it.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <functional>
#include <type_traits>
#include <utility>

namespace station::handover {

// The pool every piece of the station's background work runs on.
QThreadPool* pool();
// The receiver of results that must not depend on a window: a child of the
// application object, on its thread.
QObject* keeper();

// Runs work() on the pool; done(result) then runs on receiver's thread,
// unless receiver has been deleted by then.
template <typename Work, typename Done>
void run(QObject* receiver, Work work, Done done);

// Waits up to msecs for all work on the pool, then delivers every result
// that has come in to receivers still there. False when time ran out.
bool finish(int msecs);

// True while finish() waits for the pool (read on any thread).
bool finishing();

// A seam for tests: called on the worker thread after each piece of work,
// before its result is handed over (null: none). A test blocks in it to
// delete a receiver while the work is in flight.
void setBeforeHandOver(std::function<void()> hook);

namespace detail {
void beforeHandOver();
// Every watcher not yet delivered, so that finish() can deliver them.
void watching(QObject* watcher);
}  // namespace detail

template <typename Work, typename Done>
void run(QObject* receiver, Work work, Done done) {
  using Result = std::invoke_result_t<Work&>;
  auto* watcher = new QFutureWatcher<Result>(receiver);
  QObject::connect(watcher, &QFutureWatcherBase::finished, watcher,
                   [watcher, done = std::move(done)]() mutable {
                     watcher->deleteLater();
                     done(watcher->result());
                   });
  detail::watching(watcher);
  watcher->setFuture(QtConcurrent::run(pool(), [work = std::move(work)]() mutable {
    Result result = work();
    detail::beforeHandOver();
    return result;
  }));
}

}  // namespace station::handover
