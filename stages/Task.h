// Stages 11 and 31: the answers to tasks 1 and 3. The task text stays on
// screen while the whole answer period is recorded into one answer file; at
// the end of the period the recording stops and the next stage begins. The
// two frames differ only in the data of their MonologueKind.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "window/stagecodes.h"
#include "framework/textstage.h"

class TfrmMain;
namespace Ui {
class TfrmMonologueTask;
}

struct MonologueKind {
  int task;                      // 1 or 3
  std::int32_t TfrmMain::*time;  // AnswerTime1, AnswerTime3
  bool scrollBars;               // the text view's scroll bars in quorvel
  stage::Code nextCode;          // the stage after the answer
};

class TfrmMonologueTask : public TimedTextStage {
  Q_OBJECT
 public:
  TfrmMonologueTask(QWidget* owner, const MonologueKind& kind);
  ~TfrmMonologueTask() override;

  void Start();
  void Timer1Timer() override;
  void Button1Click() override;

  // The answer time T of this frame.
  int duration() const;
  // The answer file, "<code>_01.ogg" or "<code>_03.ogg" in the participant folder.
  QString answerFile() const;

 private:
  const MonologueKind& kind_;
  std::unique_ptr<Ui::TfrmMonologueTask> ui_;
};

class TfrmTask1 : public TfrmMonologueTask {
  Q_OBJECT
 public:
  explicit TfrmTask1(QWidget* owner);
};

class TfrmTask3 : public TfrmMonologueTask {
  Q_OBJECT
 public:
  explicit TfrmTask3(QWidget* owner);
};
