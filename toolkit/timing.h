// Every station timer takes its interval from here, so that a test can run
// the station's clock faster. The station itself never changes the scale.
#pragma once

class QObject;
class QTimer;

namespace station {

// Scale applied to every station timer interval (1.0 in the station).
void setTimerScale(double scale);
double timerScale();
// ms scaled by the timer scale, at least 1.
int scaledInterval(int ms);
// A stopped timer owned by parent with the scaled interval.
QTimer* makeTimer(QObject* parent, int ms);

}  // namespace station
