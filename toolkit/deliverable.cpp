#include "toolkit/deliverable.h"

namespace station {

namespace {
// Constant-initialised, so that it is valid before any other static
// initialiser of the process runs.
Deliverable current = kQuorvel;
}  // namespace

const Deliverable& deliverable() { return current; }

void setDeliverable(const Deliverable& d) { current = d; }

}  // namespace station
