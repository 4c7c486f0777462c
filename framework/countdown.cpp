#include "framework/countdown.h"

#include <QLabel>
#include <QProgressBar>

#include "window/main.h"

namespace station {

QString secondsText(int seconds) { return QString::number(seconds) + QStringLiteral(" сек."); }

void countdownBegin(const QString& name, int duration) {
  frmMain->lblProcessName->setText(name);
  frmMain->lblProcessTime->setText(secondsText(duration));
  frmMain->ProcessBar->setRange(0, duration);
  frmMain->ProcessBar->setValue(0);
}

bool countdownTick(int& elapsed, int duration) {
  ++elapsed;
  if (elapsed > duration) return true;
  frmMain->ProcessBar->setValue(frmMain->ProcessBar->value() + 1);
  frmMain->lblProcessTime->setText(secondsText(duration - elapsed));
  return false;
}

}  // namespace station
