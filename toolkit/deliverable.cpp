#include "toolkit/deliverable.h"

namespace station {

namespace {
// Constant-initialised, so that it is valid before any other static
// initialiser of the process runs.
Deliverable current = kQuorvel;
}  // namespace

const Deliverable& deliverable() { return current; }

void setDeliverable(const Deliverable& d) { current = d; }

const Deliverable* deliverableNamed(QStringView program) {
  for (const Deliverable* d : {&kQuorvel, &kQuorvelFlat})
    if (program == QLatin1String(d->program)) return d;
  return nullptr;
}

int answerPeriod(const Deliverable& d, QStringView suffix) {
  // A period ends at the first tick past its length: a 180 s answer lasts 181 s.
  if (suffix == u"_01") return d.answerTime1 + 1;
  if (suffix.startsWith(u"_02_")) return d.answerTime2 + 1;
  if (suffix == u"_03") return d.answerTime3 + 1;
  return 0;
}

}  // namespace station
