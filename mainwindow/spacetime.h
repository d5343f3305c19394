// Space-time pictures: one row of pixels per generation, one column per
// cell, each cell coloured as the window colours it (tagged solitons in
// their panel colours, other live cells by their step marks), the
// background light. Rows come as palette indices, for writers that stream.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/rgb.h"

namespace ondrix {

struct AutomatonState;
struct PhaseTables;
class Poll;

inline constexpr std::uint8_t spaceTimeBackground = 12;  // palette index of A

// The colours of a picture. window: as the window colours the ring (tagged
// solitons in their panel colours, other live cells by their step marks,
// which share the colours of types 0..2). research: for print and for
// readers with any colour vision: a white background, untagged B and C in
// two greys, each catalogue type in its own colour of a colour-blind-safe
// set, which no untagged cell takes.
enum class SpaceTimePalette { window, research };

// Entries 0..11: the window's mark colours, or the research colours of
// types 0..11; entry 12: the background; research only: 13 untagged B,
// 14 untagged C.
std::vector<Rgb> spaceTimePalette(SpaceTimePalette palette = SpaceTimePalette::window);

// The palette entry of a cell with its mark.
std::uint8_t spaceTimeIndex(std::uint8_t cell, std::int16_t mark, SpaceTimePalette palette = SpaceTimePalette::window);

// The marks the step leaves on cells that were `before` and became
// `after` (N, O or P; O where the two cannot follow each other).
void marksBetween(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after,
                  std::span<std::int16_t> marks);

// The mark of every cell of a space-time diagram, rows of `length` cells
// (up to the ring's capacity), generation 0 first, as the window marks a
// ring it redraws: 0 for A, type + 1 over a soliton the tables recognise
// (none without tables), otherwise the mark of the step that led to the
// cell, for generation 0 the step from the generation before it (run
// backwards under the rule). The poll hears rows done and may cancel.
void tagSpaceTime(const RuleTable& rule, std::span<const std::uint8_t> cells, std::int32_t length,
                  const PhaseTables* tables, std::span<std::uint8_t> marks, Poll* poll = nullptr);

// A soliton the tagging recognised: its catalogue type and the first cell
// of its stretch of marks.
struct TaggedSoliton {
  int type = 0;
  std::int32_t first = 0;
};

// Tags the ring as a redraw does (every cell, whatever marks it held) and
// lists the solitons it recognised, from cell 0 on.
std::vector<TaggedSoliton> locateSolitons(AutomatonState& ring, const PhaseTables& tables);

// The ring as it stands (tagged first when tables are given, as a redraw
// tags), as palette indices, each cell `scale` pixels wide. `row` holds
// ringLength * scale entries.
void spaceTimeRow(AutomatonState& ring, const PhaseTables* tables, int scale, std::span<std::uint8_t> row,
                  SpaceTimePalette palette = SpaceTimePalette::window);

// A space-time picture, row by row: the rows of generations from ..
// from + rows - 1 of the ring as it stands (generation 0), each with the
// marks of the step that led to it (generation 0's from the generation
// before it, run backwards). The poll hears the generations run, and may
// cancel between them.
void renderSpaceTime(AutomatonState& ring, const PhaseTables* tables, std::int64_t from, std::int64_t rows, int scale,
                     const std::function<void(std::span<const std::uint8_t>)>& row, Poll* poll = nullptr,
                     SpaceTimePalette palette = SpaceTimePalette::window);

}  // namespace ondrix
