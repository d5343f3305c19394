// The ring picture as the core sees it: soliton tagging, the colour of each
// mark, the geometry of the cells, and the redraw that the commands call.
// The window paints through the display interfaces of automaton/display.h.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/display.h"
#include "ondrix/automaton/rgb.h"

namespace ondrix {

struct OndrixState;
struct PhaseTables;

// Colours of the marks 0..11: black, then the panel colours of types 0..10.
inline constexpr std::array<Rgb, 12> markPalette = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {0, 0, 255},
    {0, 255, 255},
    {255, 0, 255},
}};

// Entry m for marks up to 77, entry m - 77 for the step marks 78..80.
constexpr Rgb markColour(std::int16_t mark) {
  if (mark >= markN && mark <= markP) return markPalette[mark - 77];
  if (mark >= 0 && mark < static_cast<std::int16_t>(markPalette.size())) return markPalette[mark];
  return markPalette[0];
}

// Marks every untagged ring cell: 0 for background, or type + 1 over the
// 11-cell window of a recognised soliton. Windows are read without
// wrap-around; positions past the storage are background and not marked.
void tagSolitons(AutomatonState& ring, const PhaseTables& tables);

// The redraw: tag, the T label when T is a multiple of 32, the paint, then
// the population percentage under the same condition.
void drawRing(OndrixState& st, RingDisplay& display);

// The redraw rule of most commands.
void redrawUnlessDontShow(OndrixState& st, RingDisplay& display);

// Geometry. Cell i of the picture stands in the 3-pixel column centred on
// x and occupies y0 - 12 .. y0 + 12.
inline constexpr int cellsPerRow = 256;
inline constexpr int rowSpacing = 36;
inline constexpr int threeRowCells = 3 * cellsPerRow;
static_assert(threeRowCells == startupRingLength, "start-up shows its ring in three full rows");

struct CellPlace {
  int x, y0;
};

// Cells 0..767 in three rows, or 0..ringLength-1 in one row.
constexpr std::int32_t picturedCells(const AutomatonState& ring, bool threeRows) {
  return threeRows ? threeRowCells : ring.ringLength;
}

constexpr CellPlace cellPlace(std::int32_t i, bool threeRows) {
  if (!threeRows) return {AutomatonState::originX + 3 * i, AutomatonState::originY};
  const std::int32_t r = i / cellsPerRow;
  return {AutomatonState::originX + 3 * (i - cellsPerRow * r), AutomatonState::originY + rowSpacing * r};
}

// The cell a press at (x, y) edits: (x - 10) / 3, truncated toward zero,
// plus 256 below y 36 and 256 more below y 72, in both modes. Nothing when
// that lies outside the storage.
std::optional<std::int32_t> cellAtPress(int x, int y);

enum class PressButton { left, right, middle, other };

// The press on the picture: left sets state C, right state A, the middle
// button nothing; then the redraw unless Dont show.
void pressCell(OndrixState& st, RingDisplay& display, PressButton button, int x, int y);

}  // namespace ondrix
