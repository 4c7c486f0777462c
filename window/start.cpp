// The station's start and run: the application, one station per station
// folder, the main window and the two windows beside it, the message loop.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include "textview/richview.h"
#include "toolkit/deliverable.h"
#include "toolkit/dialogs.h"
#include "toolkit/instance.h"
#include "toolkit/journal.h"
#include "toolkit/keyboard.h"
#include "toolkit/kiosk.h"
#include "toolkit/stationfolder.h"
#include "toolkit/screenfit.h"
#include "window/main.h"
#include "window/stages.h"

namespace station {

int stationMain(int argc, char** argv, const StageSet& stages, const Deliverable& deliverable) {
  setDeliverable(deliverable);
  // In the exam room session the station fills the screen; Qt takes the
  // factor when the application is made.
  kiosk::chooseScale(argc, argv);
  QApplication app(argc, argv);
  // A screen too small for the main window: the station is built smaller.
  screen::setFactor(screen::screenFactor());
  textview::RichView::setTextScale(screen::factor());
  installKeyboardRules();
  QApplication::setApplicationName(dialogs::applicationTitle());
  installEndSignals([] {
    if (frmMain) frmMain->endOnSignal();
  });
  // One station per station folder: a second one would record over the
  // first one's answers. It ends before any window of its own.
  const QString folder = stationfolder::enter();
  const auto folderLock = folder.isEmpty() ? nullptr : claimStationFolder(folder);
  if (!folderLock) return 1;
  initResources();
  stages.registerAll();
  try {
    new TfrmMain();
  } catch (const StartupAborted& aborted) {
    return aborted.exitCode;
  }
  stages.createCountdownWindow();
  stages.createTextCheckWindow();
  // A signal during start-up (while a box of FormCreate was open) ends the
  // station here: the loop below would not see it any more. A signal's end
  // is told apart from the organiser's (0) by its status, 128 + its number.
  int rc = 0;
  if (!endRequested()) {
    kiosk::showMain(frmMain);
    rc = app.exec();
  }
  delete frmMain;
  return endRequested() ? endStatus() : rc;
}

}  // namespace station
