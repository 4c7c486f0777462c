// One guard for every event handler the station connects: an exception never
// crosses a Qt frame. It ends the handler at the step that threw and is shown
// in the stop-icon error box; the program goes on.
#pragma once

#include <QObject>
#include <exception>
#include <utility>

#include "toolkit/dialogs.h"

namespace station {

void reportUncaught(const std::exception_ptr& error);

template <class F>
void guarded(F&& handler) noexcept {
  try {
    std::forward<F>(handler)();
  } catch (...) {
    reportUncaught(std::current_exception());
  }
}

// Connects signal to a handler taking no arguments, run inside the guard.
template <class Sender, class Signal, class F>
QMetaObject::Connection onEvent(Sender* sender, Signal signal, QObject* context, F handler) {
  return QObject::connect(sender, signal, context,
                          [h = std::move(handler)]() mutable { guarded(h); });
}

}  // namespace station
