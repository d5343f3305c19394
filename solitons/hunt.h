// Finding a soliton rule and a catalogue for it: the search run over many
// random rule tables, the findings checked for what the picture and the
// collisions need, and the pairs that pass through each other counted.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "ondrix/solitons/catalogue.h"

namespace ondrix {

struct SolitonType {
  std::int32_t code = 0, period = 0, shift = 0;
  std::int32_t width = 0;  // widest phase, in cells
  std::int32_t speed() const { return solitonSpeed(shift, period); }
};

// currentSoliton = code and insertPos = at, then the placement.
void place(AutomatonState& ring, std::int32_t code, std::int32_t at, bool swapped);

// The runs of live cells of the ring, first and last cell of each, split
// where at least `gap` A cells lie between two live ones (no wrap-around).
std::vector<std::pair<std::int32_t, std::int32_t>> clusters(const AutomatonState& ring, std::int32_t gap);

// The codes of every phase of the soliton in one orientation (swapped: the
// twin travelling towards lower indices).
std::vector<std::int32_t> phaseCodes(const RuleTable& rule, const SolitonType& t, bool swapped);

// Runs the soliton alone from cell 300 of a quiet 768-cell ring for one
// period in each orientation. Returns its widest phase, or 0 when it does
// not come back to its code moved by its shift (to the right as placed, to
// the left swapped).
std::int32_t solitonWidth(const RuleTable& rule, std::int32_t code, std::int32_t period, std::int32_t shift);

// The search's findings under the rule that can serve as catalogue types:
// period 1..40, shift at least 1, at most 19 cells wide in every phase.
std::vector<SolitonType> usableSolitons(const RuleTable& rule);

// Whether type a, travelling right from cell 200, and the swapped type b,
// travelling left from cell 500, come out of their collision as the same two
// solitons, each gone on in its direction. (Whether a pair passes can
// depend on where the two meet in their periods.)
bool passThrough(const RuleTable& rule, const SolitonType& a, const SolitonType& b);

// Twelve types from the usable ones: eleven at most 11 cells wide for the
// tagged types 0..10, then one more; those that pass through the most
// others first; ordered by speed, fastest first (the twelfth last). Empty
// when the rule does not offer them.
std::vector<SolitonType> chooseCatalogue(const RuleTable& rule, const std::vector<SolitonType>& usable,
                                         int* passingPairs = nullptr);

}  // namespace ondrix
