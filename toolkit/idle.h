// Update-on-idle handlers (Action1Update): run whenever the event queue runs
// empty, in the main loop and in every nested one (dialogs, modal windows).
#pragma once

#include <functional>

class QWidget;

namespace station {

// Registers handler for owner; it runs while owner exists and is neither
// hidden nor disabled, and is dropped when owner is destroyed.
void onIdle(QWidget* owner, std::function<void()> handler);
// Runs every registered handler now (also what the idle hook calls).
void runIdleHandlers();

}  // namespace station
