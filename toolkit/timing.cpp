#include "toolkit/timing.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

namespace station {
namespace {
double g_scale = 1.0;
}

void setTimerScale(double scale) { g_scale = scale > 0 ? scale : 1.0; }
double timerScale() { return g_scale; }

int scaledInterval(int ms) { return std::max(1, static_cast<int>(std::lround(ms * g_scale))); }

QTimer* makeTimer(QObject* parent, int ms) {
  auto* t = new QTimer(parent);
  t->setInterval(scaledInterval(ms));
  t->setTimerType(Qt::PreciseTimer);
  return t;
}

}  // namespace station
