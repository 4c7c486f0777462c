// Stage 50: the participant's exam is closed. The organiser either starts
// the next participant's exam (back to the code entry) or ends the station.
#pragma once

#include <memory>

#include "framework/stage.h"

class QLabel;
class QTimer;
class WordWrapButton;
namespace Ui {
class TfrmFinishExam;
}

class TfrmFinishExam : public StageFrame {
  Q_OBJECT
 public:
  explicit TfrmFinishExam(QWidget* owner);
  ~TfrmFinishExam() override;

  void Start();
  void Button1Click();
  void Timer1Timer();
  void Button2Click();

  QLabel* Label1 = nullptr;
  WordWrapButton* Button1 = nullptr;
  WordWrapButton* Button2 = nullptr;
  QTimer* Timer1 = nullptr;

 private:
  std::unique_ptr<Ui::TfrmFinishExam> ui_;
};
