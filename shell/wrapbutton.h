// A push button whose caption wraps onto several lines when it is wider than
// the button (the caption itself stays one text, without line breaks).
#pragma once

#include <QPushButton>

class WrapButton : public QPushButton {
  Q_OBJECT

 public:
  explicit WrapButton(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
