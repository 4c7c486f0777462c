#include "shell/textstage.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "shell/countdown.h"
#include "shell/dialogs.h"
#include "shell/timing.h"
#include "shell/widgets.h"
#include "textview/richview.h"

TimedTextStage::TimedTextStage(QWidget* owner) : StageFrame(owner) {}

QWidget* TimedTextStage::firstControl() const {
  if (RichEdit1) return RichEdit1;
  return StageFrame::firstControl();
}

void TimedTextStage::bindLayout(QLabel* panel, QPushButton* button, textview::RichView* view,
                                const QString& caption, bool scrollBars) {
  Panel1 = panel;
  Button1 = button;
  RichEdit1 = view;
  Panel1->setFont(station::arialFont(27));
  Panel1->setText(caption);
  Button1->setFont(station::arialFont(11));
  RichEdit1->setScrollBars(scrollBars);
  Timer1 = station::makeTimer(this, 1000);
  on(Timer1, &QTimer::timeout, [this] { Timer1Timer(); });
  on(Button1, &QPushButton::clicked, [this] { Button1Click(); });
}

void TimedTextStage::confirmEarlyEnd(const QString& question) {
  QPointer<TimedTextStage> self(this);
  const bool yes = dialogs::confirm(question);
  // The time may have run out while the question was open: the stage has
  // then been left and the answer has no effect.
  if (yes && self && !self->hasSwitched()) ElapsedSeconds = station::kEarlyEnd;
}
