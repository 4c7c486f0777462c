// The base of every stage frame. It holds, once for all stages, what they
// share:
//  - the main window's status bar shown or hidden as the stage needs;
//  - the deferred stage switch: a click or action handler only starts the
//    stage's one-shot timer, the timer's handler switches, and the switch
//    happens exactly once however often it is asked for;
//  - handlers connected through the one guard;
//  - a playback stream of the stage's own (the review's), stopped and freed
//    when the stage is left or replaced;
//  - the answer recording of the timed stages: folders ensured, a folder
//    that cannot be made reported, the file started and stopped.
// The stage switch (TfrmMain::StartFrame) calls leaveStage() on the frame it
// replaces, so no stage can forget to end its sound.
#pragma once

#include <QFrame>
#include <QPointer>
#include <QString>
#include <exception>

#include "audio/audio.h"
#include "toolkit/guard.h"
#include "window/stages.h"

class QTimer;
namespace textview {
class RichView;
}

class StageFrame : public QFrame, public station::SwitchedFrame {
  Q_OBJECT

 public:
  explicit StageFrame(QWidget* owner);
  ~StageFrame() override;

  // Called by the stage switch on the frame it replaces, before the next
  // stage exists: the stage's own playback is stopped and freed.
  void leaveStage() override;
  // True once the stage has asked for the next one.
  bool hasSwitched() const { return switched_; }
  // The control that has the keyboard when the stage is placed: by default
  // the first one of the frame's tab order that can take it (enabled, not
  // hidden); null when there is none.
  QWidget* firstControl() const override;

 protected:
  // Shows or hides the main window's status bar.
  static void showStatusBar(bool visible);

  // A stopped one-shot timer of this frame (interval scaled by the station's
  // clock), whose tick runs handler inside the guard.
  template <class F>
  QTimer* makeSwitchTimer(int ms, F handler);
  // Starts the switch timer unless it runs already or the stage has switched.
  void requestSwitch(QTimer* timer);
  // Asks the stage switch for code; only the first call of a frame acts.
  // Nothing of the frame may be touched after it returns true.
  bool switchStage(int code);

  // Connects a signal of sender to a handler of this frame, inside the guard.
  template <class Sender, class Signal, class F>
  void on(Sender* sender, Signal signal, F handler) {
    station::onEvent(sender, signal, this, std::move(handler));
  }

  // Stops the stage's playback, frees the old stream, opens file and plays it
  // from its start. A file that cannot be opened plays nothing, silently.
  void playFile(const QString& file);
  void stopPlayback();
  audio::Handle playbackStream() const { return stream_; }

  // Ensures the answer folders, then starts recording into file. A folder
  // that cannot be made is reported after the recording was started, so the
  // box never delays the start of an answer.
  void startAnswerRecording(const QString& file);
  // Ensures the folders again and stops the recording of file.
  void stopAnswerRecording(const QString& file);
  // The box saying that the participant folder could not be made, with the
  // cause on its second line (empty: none known).
  static void reportMissingFolder(const QString& reason = {});

  // Loads file into view. A failure is handed back instead of thrown, so
  // that the stage can go on and show it once its period runs.
  static std::exception_ptr loadText(textview::RichView* view, const QString& file);
  // Shows a failure that the stage caught so that it could go on (a task text
  // that cannot be loaded) in the box for uncaught failures.
  static void reportCaught(const std::exception_ptr& error);

 private:
  bool switched_ = false;
  audio::Handle stream_ = 0;
};

#include <QTimer>

#include "toolkit/timing.h"

template <class F>
QTimer* StageFrame::makeSwitchTimer(int ms, F handler) {
  QTimer* timer = station::makeTimer(this, ms);
  timer->setSingleShot(true);
  on(timer, &QTimer::timeout, std::move(handler));
  return timer;
}
