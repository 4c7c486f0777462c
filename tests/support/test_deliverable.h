// The deliverable a test runs as. ctest registers the tests that concern
// both programs twice from one executable: NAME runs as quorvel, NAME_flat
// with QUORVEL_TEST_DELIVERABLE=quorvel-flat. The choice is made before main
// (tests/support/test_deliverable.cpp, linked into every test), so a test reads
// it like the station does, through station::deliverable().
#pragma once

#include "toolkit/deliverable.h"

namespace test {
inline bool flat() { return station::deliverable().flat(); }
}  // namespace test
