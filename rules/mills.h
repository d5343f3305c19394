// Mills and ghosts: seed patterns and random blocks written from the ring's
// centre, so that the user can watch what grows from them.
#pragma once

#include <cstdint>

namespace ondrix {

struct OndrixState;
struct RingDisplay;

struct MillParameters {
  std::int32_t patternOffset = 0;   // first cell of a pattern, from the ring centre
  std::int32_t patternLength = 30;  // random cells of a block's left half
};

// The start cell of every pattern, ringLength / 2 + patternOffset, taken
// afresh from the ring length in force. 64 bits: the offset is any number.
std::int64_t patternStart(const OndrixState& st);

enum class MillSeed {
  single,          // "I": one C cell
  pair,            // "II": two C cells
  symmetricBlock,  // "Sy+rand 8": a random palindrome of eight cells
};

// The clear rule (the ring is cleared while "Without clear" is checked),
// insertPos at the start cell, the seed, then the redraw unless Dont show.
// Only ring cells are written; the block always makes its four draws.
void placeMillSeed(OndrixState& st, RingDisplay& display, MillSeed seed);

enum class RandomBlock {
  abc,                 // "Rand A,B,C": A, B or C
  bc,                  // "Rand  B, C": B or C
  abcSymmetric,        // "Rand A,B,C symm.": A, B or C, mirrored
  bcSymmetric,         // "Rand B,C symm.": B or C, mirrored
  bcSwappedMirror,     // "Rand A,B,C not s.": B or C, mirrored with B and C exchanged
  baSwappedMirror,     // "Read A,B,C not s. 2": B or A, mirrored with B and C exchanged
};

// A random block of patternLength cells from the start cell s, mirrored
// about cell s + L for the last four variants (that axis cell is not
// written). Resets the population history, applies the clear rule, makes
// one draw per left cell, leaves insertPos at s + L - 1 (unchanged when
// L <= 0), then redraws unless Dont show. Only ring cells are written, but
// every draw is made, so the random sequence does not depend on where the
// block lies.
void placeRandomBlock(OndrixState& st, RingDisplay& display, RandomBlock variant);

}  // namespace ondrix
