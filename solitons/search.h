// The soliton search: every row of eight cells is tried as a seed, run for
// up to 300 generations, and recorded when it comes back to its own shape
// further along the ring. Around it stand the rule climbs and the routines
// of the auxiliary table.
#pragma once

#include <cstdint>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/poll.h"

namespace ondrix {

struct AutomatonState;
struct Catalogue;
struct OndrixState;
struct RingDisplay;

inline constexpr int seedCells = 8;
inline constexpr int seedCount = 6561;  // 3^8
inline constexpr std::int32_t searchInsertPos = 80;
inline constexpr int searchWindow = codeWindow;
inline constexpr std::int32_t spreadLimit = 19;
inline constexpr int searchGenerations = 300;

struct SearchOptions {
  // Worker threads; 0 takes one per processor. The result does not depend on it.
  unsigned threads = 0;
  // Many seeds at once in bit-sliced rows where that is exact; false runs
  // every seed on a ring of its own, one generation at a time. The result is
  // the same.
  bool batched = true;
  // When set, receives how many seeds ran the plain way: all of them when
  // not batched, else those the rows could not settle exactly (near the
  // ring's ends, and the like). The last seed, which always runs on the
  // ring itself, is not counted.
  int* seedsRunPlainly = nullptr;
  // Hears the seeds done and the seeds in all (6561), after every eight
  // seeds, from the worker that finished them: one call at a time, counts
  // increasing. A cancelled poll stops the search, which throws Cancelled.
  Poll* poll = nullptr;
};

// What a search found: each soliton once (by its least code: its cells are
// codeDigits(code), and identifySoliton tells its widest phase), in the order
// of the seeds that found it, at most 5000; and how many seeds spread past
// the search window.
struct FoundSoliton {
  std::int32_t code = 0, period = 0, shift = 0;
};
struct SearchFindings {
  std::vector<FoundSoliton> solitons;
  std::int32_t strangeRuns = 0;
};

// The engine: every seed on `ring`, under its rule and length, seeds from
// cell 80. The ring is left as the last seed leaves it.
SearchFindings searchRing(AutomatonState& ring, const SearchOptions& options = {});

// Off screen: the search on a quiet ring of `length` cells under `rule`.
SearchFindings findSolitons(const RuleTable& rule, std::int32_t length = startupRingLength,
                            const SearchOptions& options = {});

// The findings as the catalogue holds them: Nsol, Nstrun, strangeSeen and
// entries 0..Nsol-1; the entries after them are left alone.
void enterFindings(Catalogue& c, const SearchFindings& found);

// "Button14": the search under the rule table in force. Sets insertPos to 80,
// Nsol, Nstrun, strangeSeen, catalogue entries 0..Nsol-1 (at most 5000) and
// the search labels; leaves the ring as the last seed leaves it. Does not
// redraw or touch timeStep or the phase tables.
void solitonSearch(OndrixState& st, RingDisplay& display, const SearchOptions& options = {});

// "Button5": the same enumeration with an empty generation at insertPos as
// it stands, so every seed returns at once in place: Nsol, Nstrun and
// strangeSeen end at 0. Leaves the ring and the encoding values as that
// enumeration would.
void auxSearch(OndrixState& st, RingDisplay& display);

// Button18: cells insertPos..insertPos+7 from the low eight base-3 digits of
// currentSoliton, every cell written: digit 0 gives A, 1 gives B, 2 gives C.
// Positions outside the storage are skipped.
void placeSeedFromCode(AutomatonState& ring);

// The seed of number n: cell j holds digit j of n in base 3, s0 the most
// significant.
constexpr std::uint8_t seedCell(int n, int j) {
  int v = n;
  for (int k = j; k < seedCells - 1; ++k) v /= 3;
  return static_cast<std::uint8_t>(v % 3);
}

}  // namespace ondrix
