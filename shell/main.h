// The station's main window: the shared state, the status bar, the stage
// switch, the error box and the answer recorder.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "audio/audio.h"

class QFrame;
class QLabel;
class QProgressBar;

class TfrmMain : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  void FormDestroy();
  void FormCreate();
  // Replaces the current stage by a fresh frame of StageCode's class; an
  // unknown code only removes the current one.
  void StartFrame(int StageCode);
  // Ends the program on the operator's request.
  void StopExam();
  void StartRecording(const QString& file);
  void StopRecording(const QString& file);
  // The leave rule of every stage switch: a running recording is finished
  // (its file complete) and the playback of the last recording stopped.
  void endStageSound();
  bool FormCloseQuery();
  // The audio error box: message, a line feed and "(error code: N)".
  void ShowError(const QString& message);
  // The same box with an error code taken earlier.
  void ShowError(const QString& message, int errorCode);

  // The status bar and the area above it where the stage frame lives.
  QWidget* stageArea() const { return stageArea_; }

  // --- state, in declaration order ---
  std::int32_t PrepTime1 = 90;
  std::int32_t PrepTime2 = 60;
  std::int32_t PrepTime3 = 90;
  std::int32_t AnswerTime1 = 180;
  std::int32_t AnswerTime2 = 60;
  std::int32_t AnswerTime3 = 240;
  QString ParticipantCode;
#ifndef QUORVEL_FLAT
  QString KimVariant;
#endif
  QString StationCode;
  QString AudCode;
  QString CompCode;
  QString AnswerKey;
  QString SubjLine2;
  QString SubjLine3;
  QString StationDir;
  bool CanExit = false;

  // --- status bar ---
  QFrame* Panel1 = nullptr;
  QLabel* lblProcessName = nullptr;
  QLabel* lblProcessTime = nullptr;
  QProgressBar* ProcessBar = nullptr;

  // --- names from the state (see shell/names.h) ---
  QString kimVariant() const;
  QString answerFolder() const;
  QString participantFolder() const;
  QString answerFile(const QString& suffix) const;
  // Creates the answer folder, then the participant folder, each if missing.
  // False when either is not there afterwards.
  bool ensureAnswerFolders() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void PlaceFrame(QWidget* frame);
  void buildStatusBar();

  QWidget* stageArea_ = nullptr;
  bool destroyed_ = false;
};

// Thrown by FormCreate when the station must end before any window is shown.
struct StartupAborted {
  int exitCode = 1;
};

extern TfrmMain* frmMain;
extern QPointer<QWidget> CurrentFrame;
extern quintptr MainWindowHandle;
extern audio::Handle RecordChannel;
extern audio::Handle RecordedStream;

namespace station {
// Registers the pictures compiled into the station library and the fonts
// that stand in for the layouts' Windows fonts.
void initResources();
// The program: application title, the three windows, the message loop.
int stationMain(int argc, char** argv);
}  // namespace station
