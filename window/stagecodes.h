// The codes of the stage switch (TfrmMain::StartFrame), one a stage frame.
// A code is a plain integer: the journal prints it on every stage line, so
// the numbers stay as they are.
#pragma once

namespace stage {

enum Code : int {
  EquipmentCheck = 1,  // TfrmTestHard
  CodeEntry = 5,       // TfrmInstruction
  CodeRecording = 6,   // TfrmRecStudID
  Prepare1 = 10,       // TfrmPrepare1
  Task1 = 11,          // TfrmTask1
  Prepare2 = 20,       // TfrmPrepare2
  Task2 = 21,          // TfrmTask2
  Prepare3 = 30,       // TfrmPrepare3
  Task3 = 31,          // TfrmTask3
  Review = 40,         // TfrmPlayAnswers
  Completion = 50,     // TfrmFinishExam
};

}  // namespace stage
