// Showing a window modally in its own event loop, the way the station's
// countdown and text check windows are shown by the stages.
#pragma once

class QWidget;

namespace station {

// Shows window application-modal and runs an event loop until the window is
// hidden (closed) or destroyed; then returns. Timers of other windows keep
// ticking meanwhile. Does nothing for a null window or one already shown.
void showModal(QWidget* window);

}  // namespace station
