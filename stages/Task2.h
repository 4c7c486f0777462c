// Stage 21: task 2, a series of five questions. Each question's text is shown
// and its answer recorded into its own file for the answer time; the next
// question follows at once, and after the fifth the stage hands over to the
// preparation of task 3. The series runs as a sequence of events: a question
// ends at a timer tick, and the next one starts from there (or, when the
// confirmation dialog is open at that moment, once it has been closed).
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "framework/textstage.h"

class QLabel;
class QPushButton;
class QTimer;
class StationPicture;
namespace textview {
class RichView;
}
namespace Ui {
class TfrmTask2;
}

class TfrmTask2 : public TimedStage {
  Q_OBJECT
 public:
  explicit TfrmTask2(QWidget* owner);
  ~TfrmTask2() override;

  void Start();
  // Runs question n from showing its text to the start of its recording; the
  // question ends at the tick after its answer time (Timer1Timer).
  void PlayTask(int n);
  void Timer1Timer() override;
  void Button1Click() override;

  // The answer file of question n, "<code>_02_<n>.ogg".
  QString answerFile(int n) const;

  int QuestionNumber = 1;

  QLabel* Label1 = nullptr;
  QFrame* Panel1 = nullptr;
  textview::RichView* RichEdit1 = nullptr;
  StationPicture* imgSpeak = nullptr;
  StationPicture* imgMic = nullptr;

 private:
  // After a question has ended: the next question, or stage 30 after the fifth.
  void nextQuestion();

  bool pendingNext_ = false;    // a question ended while the confirmation was shown
  std::unique_ptr<Ui::TfrmTask2> ui_;
};
