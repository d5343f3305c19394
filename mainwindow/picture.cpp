#include "ondrix/mainwindow/picture.h"

#include <algorithm>

#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/ondrixstate.h"

namespace ondrix {

void tagSolitons(AutomatonState& ring, const PhaseTables& tables) {
  // The code of the 11-cell window at i rolls along with i: drop the digit of
  // cell i, shift down, add the digit of cell i + 11. Windows run past the
  // ring into the storage and read past the storage as background, as
  // encodePattern reads them; codeStart and codeLastOffset end as the last
  // window the scan encoded leaves them.
  constexpr std::uint32_t topWeight = 59049;  // 3^10
  auto digit = [&](std::int32_t k) -> std::uint32_t {
    if (k >= ringCapacity) return 0;
    const std::uint8_t c = ring.cells[static_cast<std::size_t>(k)];
    return c == stateB ? 1u : c == stateC ? 2u : 0u;
  };
  std::uint32_t code = 0;
  for (std::int32_t k = tagWindow - 1; k >= 0; --k) code = 3 * code + digit(k);
  std::int32_t lastEncoded = -1;
  for (std::int32_t i = 0; i < ring.ringLength; code = (code - digit(i)) / 3 + topWeight * digit(i + tagWindow), ++i) {
    if (ring.stepMarks[i] <= 77) continue;  // tagged already
    if (ring.cells[i] == stateA) {
      ring.stepMarks[i] = 0;
      continue;
    }
    lastEncoded = i;
    const std::uint8_t mark = tables.tagTypeOfCode[code];
    if (mark == 0) continue;
    const std::int32_t end = std::min(i + tagWindow, ringCapacity);
    for (std::int32_t k = i; k < end; ++k) ring.stepMarks[k] = mark;
  }
  if (lastEncoded >= 0) encodePattern(ring, lastEncoded, tagWindow);  // for codeStart and codeLastOffset
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
