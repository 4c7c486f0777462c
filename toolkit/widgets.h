// Small widgets and helpers shared by the stage layouts.
#pragma once

#include <QFont>
#include <QLabel>
#include <QPushButton>

class QAction;

namespace station {

// The station's Arial at a size in pixels (bold unless told otherwise).
QFont arialFont(int pixels, bool bold = true, bool italic = false);

// Binds button to action: the button shows the action's caption and enabled
// state, and a click triggers the action.
void bindAction(QAbstractButton* button, QAction* action);

}  // namespace station

// A push button whose caption wraps onto several lines, centred, as the big
// captions of the station's buttons need (the caption itself stays one text).
class WordWrapButton : public QPushButton {
  Q_OBJECT
 public:
  explicit WordWrapButton(QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A label whose text may carry a carriage return right after a line feed
// (the "\n\r" of the station's captions): text() keeps it, but it is not
// drawn, so the line after it starts at its edge like any other (a QLabel
// draws it as a blank that pushes a centred line off centre).
class CaptionLabel : public QLabel {
  Q_OBJECT
 public:
  explicit CaptionLabel(QWidget* parent = nullptr);
  // The text as drawn.
  QString shownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
