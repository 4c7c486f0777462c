#include "shell/judge.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPalette>
#include <QPointer>

#include "audio/audio.h"
#include "shell/main.h"

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
    c_.record->setText(idleCaption_);
    c_.mic->hide();
  });
}

bool RecordJudge::recording() { return frmMain->isRecording(); }

void RecordJudge::press() {
  c_.mic->show();
  // The recorder's error boxes run nested event loops in which the stage may
  // have been left and released: nothing of it is touched then.
  QPointer<RecordJudge> self(this);
  if (!recording()) {
    recorder_.start();
    if (!self) return;
    // After a failed start the caption stays: the next press tries again.
    c_.record->setText(recording() ? QStringLiteral("Завершить запись и воспроизвести") : idleCaption_);
    c_.mic->setVisible(recording());
    return;
  }
  recorder_.stop();
  if (!self) return;
  c_.record->setText(idleCaption_);
  c_.record->setEnabled(false);
  c_.question->show();
  // A file that cannot be played leaves silence; the question is asked all
  // the same.
  audio::channelPlay(RecordedStream, true);
  c_.speaker->show();
  c_.mic->hide();
}

void RecordJudge::answer(bool accepted) {
  c_.mic->hide();
  c_.speaker->hide();
  audio::channelStop(RecordedStream);
  c_.question->hide();
  c_.record->setEnabled(true);
  showVerdict(c_.mark, accepted);
}

}  // namespace station
