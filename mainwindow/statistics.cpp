#include "ondrix/mainwindow/statistics.h"

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/automaton/display.h"

namespace ondrix {

Statistics measureRing(const AutomatonState& ring) {
  Statistics s;
  const std::int32_t n = ring.ringLength;

  s.spanFirst = firstLiveCell(ring);
  std::int32_t last = n - 1;
  while (last > 0 && ring.cells[last] == stateA) --last;
  s.spanLast = last;

  std::int32_t gaps = 0, b = 0, c = 0;
  for (std::int32_t i = s.spanFirst; i < s.spanLast; ++i) gaps += ring.cells[i] == stateA;
  for (std::int32_t i = 0; i < n; ++i) {
    b += ring.cells[i] == stateB;
    c += ring.cells[i] == stateC;
  }
  s.spanGaps = gaps;
  s.countB = b;
  s.countC = c;
  return s;
}

void showCurrentValues(OndrixState& st, RingDisplay& display) {
  const AutomatonState& ring = st.ring;
  st.statistics = measureRing(ring);
  display.showTime(ring.timeStep);
  display.showSampleCount(ring.sampleCount);
  display.showGhostParameters(st.statistics);
  const double live = st.statistics.countB + st.statistics.countC;
  display.showPercent(ring.ringLength > 0 ? static_cast<std::int32_t>(live * 100.0 / ring.ringLength) : 0);
}

void updateStatistics(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  const Statistics& s = st.statistics = measureRing(ring);
  display.showGhostParameters(s);

  if (ring.sampleCount < historySize) {
    ring.populationHistory[ring.sampleCount] = s.countB + s.countC;
    ring.sampleCount += 1;
    display.showSampleCount(ring.sampleCount);
  }
}

void resetHistory(AutomatonState& ring) {
  ring.sampleCount = 0;
  ring.populationHistory.fill(0);
}

}  // namespace ondrix
