#include "ondrix/rules/randomrule.h"

#include "ondrix/automaton/textnumber.h"

namespace ondrix {

void randomiseRuleTable(std::array<std::uint8_t, ruleTableSize>& table, RandomGenerator& random,
                        std::int16_t threshold, RandomVariant variant) {
  for (auto& entry : table) entry = random.next() > threshold ? 1 : 0;
  for (int e = 0; e < ruleTableSize; ++e) {
    const int s4 = e % 3, s3 = e / 3 % 3;
    const bool forced = variant == RandomVariant::noDistanceFour           ? s4 >= 1
                        : variant == RandomVariant::noDistanceThreeAndFour ? s3 >= 1 && s4 >= 1
                                                                           : false;
    if (forced) table[e] = 0;
  }
  table[0] = 0;
}

std::int16_t thresholdFromPercent(std::int32_t percent) {
  // p * 35768 / 100 in exact integer arithmetic truncates toward zero exactly
  // as the floating-point product p * 35768 * 0.01 does.
  const std::int64_t scaled = static_cast<std::int64_t>(percent) * 35768 / 100;
  return lowBits16(static_cast<std::int32_t>(scaled));
}

}  // namespace ondrix
