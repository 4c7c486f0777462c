// A station in a temporary folder for stage tests: the sample KIM copied in,
// the folder made the current one and the program folder, the station's
// clock scaled, the stages registered. The station is the deliverable the
// test runs as (test_deliverable.h).
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "window/main.h"
#include "window/stages.h"
#include "toolkit/timing.h"
#include "stages/FiveSec.h"
#include "stages/TestRTF.h"

namespace test {

inline bool copyTree(const QString& from, const QString& to) {
  QDir src(from);
  if (!QDir().mkpath(to)) return false;
  for (const QFileInfo& fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString target = to + QLatin1Char('/') + fi.fileName();
    if (fi.isDir()) {
      if (!copyTree(fi.filePath(), target)) return false;
    } else if (!QFile::copy(fi.filePath(), target)) {
      return false;
    }
  }
  return true;
}

// Registers the station's stages and pictures, once. A test that puts a
// frame of its own under a stage code calls this first, so that its
// registration is not replaced by the station's.
inline void registerStationStages() {
  static bool registered = false;
  if (registered) return;
  station::registerStages();
  station::initResources();
  registered = true;
}

class StationFixture {
 public:
  // timerScale: every station timer interval is multiplied by it.
  explicit StationFixture(double timerScale = 1.0) : oldCwd_(QDir::currentPath()) {
    station::setTimerScale(timerScale);
    registerStationStages();
    copyTree(QStringLiteral(QUORVEL_SAMPLE_KIM), dir() + QStringLiteral("/KIM"));
    QDir::setCurrent(dir());
  }
  ~StationFixture() {
    stopStation();
    QDir::setCurrent(oldCwd_);
    station::setTimerScale(1.0);
  }

  QString dir() const { return tmp_.path(); }

  // Starts the station as the program does (main window, stage 1, the two
  // other windows) with the temporary folder as its program folder.
  TfrmMain* startStation() {
    auto* main = new TfrmMain();
    main->StationDir = dir() + QLatin1Char('/');
    station::createCountdownWindow();
    station::createTextCheckWindow();
    main->show();
    return main;
  }

  void stopStation() {
    if (frmMain) {
      frmMain->CanExit = true;
      delete frmMain;
    }
    delete _FiveSec;
    _FiveSec = nullptr;
    delete frmTestRTF;
    frmTestRTF = nullptr;
  }

 private:
  QTemporaryDir tmp_;
  QString oldCwd_;
};

}  // namespace test
