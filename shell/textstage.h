// The base of the timed stages that show a task text under a caption panel
// with one button (the preparations, the answers to tasks 1 and 3): the
// layout's controls, the one-second Timer1 and its tick count, the text
// loaded so that a failure does not stop the stage, and the button's early
// end after a confirmation.
#pragma once

#include <QString>
#include <cstdint>
#include <exception>

#include "shell/stage.h"

class QLabel;
class QPushButton;
class QTimer;
namespace textview {
class RichView;
}

class TimedTextStage : public StageFrame {
  Q_OBJECT
 public:
  virtual void Timer1Timer() = 0;
  virtual void Button1Click() = 0;

  std::int32_t ElapsedSeconds = 0;

  // The task text: the participant reads it, and scrolls it with the keys
  // where it has scroll bars; Tab goes on to the button.
  QWidget* firstControl() const override;

  QLabel* Panel1 = nullptr;
  QPushButton* Button1 = nullptr;
  textview::RichView* RichEdit1 = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  explicit TimedTextStage(QWidget* owner);

  // Takes the layout's controls (after setupUi): the panel's caption and
  // fonts, the view's scroll bars, Timer1 and the button's handler.
  void bindLayout(QLabel* panel, QPushButton* button, textview::RichView* view, const QString& caption,
                  bool scrollBars);
  // Asks question; Yes ends the period at the next tick, unless the stage
  // has been left while the question was open.
  void confirmEarlyEnd(const QString& question);
};
