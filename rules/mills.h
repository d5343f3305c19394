// Placement parameters of the mill, ghost and random-block commands.
#pragma once

#include <cstdint>

namespace ondrix {

struct MillParameters {
  std::int32_t patternOffset = 0;   // first cell of a pattern, from the ring centre
  std::int32_t patternLength = 30;  // random cells of a block's left half
};

}  // namespace ondrix
