// The two deliverables are built from the same sources; QUORVEL_FLAT selects
// quorvel-flat (all task texts directly in KIM, shorter task 3, scroll bars in
// every text view).
#pragma once

namespace station {
#ifdef QUORVEL_FLAT
inline constexpr bool kFlat = true;
#else
inline constexpr bool kFlat = false;
#endif
}  // namespace station
