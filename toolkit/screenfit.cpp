#include "toolkit/screenfit.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace station::screen {

namespace {
double g_factor = 1.0;

QSize scaledSize(const QSize& s) {
  auto one = [](int v) { return v >= QWIDGETSIZE_MAX ? v : scaled(v); };
  return {one(s.width()), one(s.height())};
}

void scaleLayout(QLayout* layout) {
  const QMargins m = layout->contentsMargins();
  layout->setContentsMargins(scaled(m.left()), scaled(m.top()), scaled(m.right()), scaled(m.bottom()));
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    grid->setHorizontalSpacing(std::max(0, scaled(grid->horizontalSpacing())));
    grid->setVerticalSpacing(std::max(0, scaled(grid->verticalSpacing())));
  } else if (layout->spacing() > 0) {
    layout->setSpacing(scaled(layout->spacing()));
  }
  for (int i = 0; i < layout->count(); ++i)
    if (QLayout* inner = layout->itemAt(i)->layout()) scaleLayout(inner);
}

bool placedByLayout(const QWidget* w) {
  const QWidget* parent = w->parentWidget();
  return parent && parent->layout() && parent->layout()->indexOf(const_cast<QWidget*>(w)) >= 0;
}

void scaleSizes(QWidget* w) {
  const QSize least = w->minimumSize();
  const QSize largest = w->maximumSize();
  // Least size cleared first: it may lie above the new largest one.
  w->setMinimumSize(0, 0);
  w->setMaximumSize(scaledSize(largest));
  w->setMinimumSize(scaledSize(least));
}
}  // namespace

double fitFactor(const QSize& available, const QSize& design) {
  if (available.width() <= 0 || available.height() <= 0 || design.isEmpty()) return 1.0;
  const double f = std::min(double(available.width()) / design.width(),
                            double(available.height()) / design.height());
  if (f >= 1.0) return 1.0;
  return std::floor(f * 1000.0) / 1000.0;
}

QPoint centredIn(const QSize& size, const QRect& area) {
  const int x = area.left() + std::max(0, (area.width() - size.width()) / 2);
  const int y = area.top() + std::max(0, (area.height() - size.height()) / 2);
  return {x, y};
}

QPoint centredOnScreen(const QSize& size) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? centredIn(size, screen->availableGeometry()) : QPoint(0, 0);
}

double factor() { return g_factor; }
void setFactor(double f) { g_factor = (f > 0 && f < 1.0) ? f : 1.0; }

int scaled(int pixels) {
  if (g_factor == 1.0) return pixels;
  const int v = int(std::lround(pixels * g_factor));
  return pixels >= 1 ? std::max(1, v) : v;
}

double screenFactor() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? fitFactor(screen->availableGeometry().size()) : 1.0;
}

void scaleTree(QWidget* root, bool withFont) {
  if (g_factor == 1.0 || !root) return;
  if (withFont) {
    QFont f = root->font();
    if (f.pixelSize() > 0) f.setPixelSize(scaled(f.pixelSize()));
    else f.setPointSizeF(f.pointSizeF() * g_factor);
    root->setFont(f);
  }
  scaleSizes(root);
  if (root->layout()) scaleLayout(root->layout());
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (w->isWindow()) continue;
    const bool free = !placedByLayout(w);
    const QRect g = w->geometry();
    scaleSizes(w);
    if (free) w->setGeometry(scaled(g.x()), scaled(g.y()), scaled(g.width()), scaled(g.height()));
    if (w->layout()) scaleLayout(w->layout());
  }
}

}  // namespace station::screen
