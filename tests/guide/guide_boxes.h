// The guide's pictures: what the X screen shows over a window, and the
// boxes the station opens, pictured (when one is expected) and answered.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace guide {

// Saves the screen over `window` (the main window when null) as OUT/NAME.png,
// with every box open over it.
void shot(const QString& name, QWidget* window = nullptr);
// Watches for boxes from now on; pictures go to outDir, and each box's text
// and each picture are told through say.
void watchBoxes(const QString& outDir, std::function<void(const QString&)> say);
// The next box is pictured as `picture` (none when empty) and answered with
// `button` ("OK", "&Yes"). A box nobody expects is answered with its default.
void expectBox(const QString& picture, const QString& button);
// Pictures the screen over w as NAME once w has been shown for settleMs,
// even while the script waits under a loop that w runs.
void shotWhenShown(QWidget* w, const QString& name, int settleMs);
// Waits until every expected box has been answered (and every picture
// asked of shotWhenShown taken).
bool waitAnswered(int timeoutMs);
// Waits until w is shown and enabled.
bool waitEnabled(QWidget* w, int timeoutMs = 10000);

}  // namespace guide
