// Stage 6: the participant says their code aloud; the recording is played
// back at once and must be accepted ("Да") before the tasks can begin.
#pragma once

#include <QString>
#include <memory>

#include "framework/stage.h"

class QAction;
class QLabel;
class QPushButton;
class QTimer;
class StationPicture;
class WordWrapButton;
class CaptionLabel;
namespace station {
class RecordJudge;
}
namespace Ui {
class TfrmRecStudID;
}

class TfrmRecStudID : public StageFrame {
  Q_OBJECT

 public:
  explicit TfrmRecStudID(QWidget* parent = nullptr);
  ~TfrmRecStudID() override;

  void Start();

  void btnRecIDClick();
  void Button4Click();
  void Button5Click();
  void Action1Update();
  void Action1Execute();
  void Timer1Timer();

  // Label2's caption exactly as the stage sets it, line breaks included ("\n\r").
  QString Label2Caption() const;

  // The participant answered "Да" to the recording just played back; the
  // stage can be left only then.
  bool CodeRecordingAccepted = false;

  QLabel* Label1 = nullptr;
  CaptionLabel* Label2 = nullptr;
  StationPicture* imgSpeak = nullptr;
  StationPicture* imgMic = nullptr;
  WordWrapButton* btnRecID = nullptr;
  QLabel* lblRecID = nullptr;
  QFrame* pnlTestREC = nullptr;
  QLabel* Label3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button1 = nullptr;
  QAction* Action1 = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The code recording file, "<code>_00.ogg" in the participant folder.
  QString codeRecordingFile() const;
  // Ensures the answer and participant folders, then records into the file.
  void startCodeRecording();

  std::unique_ptr<Ui::TfrmRecStudID> ui_;
  station::RecordJudge* codeCheck_ = nullptr;  // child of the frame
};
