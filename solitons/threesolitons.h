// The three-body scene: two solitons travelling towards higher indices, one
// close behind the other, and a swapped one coming at them from the right.
#pragma once

#include <cstdint>

namespace ondrix {

struct OndrixState;
struct RingDisplay;

struct ThreeSolitonTypes {
  std::int16_t threeLeftType = 0;    // from cell 360, towards higher indices
  std::int16_t threeRightType = 1;   // reversed, from ringLength - 366
  std::int16_t threeMiddleType = 6;  // from ringLength / 2
};

inline constexpr std::int32_t threeLeftStart = 360;
inline constexpr std::int32_t threeRightFromEnd = 366;

// Start cells of the left, middle and right soliton. From 745 cells on the
// scene stands at cells 360, ringLength / 2 and ringLength - 366 (360, 384,
// 402 on the 768-cell ring). On the shorter rings (256, 250, 76, 25 cells)
// those would leave the ring, so the scene keeps its shape around the
// centre: ringLength / 2 - 24, ringLength / 2, ringLength / 2 + 18.
struct ThreeStarts {
  std::int32_t left, middle, right;
};
ThreeStarts threeSolitonStarts(std::int32_t ringLength);

// "Make": "Clear" (T 0, history emptied, ring cleared), the three solitons
// placed, one generation without moving T, the redraw unless Dont show, no
// samples. A type outside the catalogue's 0..4999 places nothing, and only
// ring cells are written, on every ring length.
void makeThreeSolitons(OndrixState& st, RingDisplay& display);

// "Mk,+R+": the random set "4" in full, three types 0..11 drawn for the
// left, right and middle soliton in that order, then "Make".
void makeRandomThreeSolitons(OndrixState& st, RingDisplay& display);

}  // namespace ondrix
