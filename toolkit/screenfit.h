// The station on a screen smaller than its windows. Every layout is
// designed in pixels for a main window of 1016 x 713; when the primary
// screen's available area cannot hold that, the station is built smaller by
// one factor, decided once at start-up: the geometry of every control of the
// three windows and of every stage frame (scaleTree), the station's fonts
// (station::arialFont and the windows' default fonts) and the text in the
// text views. Everything stays a real widget, so input, dialogs, focus and
// the accessibility tree work as at full size.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace station::screen {

// The client area of the main window as designed.
inline constexpr QSize kDesignSize{1016, 713};

// The factor by which a window of design size must be drawn to fit into
// available: 1 when it fits already, otherwise the smaller of the two
// ratios, rounded down to a thousandth so that rounding never makes the
// window a pixel larger than the area.
double fitFactor(const QSize& available, const QSize& design = kDesignSize);

// The top left corner of a window of size centred in area and kept inside
// it: a window larger than the area starts at the area's top left corner,
// never above or left of it.
QPoint centredIn(const QSize& size, const QRect& area);

// The top left corner for a window of size centred on the primary screen's
// available area (the origin when there is no screen).
QPoint centredOnScreen(const QSize& size);

// The station's factor: 1 unless setFactor chose a smaller one.
double factor();
void setFactor(double f);
// A designed length in pixels at the station's factor (at least 1 when it
// was at least 1).
int scaled(int pixels);
// The primary screen's fitting factor (fitFactor of its available area).
double screenFactor();

// Scales a built widget tree by the station's factor, once: the positions
// and sizes of the controls that no layout places, the fixed, least and
// largest sizes of all of them, the margins and spacing of the layouts; the
// root's own position and size are left to its owner, its fixed sizes are
// scaled. With withFont the root's own default font is scaled as well (the
// fonts of station::arialFont are scaled already). Nothing happens at 1.
void scaleTree(QWidget* root, bool withFont = false);

}  // namespace station::screen
