#include "mainwindow/runcontrol.h"

#include "mainwindow/ondrixstate.h"
#include "mainwindow/picture.h"

namespace ondrix {

void advanceRun(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  const std::int32_t direction = ring.runBackward == 0 ? 1 : -1;
  for (std::int32_t k = 0; k < ring.stepsPerTick; ++k) {
    stepGeneration(ring);
    ring.timeStep += direction;
  }
  redrawUnlessDontShow(st, display);
}

}  // namespace ondrix
