#include "rules/ghosts.h"

#include <algorithm>

#include "automaton/textnumber.h"
#include "mainwindow/ondrixstate.h"

namespace ondrix {

void setDontShow(OndrixState& st, bool on) {
  AutomatonState& ring = st.ring;
  st.dontShow = on;
  if (on) {
    ring.ringLength = std::min(ring.ringLength * 10, ringCapacity);
    ring.stepsPerTick = lowBits16(ring.stepsPerTick * 10);
  } else {
    ring.ringLength /= 10;
    ring.stepsPerTick = static_cast<std::int16_t>(ring.stepsPerTick / 10);
  }
  clearRing(ring);
}

}  // namespace ondrix
