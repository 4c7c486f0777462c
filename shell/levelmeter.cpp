#include "shell/levelmeter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "shell/widgets.h"

namespace station {

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("LevelMeter"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setToolTip(QStringLiteral("Уровень сигнала микрофона"));
}

void LevelMeter::take(int peak) {
  const double db = peak > 0 ? std::max(kFloorDb, 20.0 * std::log10(peak / 32767.0)) : kFloorDb;
  const double shown = std::max(db, levelDb_ - kFallDb);
  if (shown != levelDb_) {
    levelDb_ = shown;
    update();
  }
}

void LevelMeter::reset() {
  levelDb_ = kFloorDb;
  update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect().adjusted(0, 0, -1, -1);
  p.fillRect(r, QColor(40, 40, 40));
  const auto xAt = [&](double db) { return r.left() + int(std::lround((db - kFloorDb) / -kFloorDb * r.width())); };
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
  p.drawText(r.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Микрофон"));
}

}  // namespace station
