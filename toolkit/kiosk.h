// The station in an exam room's locked session (QUORVEL_KIOSK=1, set by
// quorvel-kiosk): the main window is drawn without a frame, centred on the
// whole screen, over a black full-screen backdrop, so nothing but the
// station shows — also on a screen larger than the station. Its boxes,
// centred on the main window or on the screen, are then centred on the
// layout too. Outside the session the window is shown as it always was.
#pragma once

class QWidget;

namespace station::kiosk {

// QUORVEL_KIOSK is set to 1 in the environment.
bool active();
// Shows mainWindow: in the session over the backdrop, centred; otherwise
// simply shown.
void showMain(QWidget* mainWindow);

}  // namespace station::kiosk
