#include "toolkit/levelmeter.h"

#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "toolkit/widgets.h"

namespace station {

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("LevelMeter"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // Every pixel is painted here: nothing beneath needs repainting when the
  // level changes, ten times a second.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setToolTip(QStringLiteral("Уровень сигнала микрофона"));
  setAccessibleName(QStringLiteral("Микрофон"));
}

void LevelMeter::take(int peak) {
  const double db = peak > 0 ? std::max(kFloorDb, 20.0 * std::log10(peak / 32767.0)) : kFloorDb;
  const double shown = std::max(db, levelDb_ - kFallDb);
  const bool moved = fillEnd(shown) != fillEnd(levelDb_);
  levelDb_ = shown;
  // Painted only when the bar's end moves by a pixel (its colours lie where
  // it ends, so they change only then), and at once rather than through a
  // posted request: no second pass of the event loop (with its idle
  // handlers) ten times a second. A window that is minimised or covered
  // is painted whole when it shows again, with the level of then.
  if (moved && canBeSeen()) repaint();
}

bool LevelMeter::canBeSeen() const {
  if (!isVisible()) return false;
  const QWidget* top = window();
  const QWindow* w = top->windowHandle();
  return w && w->isExposed() && !(top->windowState() & Qt::WindowMinimized);
}

int LevelMeter::fillEnd(double db) const {
  const int w = width() - 1;
  return int(std::lround((std::clamp(db, kFloorDb, 0.0) - kFloorDb) / -kFloorDb * w));
}

void LevelMeter::reset() {
  levelDb_ = kFloorDb;
  update();
}

QPixmap LevelMeter::picture(bool full) const {
  const qreal dpr = devicePixelRatioF();
  QPixmap pm(size() * dpr);
  pm.setDevicePixelRatio(dpr);
  QPainter p(&pm);
  const QRect r = rect().adjusted(0, 0, -1, -1);
  p.fillRect(rect(), QColor(40, 40, 40));
  if (full) {
    const auto xAt = [&](double db) { return r.left() + fillEnd(db); };
    const int yellow = xAt(-12.0);
    const int red = xAt(-3.0);
    const auto band = [&](int from, int to, QColor c) {
      p.fillRect(QRect(QPoint(from, r.top() + 1), QPoint(to - 1, r.bottom() - 1)), c);
    };
    band(r.left() + 1, yellow, QColor(0, 170, 0));
    band(yellow, red, QColor(230, 200, 0));
    band(red, r.right(), QColor(220, 0, 0));
  }
  p.setPen(QColor(120, 120, 120));
  p.drawRect(r);
  p.setPen(Qt::white);
  p.setFont(arialFont(9, true));
  p.drawText(r.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Микрофон"));
  return pm;
}

void LevelMeter::drawPictures() {
  full_ = picture(true);
  empty_ = picture(false);
}

void LevelMeter::resizeEvent(QResizeEvent*) { drawPictures(); }

void LevelMeter::paintEvent(QPaintEvent*) {
  ++paints_;
  if (full_.isNull() || full_.deviceIndependentSize().toSize() != size()) drawPictures();
  QPainter p(this);
  // The filled part ends one pixel inside the frame, at the level's x.
  const int x = std::clamp(fillEnd(levelDb_), 1, width() - 1);
  const int h = height();
  const qreal dpr = full_.devicePixelRatio();
  if (dpr == 1.0) {
    // Whole pixels: a plain copy, the cheapest way to paint.
    p.drawPixmap(QPoint(0, 0), full_, QRect(0, 0, x, h));
    p.drawPixmap(QPoint(x, 0), empty_, QRect(x, 0, width() - x, h));
    return;
  }
  const auto source = [&](int from, int to) { return QRectF(from * dpr, 0, (to - from) * dpr, h * dpr); };
  p.drawPixmap(QRectF(0, 0, x, h), full_, source(0, x));
  p.drawPixmap(QRectF(x, 0, width() - x, h), empty_, source(x, width()));
}

}  // namespace station
