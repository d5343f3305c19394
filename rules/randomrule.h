// Parameters of the random rule tables.
#pragma once

#include <cstdint>

namespace ondrix {

struct RandomRuleSettings {
  // An entry becomes 1 when a draw is strictly greater than this.
  std::int16_t randomThreshold = 16380;
};

// Threshold for a percentage p: trunc(p * 357.68), kept in 16 bits.
std::int16_t thresholdFromPercent(std::int32_t percent);

}  // namespace ondrix
