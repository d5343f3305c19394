#include "ondrix/rules/ghosts.h"

#include <algorithm>

#include "ondrix/automaton/textnumber.h"
#include "ondrix/datafiles/rowfiles.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/statistics.h"

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
