// The station in an exam room's locked session (QUORVEL_KIOSK=1, set by
// quorvel-kiosk): the main window is drawn without a frame, centred on the
// whole screen, over a black full-screen backdrop, so nothing but the
// station shows — also on a screen larger than the station. Its boxes,
// centred on the main window or on the screen, are then centred on the
// layout too. In the session the whole station is also drawn larger, by
// Qt's own scaling, when the screen has room for it (see chooseScale).
// Outside the session the window is shown as it always was.
#pragma once

#include <QSize>

class QWidget;

namespace station::kiosk {

// QUORVEL_KIOSK is set to 1 in the environment.
bool active();
// The factor the session draws the station at on a screen of screenSize
// pixels: the largest of 1, 1.25, 1.5, ... at which a window of design size
// still fits the screen (1.5 on 1920 x 1080, 1.25 on 1280 x 1024, 1 on
// 1024 x 768 and below).
double scaleFor(const QSize& screenSize, const QSize& design);
// Before the application is made, in the session only: asks the primary
// screen its size (through a short-lived application of its own) and sets
// QT_SCALE_FACTOR to scaleFor() the station's design size, so that Qt draws
// every text, picture, button and box that much larger, sharp, as on a
// high-density screen. A QT_SCALE_FACTOR already set is left as it is.
void chooseScale(int argc, char** argv);
// Shows mainWindow: in the session over the backdrop, centred; otherwise
// simply shown.
void showMain(QWidget* mainWindow);

}  // namespace station::kiosk
