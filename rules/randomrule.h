// Parameters of the random rule tables.
#pragma once

#include <array>
#include <cstdint>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/random.h"

namespace ondrix {

struct RandomRuleSettings {
  // An entry becomes 1 when a draw is strictly greater than this.
  std::int16_t randomThreshold = 16380;
};

// The three ways of drawing a table: every entry ("Ch. random"), only the
// neighbourhoods without a C at distance 4 ("Ch. random*"), or without a C
// at both distances 3 and 4 ("Ch. random**").
enum class RandomVariant { all, noDistanceFour, noDistanceThreeAndFour };

// Draws all 162 entries in index order (1 where the draw exceeds the
// threshold), forces the variant's entries to 0, and entry 0 to 0.
void randomiseRuleTable(std::array<std::uint8_t, ruleTableSize>& table, RandomGenerator& random,
                        std::int16_t threshold, RandomVariant variant);

// Threshold for a percentage p: trunc(p * 357.68), kept in 16 bits.
std::int16_t thresholdFromPercent(std::int32_t percent);

}  // namespace ondrix
