#include "toolkit/picture.h"

#include <QPainter>

StationPicture::StationPicture(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StationPicture::setPicture(const QString& path) {
  path_ = path;
  pixmap_ = QPixmap(path);
  update();
}

QRect StationPicture::pictureRect() const {
  if (pixmap_.isNull()) return {};
  QSize size = pixmap_.size();
  if (size.width() > width() || size.height() > height())
    size.scale(this->size(), Qt::KeepAspectRatio);
  QRect r(QPoint(0, 0), size);
  r.moveCenter(rect().center());
  return r;
}

void StationPicture::paintEvent(QPaintEvent*) {
  if (pixmap_.isNull()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawPixmap(pictureRect(), pixmap_);
}
