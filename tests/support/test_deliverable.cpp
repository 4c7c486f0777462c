// Chooses the deliverable of a test process from QUORVEL_TEST_DELIVERABLE
// (unset or "quorvel": quorvel; "quorvel-flat": quorvel-flat). An unknown
// name ends the test at once rather than testing quorvel under another name.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolkit/deliverable.h"

namespace {
const bool chosen = [] {
  const char* name = std::getenv("QUORVEL_TEST_DELIVERABLE");
  if (!name || !*name || std::strcmp(name, station::kQuorvel.program) == 0) {
    station::setDeliverable(station::kQuorvel);
  } else if (std::strcmp(name, station::kQuorvelFlat.program) == 0) {
    station::setDeliverable(station::kQuorvelFlat);
  } else {
    std::fprintf(stderr, "QUORVEL_TEST_DELIVERABLE=%s names no deliverable\n", name);
    std::exit(2);
  }
  return true;
}();
}  // namespace
