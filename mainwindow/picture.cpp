#include "mainwindow/picture.h"

#include <algorithm>

#include "automaton/reversal.h"
#include "mainwindow/ondrixstate.h"

namespace ondrix {

void tagSolitons(AutomatonState& ring, const PhaseTables& tables) {
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    if (ring.stepMarks[i] <= 77) continue;  // tagged already
    if (ring.cells[i] == stateA) {
      ring.stepMarks[i] = 0;
      continue;
    }
    const std::int32_t code = encodePattern(ring, i, tagWindow);
    const std::uint8_t mark = code >= 0 && code < tagWindowCodes ? tables.tagTypeOfCode[code] : 0;
    if (mark == 0) continue;
    const std::int32_t end = std::min(i + tagWindow, ringCapacity);
    for (std::int32_t k = i; k < end; ++k) ring.stepMarks[k] = mark;
  }
}

void drawRing(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  tagSolitons(ring, st.phases);
  const bool labelsDue = ring.timeStep % 32 == 0;
  if (labelsDue) display.showTime(ring.timeStep);
  display.paintRing(ring);
  if (labelsDue) {
    const double percent = static_cast<double>(ring.liveCount) * 100.0 / ring.ringLength;
    display.showPercent(static_cast<std::int32_t>(percent));
  }
}

void redrawUnlessDontShow(OndrixState& st, RingDisplay& display) {
  if (!st.dontShow) drawRing(st, display);
}

std::optional<std::int32_t> cellAtPress(int x, int y) {
  std::int32_t k = (x - AutomatonState::originX) / 3;
  if (y > rowSpacing) k += cellsPerRow;
  if (y > 2 * rowSpacing) k += cellsPerRow;
  if (k < 0 || k >= ringCapacity) return std::nullopt;
  return k;
}

void pressCell(OndrixState& st, RingDisplay& display, PressButton button, int x, int y) {
  const auto k = cellAtPress(x, y);
  if (!k) return;
  if (button == PressButton::left) st.ring.cells[*k] = stateC;
  if (button == PressButton::right) st.ring.cells[*k] = stateA;
  redrawUnlessDontShow(st, display);
}

}  // namespace ondrix
