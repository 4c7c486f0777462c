#include "toolkit/idle.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "toolkit/guard.h"

namespace station {
namespace {

struct IdleHandler {
  QPointer<QWidget> owner;
  std::function<void()> handler;
};

std::vector<IdleHandler>& handlers() {
  static std::vector<IdleHandler> list;
  return list;
}

bool g_hooked = false;
bool g_running = false;

void hook() {
  if (g_hooked) return;
  auto* dispatcher = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread());
  if (!dispatcher) return;
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher,
                   [] { runIdleHandlers(); });
  g_hooked = true;
}

}  // namespace

void onIdle(QWidget* owner, std::function<void()> handler) {
  hook();
  handlers().push_back({owner, std::move(handler)});
}

void runIdleHandlers() {
  if (g_running) return;  // a handler that opens a box must not re-enter
  g_running = true;
  auto& list = handlers();
  std::erase_if(list, [](const IdleHandler& h) { return h.owner.isNull(); });
  // Copy: a handler may register or destroy others.
  const auto snapshot = list;
  for (const auto& h : snapshot) {
    if (h.owner.isNull() || h.owner->isHidden() || !h.owner->isEnabled()) continue;
    guarded(h.handler);
  }
  g_running = false;
}

}  // namespace station
