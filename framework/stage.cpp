#include "framework/stage.h"

#include <QDir>

#include "toolkit/dialogs.h"
#include "window/main.h"
#include "textview/richview.h"

StageFrame::StageFrame(QWidget* owner) : QFrame(owner) {}

StageFrame::~StageFrame() { stopPlayback(); }

void StageFrame::leaveStage() {
  stopPlayback();
  dialogs::dismissQuestions();
  switched_ = true;
}

QWidget* StageFrame::firstControl() const {
  // The frame's part of its window's focus chain, in tab order.
  for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
    if (!isAncestorOf(w)) continue;
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(this)) return w;
  }
  return nullptr;
}

void StageFrame::showStatusBar(bool visible) { frmMain->Panel1->setVisible(visible); }

void StageFrame::requestSwitch(QTimer* timer) {
  if (!switched_ && !timer->isActive()) timer->start();
}

bool StageFrame::switchStage(int code) {
  if (switched_) return false;
  switched_ = true;
  frmMain->StartFrame(code);
  return true;
}

void StageFrame::playFile(const QString& file) {
  stopPlayback();
  stream_ = audio::streamCreateFile(file);
  audio::channelPlay(stream_, true);
}

void StageFrame::stopPlayback() {
  if (stream_ == 0) return;
  audio::channelStop(stream_);
  audio::streamFree(stream_);
  stream_ = 0;
}

void StageFrame::startAnswerRecording(const QString& file) {
  QString reason;
  const bool folders = frmMain->ensureAnswerFolders(&reason);
  frmMain->StartRecording(file);
  // Static: told even if the recorder's boxes outlived the stage.
  if (!folders) reportMissingFolder(reason);
}

void StageFrame::reportMissingFolder(const QString& reason) {
  QString text = QStringLiteral("Не удалось создать папку \"%1\"")
                     .arg(QDir::toNativeSeparators(frmMain->participantFolder()));
  if (!reason.isEmpty()) text += QStringLiteral("\nПричина: ") + reason + QLatin1Char('.');
  dialogs::showStopBox(text);
}

void StageFrame::stopAnswerRecording(const QString& file) {
  frmMain->ensureAnswerFolders();
  frmMain->StopRecording(file);
}

void StageFrame::reportCaught(const std::exception_ptr& error) { station::reportUncaught(error); }

std::exception_ptr StageFrame::loadText(textview::RichView* view, const QString& file) {
  try {
    view->loadFromFile(file);
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}
