// The stage-code table: every stage frame class and its code.
#include "window/stagecodes.h"
#include "window/stages.h"
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
  registerStageClass<TfrmTestHard>(stage::EquipmentCheck);
  registerStageClass<TfrmInstruction>(stage::CodeEntry);
  registerStageClass<TfrmRecStudID>(stage::CodeRecording);
  registerStageClass<TfrmPrepare1>(stage::Prepare1);
  registerStageClass<TfrmTask1>(stage::Task1);
  registerStageClass<TfrmPrepare2>(stage::Prepare2);
  registerStageClass<TfrmTask2>(stage::Task2);
  registerStageClass<TfrmPrepare3>(stage::Prepare3);
  registerStageClass<TfrmTask3>(stage::Task3);
  registerStageClass<TfrmPlayAnswers>(stage::Review);
  registerStageClass<TfrmFinishExam>(stage::Completion);
}

void createCountdownWindow() { _FiveSec = new T_FiveSec(); }
void createTextCheckWindow() { frmTestRTF = new TfrmTestRTF(); }

}  // namespace station
