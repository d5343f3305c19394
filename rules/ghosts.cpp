#include "rules/ghosts.h"

#include <algorithm>

#include "automaton/textnumber.h"
#include "datafiles/rowfiles.h"
#include "mainwindow/ondrixstate.h"
#include "mainwindow/picture.h"
#include "mainwindow/statistics.h"

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

void testGhosts(OndrixState& st, RingDisplay& display) {
  resetHistory(st.ring);
  loadRowFile(ghostRowFileName, st.ring, display);
  redrawUnlessDontShow(st, display);
}

}  // namespace ondrix
