#include "framework/textstage.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "framework/countdown.h"
#include "toolkit/dialogs.h"
#include "toolkit/timing.h"
#include "toolkit/widgets.h"
#include "textview/richview.h"

TimedStage::TimedStage(QWidget* owner) : StageFrame(owner) {}

void TimedStage::bindTimer(QPushButton* button) {
  Button1 = button;
  Timer1 = station::makeTimer(this, 1000);
  on(Timer1, &QTimer::timeout, [this] { Timer1Timer(); });
  on(Button1, &QPushButton::clicked, [this] { Button1Click(); });
}

void TimedStage::confirmEarlyEnd(const QString& question) {
  if (confirming_) return;
  confirming_ = true;
  QPointer<TimedStage> self(this);
  const bool yes = dialogs::confirm(question);
  if (!self) return;
  confirming_ = false;
  // The time may have run out while the question was open: the stage has
  // then been left, or its period has ended (Timer1 stopped), and the answer
  // has no effect.
  if (yes && !hasSwitched() && Timer1->isActive()) ElapsedSeconds = station::kEarlyEnd;
}

TimedTextStage::TimedTextStage(QWidget* owner) : TimedStage(owner) {}

QWidget* TimedTextStage::firstControl() const {
  if (RichEdit1) return RichEdit1;
  return StageFrame::firstControl();
}

void TimedTextStage::bindLayout(QLabel* panel, QPushButton* button, textview::RichView* view,
                                const QString& caption, bool scrollBars) {
  Panel1 = panel;
  RichEdit1 = view;
  bindTimer(button);
  Panel1->setFont(station::arialFont(27));
  Panel1->setText(caption);
  Button1->setFont(station::arialFont(11));
  RichEdit1->setScrollBars(scrollBars);
}
