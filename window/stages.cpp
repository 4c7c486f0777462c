// The stage-code table of the stage switch.
#include "window/stages.h"

#include <map>
#include <utility>

namespace station {

namespace {
std::map<int, StageEntry>& stageTable() {
  static std::map<int, StageEntry> table;
  return table;
}
}  // namespace

void registerStage(int stageCode, StageEntry entry) { stageTable()[stageCode] = std::move(entry); }

const StageEntry* findStage(int stageCode) {
  auto it = stageTable().find(stageCode);
  return it == stageTable().end() ? nullptr : &it->second;
}

}  // namespace station
