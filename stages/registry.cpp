// The stage-code table: every stage frame class and its code.
#include "shell/stages.h"
#include "stages/FiveSec.h"
#include "stages/Instruction.h"
#include "stages/RecStudID.h"
#include "stages/TestHard.h"
#include "stages/TestRTF.h"

namespace station {

void registerStages() {
  registerStageClass<TfrmTestHard>(1);
  registerStageClass<TfrmInstruction>(5);
  registerStageClass<TfrmRecStudID>(6);
}

void createCountdownWindow() { _FiveSec = new T_FiveSec(); }
void createTextCheckWindow() { frmTestRTF = new TfrmTestRTF(); }

}  // namespace station
