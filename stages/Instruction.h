// Stage 5: the instruction text and the entry of the participant code. Opens
// every participant's exam; lets the organiser end the station's work.
#pragma once

#include <QString>
#include <memory>

#include "framework/stage.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
namespace textview {
class RichView;
}
namespace Ui {
class TfrmInstruction;
}

class TfrmInstruction : public StageFrame {
  Q_OBJECT

 public:
  explicit TfrmInstruction(QWidget* parent = nullptr);
  ~TfrmInstruction() override;

  void Start();

  // True when code may be taken as a new participant's code. On false,
  // reasons holds "\n\r" and the one reason for the refusal (the checks stop
  // at the first failure). Reads StationDir and AnswerKey; changes nothing.
  // Throws ConvertError when a character 4 to 13 is not a digit.
  bool ValidateParticipantCode(const QString& code, QString& reasons) const;

  // The key filter of the code field: a typed character other than a digit
  // or backspace is discarded (Key becomes null). It decides pasted and
  // dropped text as well.
  void Edit3KeyPress(QChar& Key);
  void Button1Click();
  void Button2Click();
  void Timer1Timer();

  textview::RichView* RichEdit1 = nullptr;
  QFrame* Panel1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QTimer* Timer1 = nullptr;

 private:
  std::unique_ptr<Ui::TfrmInstruction> ui_;
};
