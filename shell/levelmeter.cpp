#include "shell/levelmeter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "shell/widgets.h"

namespace station {

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("LevelMeter"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // Every pixel is painted here: nothing beneath needs repainting when the
  // level changes, twenty times a second.
  setAttribute(Qt::WA_OpaquePaintEvent);
  caption_.setText(QStringLiteral("Микрофон"));
  caption_.setPerformanceHint(QStaticText::AggressiveCaching);
  setToolTip(QStringLiteral("Уровень сигнала микрофона"));
}

void LevelMeter::take(int peak) {
  const double db = peak > 0 ? std::max(kFloorDb, 20.0 * std::log10(peak / 32767.0)) : kFloorDb;
  const double shown = std::max(db, levelDb_ - kFallDb);
  const bool moved = fillEnd(shown) != fillEnd(levelDb_);
  levelDb_ = shown;
  // Painted only when the bar's end moves by a pixel, and at once rather
  // than through a posted request: no second pass of the event loop (with
  // its idle handlers) twenty times a second.
  if (moved && isVisible()) repaint();
}

int LevelMeter::fillEnd(double db) const {
  const int w = width() - 1;
  return int(std::lround((std::clamp(db, kFloorDb, 0.0) - kFloorDb) / -kFloorDb * w));
}

void LevelMeter::reset() {
  levelDb_ = kFloorDb;
  update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect().adjusted(0, 0, -1, -1);
  p.fillRect(r, QColor(40, 40, 40));
  const auto xAt = [&](double db) { return r.left() + fillEnd(db); };
  const int x = xAt(levelDb_);
  const int yellow = xAt(-12.0);
  const int red = xAt(-3.0);
  const auto band = [&](int from, int to, QColor c) {
    if (x > from) p.fillRect(QRect(QPoint(from, r.top() + 1), QPoint(std::min(x, to) - 1, r.bottom() - 1)), c);
  };
  band(r.left() + 1, yellow, QColor(0, 170, 0));
  band(yellow, red, QColor(230, 200, 0));
  band(red, r.right(), QColor(220, 0, 0));
  p.setPen(QColor(120, 120, 120));
  p.drawRect(r);
  p.setPen(Qt::white);
  p.setFont(arialFont(9, true));
  p.drawStaticText(QPointF(r.left() + 4, r.top() + (r.height() - caption_.size().height()) / 2), caption_);
}

}  // namespace station
