#include "mainwindow/spacetime.h"

#include <algorithm>

#include "automaton/reversal.h"
#include "mainwindow/picture.h"

namespace ondrix {

std::array<Rgb, 13> spaceTimePalette() {
  std::array<Rgb, 13> palette{};
  std::copy(markPalette.begin(), markPalette.end(), palette.begin());
  palette[spaceTimeBackground] = {240, 240, 240};
  return palette;
}

void spaceTimeRow(AutomatonState& ring, const PhaseTables* tables, int scale, std::span<std::uint8_t> row) {
  if (tables) tagSolitons(ring, *tables);
  std::uint8_t* out = row.data();
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    const std::int16_t mark = ring.stepMarks[i];
    const std::uint8_t index = ring.cells[i] == stateA          ? spaceTimeBackground
                               : mark >= markN && mark <= markP ? static_cast<std::uint8_t>(mark - 77)
                               : mark >= 0 && mark <= 11        ? static_cast<std::uint8_t>(mark)
                                                                : 0;
    out = std::fill_n(out, scale, index);
  }
}

}  // namespace ondrix
