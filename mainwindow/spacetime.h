// Space-time pictures: one row of pixels per generation, one column per
// cell, each cell coloured as the window colours it (tagged solitons in
// their panel colours, other live cells by their step marks), the
// background light. Rows come as palette indices, for writers that stream.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "ondrix/automaton/rgb.h"

namespace ondrix {

struct AutomatonState;
struct PhaseTables;
class Poll;

inline constexpr std::uint8_t spaceTimeBackground = 12;  // palette index of A

// Entries 0..11: the mark colours; entry 12: the light background.
std::array<Rgb, 13> spaceTimePalette();

// The ring as it stands (tagged first when tables are given, as a redraw
// tags), as palette indices, each cell `scale` pixels wide. `row` holds
// ringLength * scale entries.
void spaceTimeRow(AutomatonState& ring, const PhaseTables* tables, int scale, std::span<std::uint8_t> row);

// A space-time picture, row by row: `from` generations run first, then
// `rows` generations, each followed by its row. The poll hears the
// generations run of from + rows, and may cancel between them.
void renderSpaceTime(AutomatonState& ring, const PhaseTables* tables, std::int64_t from, std::int64_t rows, int scale,
                     const std::function<void(std::span<const std::uint8_t>)>& row, Poll* poll = nullptr);

}  // namespace ondrix
