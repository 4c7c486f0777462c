// The station's start and run: the application, one station per program
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
#include "toolkit/screenfit.h"
#include "window/main.h"
#include "window/stages.h"

namespace station {

namespace {
// Started from another folder (a desktop shortcut, a file manager): the
// task materials are looked for beside the program, where they are, rather
// than not found in the current folder. A current folder with its own KIM
// is kept.
void useProgramFolderForKim() {
  const QString kim = QStringLiteral("KIM");
  const QString program = QCoreApplication::applicationDirPath();
  if (QFileInfo(kim).isDir() || !QFileInfo(QDir(program).filePath(kim)).isDir()) return;
  const QString was = QDir::currentPath();
  if (!QDir::setCurrent(program)) return;
  journal::write(QStringLiteral("current-folder"),
                 QStringLiteral("%1 has no KIM folder; the program folder %2 is the current folder")
                     .arg(QDir::toNativeSeparators(was), QDir::toNativeSeparators(program)));
}
}  // namespace

int stationMain(int argc, char** argv, const StageSet& stages, const Deliverable& deliverable) {
  setDeliverable(deliverable);
  QApplication app(argc, argv);
  // A screen too small for the main window: the station is built smaller.
  screen::setFactor(screen::screenFactor());
  textview::RichView::setTextScale(screen::factor());
  installKeyboardRules();
  QApplication::setApplicationName(dialogs::applicationTitle());
  installEndSignals([] {
    if (frmMain) frmMain->endOnSignal();
  });
  useProgramFolderForKim();
  // One station per program folder: a second one would record over the
  // first one's answers. It ends before any window of its own.
  const auto folderLock = claimStationFolder(QCoreApplication::applicationDirPath());
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
  // station here: the loop below would not see it any more.
  int rc = 0;
  if (!endRequested()) {
    frmMain->show();
    rc = app.exec();
  }
  delete frmMain;
  return endRequested() ? 0 : rc;
}

}  // namespace station
