// Building collision scenes out of catalogued solitons: the colour panels of
// "Choose soliton", the clearing of a third of the ring, and the random
// soliton sets of "Set rand. sol.".
#pragma once

#include <cstdint>

namespace ondrix {

struct OndrixState;
struct RingDisplay;
enum class PressButton;

enum class Third { first, middle, last };

// "Stir nac 22", "Stir centr 23", "Button24": sets the third's cells to A
// while "Without clear" is off, then the redraw unless Dont show. With L the
// ring length: 0..L/3-1, L/3..2L/3-1, 2L/3..L-1.
void clearThird(OndrixState& st, RingDisplay& display, Third third);

// A press on the panel of soliton type 0..11. Left: the first third
// cleared, the soliton from cell 10 on, travelling towards higher indices.
// Right: the last third cleared, its swapped twin from ringLength - 16 on,
// travelling the other way. Each step redraws unless Dont show; the final
// redraw skips Dont show for types 3..11. Other buttons do nothing.
void solitonPanelPress(OndrixState& st, RingDisplay& display, int type, PressButton button);

// "XXX": the first (left) or last (right) third cleared, then the redraw
// unless Dont show. Places nothing.
void clearPanelPress(OndrixState& st, RingDisplay& display, PressButton button);

enum class RandomSet {
  four,            // "4": four solitons at the fifths of the ring
  fourWithGhosts,  // "4 + R6": the same, then "Test ghosts" over them
  five,            // "5": five solitons at the centres of the first five sixths
};

// The ring cleared, then solitons of random types 0..10 in random phases
// and directions, each drawn type first, then phase; timeStep back to 0. A
// drawn type without tag codes still takes its phase draw and places
// nothing.
void randomSolitonSet(OndrixState& st, RingDisplay& display, RandomSet set);

// Start cell of soliton i of a set on a ring of `length` cells.
std::int32_t randomSetStart(RandomSet set, std::int32_t length, int i);

}  // namespace ondrix
