// The bases of the timed stages.
//  - TimedStage: the one-second Timer1 and its tick count, the stage's one
//    button, and the button's early end after a confirmation (the
//    preparations, the answers, the question series of task 2).
//  - TimedTextStage: a task text under a caption panel with the button (the
//    preparations, the answers to tasks 1 and 3): the layout's controls and
//    the text loaded so that a failure does not stop the stage.
#pragma once

#include <QString>
#include <cstdint>
#include <exception>

#include "framework/stage.h"

class QLabel;
class QPushButton;
class QTimer;
namespace textview {
class RichView;
}

class TimedStage : public StageFrame {
  Q_OBJECT
 public:
  virtual void Timer1Timer() = 0;
  virtual void Button1Click() = 0;

  std::int32_t ElapsedSeconds = 0;

  QPushButton* Button1 = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  explicit TimedStage(QWidget* owner);

  // Takes the stage's button and makes Timer1 (stopped), each connected to
  // its handler.
  void bindTimer(QPushButton* button);
  // Asks question; Yes ends the period at the next tick, unless the stage
  // has been left or the period has ended (Timer1 stopped) while the
  // question was open. A second call while the question is open does nothing.
  void confirmEarlyEnd(const QString& question);
  // True while the question of confirmEarlyEnd is open.
  bool confirming() const { return confirming_; }

 private:
  bool confirming_ = false;
};

class TimedTextStage : public TimedStage {
  Q_OBJECT
 public:
  QLabel* Panel1 = nullptr;
  textview::RichView* RichEdit1 = nullptr;

  // The task text: the participant reads it, and scrolls it with the keys
  // where it has scroll bars; Tab goes on to the button.
  QWidget* firstControl() const override;

 protected:
  explicit TimedTextStage(QWidget* owner);

  // Takes the layout's controls (after setupUi): the panel's caption and
  // fonts, the view's scroll bars, Timer1 and the button's handler.
  void bindLayout(QLabel* panel, QPushButton* button, textview::RichView* view, const QString& caption,
                  bool scrollBars);
};
