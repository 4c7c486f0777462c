// Stage 1, the equipment check: the organiser proves that the station
// records, plays back and shows task texts, types the station's three codes
// and moves the station on to the first participant.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <memory>

#include "framework/stage.h"
#include "toolkit/widgets.h"

class QAction;
class QLabel;
class QLineEdit;
class QTimer;
class StationPicture;
namespace station {
class RecordJudge;
}

namespace Ui {
class TfrmTestHard;
}

class QProcess;

class TfrmTestHard : public StageFrame {
  Q_OBJECT
 public:
  explicit TfrmTestHard(QWidget* owner = nullptr);
  ~TfrmTestHard() override;

  void Start();

  // Recording check.
  void btnRecTestClick();
  void Button4Click();
  void Button5Click();
  // Text display check.
  void btnTestRTFClick();
  void Button7Click();
  void Button8Click();
  // Finishing.
  void Action1Update();
  void Action1Execute();
  void Timer1Timer();
  void Button6Click();
  // Opens the system's own sound settings (microphone, headphones, volumes)
  // in front of the station: the exam session has no other way to them.
  // Pressed again it closes them (the session has no window manager to
  // close a window with); leaving the stage closes them too.
  void btnSoundClick();
  // The program btnSoundClick starts (tests put a stand-in here).
  static inline QString soundSettingsProgram = QStringLiteral("pavucontrol");
  // Key filters of the code fields: a typed character other than a digit or
  // backspace is discarded (Key becomes null).
  void edtStationCodeKeyPress(QChar& Key);
  void edtAudCodeKeyPress(QChar& Key);
  void edtCompCodeKeyPress(QChar& Key);

  bool RecordingCheckPassed = false;
  bool TextCheckPassed = false;

  QAction* Action1 = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void recordingAnswered(bool accepted);
  void textAnswered(bool accepted);

  std::unique_ptr<Ui::TfrmTestHard> ui_;
  QProcess* soundSettings_ = nullptr;  // the running sound settings, a child of this frame
  station::RecordJudge* recordingCheck_ = nullptr;  // child of the frame
};
