// Work done off the user-interface thread (checking a recording, hashing an
// answer, measuring lengths) and the one way its result comes back.
//
// run() starts the work on the station's worker pool (QtConcurrent) and
// watches its future with a QFutureWatcher owned by the receiver. The
// result is delivered by the watcher's own finished signal on the
// receiver's thread; a receiver deleted before that deletes its watcher,
// which detaches from the future under the future's lock, so nothing ever
// reaches an object that is gone and no thread but the receiver's looks at
// it. The receiver must live on the thread that calls run(): the watcher is
// made there and becomes its child.
//
// What must reach the disk whatever happens to the window that asked for
// it (a manifest line, a journal line) is delivered to keeper(): an object
// that lives as long as the application. finish() waits for every piece of
// work in flight and delivers what it brings, so the station ending does
// not lose it; from then on no new work is taken until open().
//
// Work that throws does not end the program: its receiver gets an Outcome
// that failed, with what was thrown.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "toolkit/guard.h"

namespace station::handover {

// What a piece of work came to: its result, or why there is none (it threw,
// or it was refused because the station is ending).
template <typename Result>
struct Outcome {
  std::optional<Result> value;
  QString error;  // empty when value holds the result
  bool ok() const { return value.has_value(); }
};

// The pool every piece of the station's background work runs on; null
// without an application object. It is waited for and deleted when the
// application object goes.
QThreadPool* pool();
// The receiver of results that must not depend on a window: a child of the
// application object, on its thread.
QObject* keeper();

// Runs work() on the pool; done(outcome) then runs on receiver's thread,
// unless receiver has been deleted by then. what names the work in the
// journal when it is refused. False, and work never runs, when it is
// refused: a receiver on another thread than the caller's (an assertion in
// debug builds), or the station ending (done is then told so at once).
template <typename Work, typename Done>
bool run(QObject* receiver, const char* what, Work work, Done done);

// Waits up to msecs for all work on the pool, then delivers every result
// that has come in to receivers still there. False when time ran out.
bool waitForAll(int msecs);
// The station is ending: no new work is taken from now on; then
// waitForAll(msecs).
bool finish(int msecs);
// Work is taken again (a station started anew in the same process).
void open();

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
// Whether work for receiver may start now; journals a refusal of what.
bool admit(QObject* receiver, const char* what, QString* why);
QString describe(std::exception_ptr thrown);
}  // namespace detail

template <typename Work, typename Done>
bool run(QObject* receiver, const char* what, Work work, Done done) {
  using Result = std::invoke_result_t<Work&>;
  using Out = Outcome<Result>;
  QString why;
  if (!detail::admit(receiver, what, &why)) {
    // A receiver on another thread is not called at all: this thread must
    // not touch it. One on this thread hears that its work was refused.
    if (receiver && receiver->thread() == QThread::currentThread()) done(Out{std::nullopt, why});
    return false;
  }
  auto* watcher = new QFutureWatcher<Out>(receiver);
  QObject::connect(watcher, &QFutureWatcherBase::finished, watcher,
                   [watcher, done = std::move(done)]() mutable {
                     watcher->deleteLater();
                     guarded([&] { done(watcher->result()); });
                   });
  detail::watching(watcher);
  watcher->setFuture(QtConcurrent::run(pool(), [work = std::move(work)]() mutable {
    Out out;
    try {
      out.value.emplace(work());
    } catch (...) {
      out.error = detail::describe(std::current_exception());
    }
    detail::beforeHandOver();
    return out;
  }));
  return true;
}

}  // namespace station::handover
