// The record-and-judge block of the equipment check and of the code
// recording: one button records and, pressed again, stops and plays the
// recording back; a question panel asks whether it was good ("Да"/"Нет"),
// and a mark beside the button keeps the answer. The microphone picture
// shows while recording runs, the loudspeaker while the recording plays.
//
// The block works on the controls of the stage's own layout, so their names
// and captions stay the stage's. The stage connects its named handlers and
// calls press() and answer() from them; what it does besides (its flag, a
// message after "Нет") stays in the stage.
//
// Beyond that, the block guards the organiser's judgement: a second press
// within kPressMergeMs of the first counts as the same press (a double click
// neither records a fraction of a second nor stops at once), and when the
// check of the recording just played finds it faulty, a warning line
// (warningLabel()) appears under the question.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>

class QAbstractButton;
class QLabel;
class QWidget;

namespace station {

// Shows mark with the verdict: "V" in green (0, 128, 0) for an accepted
// check, "X" in red (255, 0, 0) for a refused one.
void showVerdict(QLabel* mark, bool accepted);

class RecordJudge : public QObject {
  Q_OBJECT

 public:
  struct Controls {
    QAbstractButton* record;  // starts and stops the recording
    QWidget* question;        // the panel holding the question, "Да" and "Нет"
    QLabel* mark;             // the verdict beside the record button
    QWidget* mic;             // the microphone picture
    QWidget* speaker;         // the loudspeaker picture
  };
  // How the stage records: start() begins a recording into its file, stop()
  // ends it so that RecordedStream plays that file.
  struct Recorder {
    std::function<void()> start;
    std::function<void()> stop;
  };

  // Presses closer together than this are one press.
  static constexpr int kPressMergeMs = 300;

  // Where the block stands: nothing recorded or the answer given (Idle), a
  // recording running (Recording), the recording played back under the
  // question until "Да" or "Нет" (Judging).
  enum class State { Idle, Recording, Judging };
  State state() const { return state_; }

  // idleCaption is the record button's caption while nothing is recorded.
  RecordJudge(QObject* parent, const Controls& controls, QString idleCaption, Recorder recorder);

  // True while a recording runs (one that failed to start or ended by
  // itself does not run).
  static bool recording();

  // A press of the record button: with no recording running, one is started
  // and the button offers to stop it (also when the start failed, so that
  // the next press tries again); with one running, it is stopped and played
  // back from its start under the question, the button disabled meanwhile.
  void press();
  // "Да" (true) or "Нет" (false): playback stopped, the question and the
  // pictures hidden, the button usable again, the verdict marked.
  void answer(bool accepted);

  // The warning under the question (null until the first warning).
  QLabel* warningLabel() const { return warning_; }

 private:
  void showWarning(const QString& text);
  // Puts the controls in the shape of state s.
  void enter(State s);

  State state_ = State::Idle;
  Controls c_;
  QString idleCaption_;
  Recorder recorder_;
  QElapsedTimer lastPress_;
  int awaitedCheck_ = -1;  // the recording whose check may warn
  QLabel* warning_ = nullptr;
};

}  // namespace station
