#include "ondrix/mainwindow/spacetime.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "ondrix/automaton/poll.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/picture.h"

namespace ondrix {

std::vector<Rgb> spaceTimePalette(SpaceTimePalette palette) {
  if (palette == SpaceTimePalette::research) {
    // Paul Tol's muted and bright sets: told apart with any colour vision,
    // and none of them a grey.
    return {{51, 34, 136},   {136, 204, 238}, {68, 170, 153},  {17, 119, 51},  {153, 153, 51},
            {221, 204, 119}, {204, 102, 119}, {136, 34, 85},   {170, 68, 153}, {238, 102, 51},
            {0, 119, 187},   {238, 51, 119},  {255, 255, 255}, {160, 160, 160}, {40, 40, 40}};
  }
  std::vector<Rgb> out(markPalette.begin(), markPalette.end());
  out.push_back({240, 240, 240});
  return out;
}

std::uint8_t spaceTimeIndex(std::uint8_t cell, std::int16_t mark, SpaceTimePalette palette) {
  if (cell == stateA) return spaceTimeBackground;
  if (palette == SpaceTimePalette::research) {
    return mark >= 1 && mark <= 12 ? static_cast<std::uint8_t>(mark - 1) : cell == stateB ? 13 : 14;
  }
  return mark >= markN && mark <= markP ? static_cast<std::uint8_t>(mark - 77)
         : mark >= 0 && mark <= 11      ? static_cast<std::uint8_t>(mark)
                                        : 0;
}

void spaceTimeRow(AutomatonState& ring, const PhaseTables* tables, int scale, std::span<std::uint8_t> row,
                  SpaceTimePalette palette) {
  if (tables) tagSolitons(ring, *tables);
  std::uint8_t* out = row.data();
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    out = std::fill_n(out, scale, spaceTimeIndex(ring.cells[i], ring.stepMarks[i], palette));
  }
}

std::vector<TaggedSoliton> locateSolitons(AutomatonState& ring, const PhaseTables& tables) {
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    if (ring.stepMarks[i] <= 77) ring.stepMarks[i] = markO;  // untagged, as after a step
  }
  tagSolitons(ring, tables);
  std::vector<TaggedSoliton> out;
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    const std::int16_t mark = ring.stepMarks[i];
    if (mark < 1 || mark > 12 || (i > 0 && ring.stepMarks[i - 1] == mark)) continue;
    std::int32_t first = i;
    while (first < ring.ringLength && ring.stepMarks[first] == mark && ring.cells[first] == stateA) ++first;
    if (first < ring.ringLength && ring.stepMarks[first] == mark) out.push_back({mark - 1, first});
  }
  return out;
}

void marksBetween(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after,
                  std::span<std::int16_t> marks) {
  for (std::size_t i = 0; i < marks.size(); ++i) {
    // The table's bit: 1 where B became A or A became C.
    const bool bit = (before[i] == stateB && after[i] == stateA) || (before[i] == stateA && after[i] == stateC);
    marks[i] = before[i] == stateC ? markN : bit ? markP : markO;
  }
}

void tagSpaceTime(const RuleTable& rule, std::span<const std::uint8_t> cells, std::int32_t length,
                  const PhaseTables* tables, std::span<std::uint8_t> marks, Poll* poll) {
  const auto n = static_cast<std::size_t>(length);
  const std::size_t rows = n ? cells.size() / n : 0;
  auto ring = std::make_unique<AutomatonState>(quietRing(rule, length));
  // Generation -1, the row before the first.
  std::vector<std::uint8_t> before(n);
  if (rows > 0) {
    std::copy_n(cells.begin(), n, ring->cells.begin());
    stepBackward(*ring);
    std::copy_n(ring->cells.begin(), n, before.begin());
  }
  for (std::size_t t = 0; t < rows; ++t) {
    if (poll && t % 256 == 0 && !(*poll)(static_cast<std::int64_t>(t), static_cast<std::int64_t>(rows))) throw Cancelled();
    const auto row = cells.subspan(t * n, n);
    std::copy(row.begin(), row.end(), ring->cells.begin());
    marksBetween(t == 0 ? std::span<const std::uint8_t>(before) : cells.subspan((t - 1) * n, n), row,
                 std::span(ring->stepMarks.data(), n));
    if (tables) {
      tagSolitons(*ring, *tables);
    } else {
      for (std::size_t i = 0; i < n; ++i) ring->stepMarks[i] = row[i] == stateA ? 0 : ring->stepMarks[i];
    }
    std::copy_n(ring->stepMarks.begin(), n, marks.begin() + static_cast<std::ptrdiff_t>(t * n));
  }
  if (poll) (*poll)(static_cast<std::int64_t>(rows), static_cast<std::int64_t>(rows));
}

void renderSpaceTime(AutomatonState& ring, const PhaseTables* tables, std::int64_t from, std::int64_t rows, int scale,
                     const std::function<void(std::span<const std::uint8_t>)>& row, Poll* poll,
                     SpaceTimePalette palette) {
  const std::int64_t total = from + rows;
  // One generation back, so that the step forward leaves the start with its marks.
  if (from == 0) stepBackward(ring);
  for (std::int64_t g = 1; g < from; ++g) {
    if (poll && g % 4096 == 0 && !(*poll)(g, total)) throw Cancelled();
    stepGeneration(ring);
  }
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(ring.ringLength) * static_cast<std::size_t>(scale));
  for (std::int64_t g = 0; g < rows; ++g) {
    if (poll && g % 64 == 0 && !(*poll)(from + g, total)) throw Cancelled();
    stepGeneration(ring);
    spaceTimeRow(ring, tables, scale, pixels, palette);
    row(pixels);
  }
  if (poll) (*poll)(total, total);
}

}  // namespace ondrix
