// The station's main window: the shared state, the status bar, the stage
// switch, the error box and the answer recorder.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "audio/audio.h"
#include "toolkit/recordcheck.h"
#include "recorder/recorder.h"

class QFrame;
class QLabel;
class QTimer;
class QProgressBar;
namespace station {
class LevelMeter;
}  // namespace station

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
  // The answer recorder's operations (recorder/recorder.h): a recording into
  // file started, or ended with file opened for playback in RecordedStream.
  void StartRecording(const QString& file);
  void StopRecording(const QString& file);
  // The leave rule of every stage switch: a running recording is finished
  // (its file complete) and the playback of the last recording stopped.
  void endStageSound();
  // True while a recording runs (RecordChannel is not 0). A recording that
  // ends by itself is noticed within a second and then no longer runs.
  bool isRecording() const;
  // Counts the recordings started; recordingChecked names them by it.
  int lastRecordingId() const;
  station::Recorder* recorder() const { return recorder_; }
  // The input level bar over the top right corner, shown while a recording
  // runs (null before the first recording). Not shown at all once
  // setLevelMeterShown(false), which also stops measuring the level.
  station::LevelMeter* levelMeter() const { return levelMeter_; }
  void setLevelMeterShown(bool shown);
  // The warning that the microphone gives no sound, shown while a running
  // recording's microphone gives near-digital silence (null before the
  // first time).
  QLabel* soundWarning() const { return soundWarning_; }
  static QString soundWarningText();
  // The station is ending on a signal: a running recording is finished (its
  // file complete), no recording starts any more, the close is allowed.
  void endOnSignal();
  bool FormCloseQuery();
  // The audio error box: message, a line feed and "(error code: N)".
  void ShowError(const QString& message);
  // The same box with an error code taken earlier.
  void ShowError(const QString& message, int errorCode);

  // Reads the subject file (when the equipment check starts): SubjLine2 and
  // SubjLine3 replaced, line 1 returned. Throws InOutError naming the file
  // (and the line) when it is missing, unreadable or refused.
  QString readSubject();
  // The subject file read again (when the equipment check is finished), so a
  // corrected file takes effect without a restart: SubjLine2 and SubjLine3
  // replaced, line 1 returned. A missing file leaves both as they are and
  // returns an empty line 1; a file that is there but refused throws
  // InOutError naming the file and the line.
  QString rereadSubject();

  // Compares the program folder's free space with what `needed`
  // participants' answers take, writes the figures to the journal and, when
  // they do not fit, shows a warning box (the organiser may go on).
  void warnAboutSpace(qint64 needed);

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
  // The variant subfolder of KIM; quorvel-flat leaves it empty and never reads it.
  QString KimVariant;
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

 signals:
  // The running recording ended without StopRecording: its encoder ended or
  // its recording device went away. Emitted within a second, once
  // RecordChannel is back to 0 and before the error box is shown, so that a
  // stage can show its record button as idle again.
  void recordingEndedByItself();
  // The file of recording id has been checked after it ended (see
  // toolkit/recordcheck.h); the journal has been told already.
  void recordingChecked(int id, const QString& file, const station::RecordingVerdict& verdict);

 public:

  // --- names from the state (see toolkit/names.h) ---
  QString kimVariant() const;
  QString answerFolder() const;
  QString participantFolder() const;
  QString answerFile(const QString& suffix) const;
  // Creates the answer folder, then the participant folder, each if missing.
  // False when either is not there afterwards; reason (when given) then
  // gets the system's cause of the failed creation (station::systemReason).
  bool ensureAnswerFolders(QString* reason = nullptr) const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void PlaceFrame(QWidget* frame);
  void buildStatusBar();

  void showLevelMeter(bool on);
  void showSoundWarning(bool on);
  static constexpr int kMeterWidth = 120;
  static constexpr int kMeterHeight = 14;
  // How long the end of the station waits for checks and hashes in flight.
  static constexpr int kFinishWorkMs = 10000;

  QWidget* stageArea_ = nullptr;
  bool destroyed_ = false;
  station::Recorder* recorder_ = nullptr;
  station::LevelMeter* levelMeter_ = nullptr;
  QLabel* soundWarning_ = nullptr;
};

// Thrown by FormCreate when the station must end before any window is shown.
struct StartupAborted {
  int exitCode = 1;
};

extern TfrmMain* frmMain;
extern QPointer<QWidget> CurrentFrame;
extern quintptr MainWindowHandle;

namespace station {
// Registers the pictures compiled into the station library and the fonts
// that stand in for the layouts' Windows fonts.
void initResources();
// The program: application title, the three windows, the message loop, for
// the deliverable its entry chose.
struct StageSet;
struct Deliverable;
int stationMain(int argc, char** argv, const StageSet& stages, const Deliverable& deliverable);
}  // namespace station
