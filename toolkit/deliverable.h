// The two programs, quorvel and quorvel-flat, are the same station; they
// differ in three facts, held by one Deliverable that each program's entry
// chooses before anything else runs (setDeliverable). Everything else reads
// deliverable().
#pragma once

#include <QStringView>

#include "toolkit/names.h"

namespace station {

struct Deliverable {
  // The program's name, as its journal shows it.
  const char* program;
  // Where the task texts lie: variant subfolders of KIM with question texts
  // T2_n.rtf (quorvel), or KIM itself with Task2_n.rtf (quorvel-flat).
  names::Layout kimLayout;
  // Task 3's preparation and answer times, in seconds.
  int prepTime3;
  int answerTime3;
  // The answer times of task 1 and of each question of task 2, in seconds.
  int answerTime1;
  int answerTime2;
  // Every text view shows its scroll bars, whatever its layout says.
  bool scrollBarsEverywhere;

  bool flat() const { return kimLayout == names::Layout::Flat; }
};

inline constexpr Deliverable kQuorvel{"quorvel", names::Layout::Variants, 90, 240, 180, 60, false};
inline constexpr Deliverable kQuorvelFlat{"quorvel-flat", names::Layout::Flat, 60, 180, 180, 60, true};

// The deliverable whose program is named so (as the journal's station-start
// line gives it); null for any other name.
const Deliverable* deliverableNamed(QStringView program);
// How long the answer recorded into the file with this suffix ("_01",
// "_02_3", "_03") may last under d: its answer time and the second in which
// the counter reads 0. 0 for the spoken code ("_00"), which has no limit.
int answerPeriod(const Deliverable& d, QStringView suffix);

// The deliverable of this process; quorvel until set.
const Deliverable& deliverable();
void setDeliverable(const Deliverable& d);

}  // namespace station
