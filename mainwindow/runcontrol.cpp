#include "ondrix/mainwindow/runcontrol.h"

#include <algorithm>

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"

namespace ondrix {

BatchEnd advanceRun(OndrixState& st, RingDisplay& display, bool stopAtStart) {
  AutomatonState& ring = st.ring;
  const std::int32_t direction = ring.runBackward == 0 ? 1 : -1;
  const bool mayStop = stopAtStart && direction < 0;
  BatchEnd end = BatchEnd::done;
  for (std::int32_t k = 0; k < ring.stepsPerTick; ++k) {
    stepGeneration(ring);
    ring.timeStep += direction;
    if (mayStop && ring.timeStep == 0) {
      end = BatchEnd::backAtStart;
      break;
    }
  }
  redrawUnlessDontShow(st, display);
  return end;
}

BatchEnd runTick(OndrixState& st, RingDisplay& display) {
  const BatchEnd end = advanceRun(st, display, st.stopAtStart);
  updateStatistics(st, display);
  if (end == BatchEnd::backAtStart) display.showStatus(backAtStartMessage);
  return end;
}

void startRun(AutomatonState& ring) {
  ring.runBackward = 0;
  ring.timeStep = 0;
}

void clearCommand(OndrixState& st, RingDisplay& display) {
  st.ring.timeStep = 0;
  resetHistory(st.ring);
  clearRing(st.ring);
  redrawUnlessDontShow(st, display);
}

void setThreeRows(AutomatonState& ring, bool threeRows) {
  ring.ringLength = threeRows ? threeRowCells : cellsPerRow;
  clearRing(ring);
}

std::int32_t multipliedInterval(std::int32_t interval, std::int32_t factor) {
  const std::int64_t longer = static_cast<std::int64_t>(interval) * factor;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(longer, shortestIntervalMs, longestIntervalMs));
}

std::int32_t halvedInterval(std::int32_t interval) { return std::max(interval / 2, shortestIntervalMs); }

}  // namespace ondrix
