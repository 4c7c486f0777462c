// Stages 10, 20 and 30: the preparation period of each task. The task's
// preparation text is shown while the preparation time counts down in the
// status bar; then the stage hands over to the task's answer stage. The three
// frames differ only in the data of their PrepareKind.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "window/stagecodes.h"
#include "framework/textstage.h"

class TfrmMain;
namespace Ui {
class TfrmPrepare;
}

struct PrepareKind {
  int task;                         // 1..3
  std::int32_t TfrmMain::*time;     // PrepTime1..3
  bool countdownWindow = false;     // the countdown window comes first
  bool showsStatusBar = false;      // makes the status bar visible at start
  bool countsBeforeLoad = false;    // Timer1 started before the text is loaded
  bool asksConfirmation = false;    // "Я готов!" asks before ending
  bool scrollBars = false;          // the text view's scroll bars in quorvel
  stage::Code nextCode;             // the task's answer stage
};

class TfrmPrepare : public TimedTextStage {
  Q_OBJECT
 public:
  TfrmPrepare(QWidget* owner, const PrepareKind& kind);
  ~TfrmPrepare() override;

  void Start();
  void Timer1Timer() override;
  void Button1Click() override;

  // The preparation time T of this frame.
  int duration() const;

 private:
  const PrepareKind& kind_;
  std::unique_ptr<Ui::TfrmPrepare> ui_;
};

class TfrmPrepare1 : public TfrmPrepare {
  Q_OBJECT
 public:
  explicit TfrmPrepare1(QWidget* owner);
};

class TfrmPrepare2 : public TfrmPrepare {
  Q_OBJECT
 public:
  explicit TfrmPrepare2(QWidget* owner);
};

class TfrmPrepare3 : public TfrmPrepare {
  Q_OBJECT
 public:
  explicit TfrmPrepare3(QWidget* owner);
};
