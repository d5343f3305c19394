#include "rules/randomrule.h"

#include "automaton/textnumber.h"

namespace ondrix {

std::int16_t thresholdFromPercent(std::int32_t percent) {
  // p * 35768 / 100 in exact integer arithmetic truncates toward zero exactly
  // as the floating-point product p * 35768 * 0.01 does.
  const std::int64_t scaled = static_cast<std::int64_t>(percent) * 35768 / 100;
  return lowBits16(static_cast<std::int32_t>(scaled));
}

}  // namespace ondrix
