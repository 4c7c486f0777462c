// The stage-code table: every stage frame class and its code.
#include "shell/stages.h"
#include "stages/FinishExam.h"
#include "stages/FiveSec.h"
#include "stages/Instruction.h"
#include "stages/PlayAnswers.h"
#include "stages/Prepare.h"
#include "stages/RecStudID.h"
#include "stages/Task.h"
#include "stages/Task2.h"
#include "stages/TestHard.h"
#include "stages/TestRTF.h"

namespace station {

void registerStages() {
  registerStageClass<TfrmTestHard>(1);
  registerStageClass<TfrmInstruction>(5);
  registerStageClass<TfrmRecStudID>(6);
  registerStageClass<TfrmPrepare1>(10);
  registerStageClass<TfrmTask1>(11);
  registerStageClass<TfrmPrepare2>(20);
  registerStageClass<TfrmTask2>(21);
  registerStageClass<TfrmPrepare3>(30);
  registerStageClass<TfrmTask3>(31);
  registerStageClass<TfrmPlayAnswers>(40);
  registerStageClass<TfrmFinishExam>(50);
}

void createCountdownWindow() { _FiveSec = new T_FiveSec(); }
void createTextCheckWindow() { frmTestRTF = new TfrmTestRTF(); }

}  // namespace station
