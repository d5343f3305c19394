// The soliton types of the three-body scene.
#pragma once

#include <cstdint>

namespace ondrix {

struct ThreeSolitonTypes {
  std::int16_t threeLeftType = 0;    // from cell 360, towards higher indices
  std::int16_t threeRightType = 1;   // reversed, from ringLength - 366
  std::int16_t threeMiddleType = 6;  // from ringLength / 2
};

}  // namespace ondrix
