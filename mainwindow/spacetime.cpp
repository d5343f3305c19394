#include "ondrix/mainwindow/spacetime.h"

#include <algorithm>

#include "ondrix/automaton/poll.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/picture.h"

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

void renderSpaceTime(AutomatonState& ring, const PhaseTables* tables, std::int64_t from, std::int64_t rows, int scale,
                     const std::function<void(std::span<const std::uint8_t>)>& row, Poll* poll) {
  const std::int64_t total = from + rows;
  for (std::int64_t g = 0; g < from; ++g) {
    if (poll && g % 4096 == 0 && !(*poll)(g, total)) throw Cancelled();
    stepGeneration(ring);
  }
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(ring.ringLength) * static_cast<std::size_t>(scale));
  for (std::int64_t g = 0; g < rows; ++g) {
    if (poll && g % 64 == 0 && !(*poll)(from + g, total)) throw Cancelled();
    stepGeneration(ring);
    spaceTimeRow(ring, tables, scale, pixels);
    row(pixels);
  }
  if (poll) (*poll)(total, total);
}

}  // namespace ondrix
