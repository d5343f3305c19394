// The measurements after every tick: the extent of the live region, the
// counts of the states, and the 1000-sample population history.
#pragma once

#include <cstdint>

namespace ondrix {

struct AutomatonState;
struct OndrixState;
struct RingDisplay;

struct Statistics {
  std::int32_t spanFirst = 0;  // first cell not A
  std::int32_t spanLast = 0;   // last cell not A, by a scan that never tests cell 0
  std::int32_t spanGaps = 0;   // A cells from spanFirst up to, not including, spanLast
  std::int32_t countB = 0;
  std::int32_t countC = 0;
};

// Measures the ring, shows the "Ghost par" values, and appends the
// population N(B) + N(C) to the history until it holds 1000 samples.
void updateStatistics(OndrixState& st, RingDisplay& display);

// Empties the history: no samples, all 1000 entries zero.
void resetHistory(AutomatonState& ring);

}  // namespace ondrix
