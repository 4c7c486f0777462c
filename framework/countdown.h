// The one tick rule of every timed stage, written on the main window's status
// bar: ticks are counted from 0, the stage ends at the first tick at which
// the count exceeds the duration, and an early end sets the count to
// kEarlyEnd so that the next tick ends it.
#pragma once

#include <QString>

namespace station {

inline constexpr int kEarlyEnd = 1000;

// Writes the step's name, the full duration (seconds + " сек.") and an empty
// gauge of maximum `duration` into the status bar.
void countdownBegin(const QString& name, int duration);
// One tick: adds 1 to elapsed; true when the stage ends now (elapsed >
// duration; the status bar is left as it was), otherwise advances the gauge
// and writes the seconds left, and returns false.
bool countdownTick(int& elapsed, int duration);
// "T сек."
QString secondsText(int seconds);

}  // namespace station
