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

// The ring as it stands, measured without taking a sample.
Statistics measureRing(const AutomatonState& ring);

// Every value label as the ring and the run stand now: T, the sample count,
// the population percentage and the "Ghost par" values, whose measurement
// becomes the last one. Commands end with it; the run's ticks keep their
// cheaper rhythm.
void showCurrentValues(OndrixState& st, RingDisplay& display);

// Measures the ring, shows the "Ghost par" values, and appends the
// population N(B) + N(C) to the history until it holds 1000 samples.
void updateStatistics(OndrixState& st, RingDisplay& display);

// Empties the history: no samples, all 1000 entries zero.
void resetHistory(AutomatonState& ring);

}  // namespace ondrix
