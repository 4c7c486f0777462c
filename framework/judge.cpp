#include "framework/judge.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPalette>
#include <QPointer>

#include "audio/audio.h"
#include "window/main.h"
#include "toolkit/recordcheck.h"
#include "toolkit/screenfit.h"
#include "toolkit/widgets.h"

namespace station {

void showVerdict(QLabel* mark, bool accepted) {
  QPalette palette = mark->palette();
  palette.setColor(QPalette::WindowText, accepted ? QColor(0, 128, 0) : QColor(255, 0, 0));
  mark->setPalette(palette);
  mark->setText(accepted ? QStringLiteral("V") : QStringLiteral("X"));
  mark->show();
}

RecordJudge::RecordJudge(QObject* parent, const Controls& controls, QString idleCaption,
                         Recorder recorder)
    : QObject(parent), c_(controls), idleCaption_(std::move(idleCaption)), recorder_(std::move(recorder)) {
  // A recording that ends by itself (the encoder died, the microphone went
  // away) has been reported by the recorder: the button offers to record
  // again at once, not to stop what no longer runs.
  QObject::connect(frmMain, &TfrmMain::recordingEndedByItself, this, [this] {
    if (state_ == State::Recording) enter(State::Idle);
  });
  QObject::connect(frmMain, &TfrmMain::recordingChecked, this,
                   [this](int id, const QString&, const RecordingVerdict& verdict) {
                     if (id == awaitedCheck_ && state_ == State::Judging && !verdict.ok())
                       showWarning(verdictWarning(verdict.fault));
                   });
}

void RecordJudge::enter(State s) {
  state_ = s;
  switch (s) {
    case State::Idle:
      c_.record->setText(idleCaption_);
      c_.record->setEnabled(true);
      c_.mic->hide();
      c_.speaker->hide();
      c_.question->hide();
      break;
    case State::Recording:
      c_.record->setText(QStringLiteral("Завершить запись и воспроизвести"));
      c_.mic->show();
      break;
    case State::Judging:
      c_.record->setText(idleCaption_);
      c_.record->setEnabled(false);
      c_.question->show();
      c_.speaker->show();
      c_.mic->hide();
      break;
  }
}

void RecordJudge::showWarning(const QString& text) {
  if (!warning_) {
    warning_ = new QLabel(c_.question->parentWidget());
    warning_->setObjectName(QStringLiteral("lblRecordingWarning"));
    warning_->setWordWrap(true);
    warning_->setFont(arialFont(14, true));
    QPalette palette = warning_->palette();
    palette.setColor(QPalette::WindowText, QColor(200, 0, 0));
    warning_->setPalette(palette);
  }
  // Right under the question, as wide as it.
  const QRect q = c_.question->geometry();
  warning_->setGeometry(q.left(), q.bottom() + screen::scaled(5), q.width(), screen::scaled(40));
  warning_->setText(text);
  warning_->show();
  warning_->raise();
}

bool RecordJudge::recording() { return frmMain->isRecording(); }

void RecordJudge::press() {
  if (lastPress_.isValid() && lastPress_.elapsed() < kPressMergeMs) return;
  lastPress_.start();
  if (warning_) warning_->hide();
  // The recorder's error boxes run nested event loops in which the stage may
  // have been left and released: nothing of it is touched then.
  QPointer<RecordJudge> self(this);
  switch (state_) {
    case State::Idle:
    case State::Judging:
      c_.mic->show();
      recorder_.start();
      if (!self) return;
      // After a failed start the block stays idle: the next press tries again.
      enter(recording() ? State::Recording : State::Idle);
      return;
    case State::Recording: {
      recorder_.stop();
      if (!self) return;
      awaitedCheck_ = frmMain->lastRecordingId();
      const bool keyboardHere = c_.record->window()->focusWidget() == c_.record;
      enter(State::Judging);
      // The keyboard follows the check: from the disabled button to "Да".
      if (keyboardHere)
        if (auto* yes = c_.question->findChild<QAbstractButton*>()) yes->setFocus(Qt::OtherFocusReason);
      // A file that cannot be played leaves silence; the question is asked
      // all the same.
      audio::channelPlay(RecordedStream, true);
      return;
    }
  }
}

void RecordJudge::answer(bool accepted) {
  if (warning_) warning_->hide();
  audio::channelStop(RecordedStream);
  QWidget* focused = c_.question->window()->focusWidget();
  const bool keyboardHere = focused && c_.question->isAncestorOf(focused);
  enter(State::Idle);
  // ... and back to the button that started it.
  if (keyboardHere) c_.record->setFocus(Qt::OtherFocusReason);
  showVerdict(c_.mark, accepted);
}

}  // namespace station
