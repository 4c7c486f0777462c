// A picture drawn centred in the widget at its natural size, scaled down in
// proportion only when the widget is smaller. Used for the microphone and
// loudspeaker pictures behind the stages' controls.
#pragma once

#include <QPixmap>
#include <QWidget>

class StationPicture : public QWidget {
  Q_OBJECT
  // Resource path of the picture, e.g. ":/pictures/mic.png" (set in the layouts).
  Q_PROPERTY(QString picture READ picture WRITE setPicture)

 public:
  explicit StationPicture(QWidget* parent = nullptr);
  QString picture() const { return path_; }
  void setPicture(const QString& path);
  // The rectangle the picture occupies now, in widget coordinates.
  QRect pictureRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString path_;
  QPixmap pixmap_;
};
