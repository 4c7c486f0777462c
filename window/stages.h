// The stage-code table of the stage switch. Stages register themselves here
// (stages/registry.cpp); the shell knows no stage class.
#pragma once

#include <QWidget>
#include <functional>

namespace station {

// What the stage switch asks of a stage frame: the control that takes the
// keyboard once the frame is placed, and the leave before it is released.
class SwitchedFrame {
 public:
  virtual ~SwitchedFrame() = default;
  virtual QWidget* firstControl() const = 0;
  virtual void leaveStage() = 0;
};

struct StageEntry {
  std::function<QWidget*(QWidget* owner)> create;
  std::function<void(QWidget* frame)> start;
};

void registerStage(int stageCode, StageEntry entry);
// Null for a code no stage has registered.
const StageEntry* findStage(int stageCode);

// Registers frame class F (a QFrame with a public Start()) under stageCode.
template <class F>
void registerStageClass(int stageCode) {
  registerStage(stageCode, {[](QWidget* owner) -> QWidget* { return new F(owner); },
                            [](QWidget* frame) { static_cast<F*>(frame)->Start(); }});
}

// Defined by the stages: registers every stage, and creates the two windows
// the program keeps beside the main window (_FiveSec, then frmTestRTF).
void registerStages();
void createCountdownWindow();
void createTextCheckWindow();

// The same three, handed to the program by its entry (the main window is
// built below the stages and calls them only through this).
struct StageSet {
  void (*registerAll)();
  void (*createCountdownWindow)();
  void (*createTextCheckWindow)();
};

}  // namespace station
