#include "ondrix/rules/rulegrid.h"

namespace ondrix {

std::optional<RuleClass> classAtPress(int x, int y) {
  if (x < 0 || y < 0 || x >= gridSide || y >= gridSide) return std::nullopt;
  const int cx = x / gridSquare, cy = y / gridSquare;
  return RuleClass{{cx / 3, cx % 3, cy / 3, cy % 3}};
}

std::optional<RuleClass> toggleRuleEntryAt(std::span<std::uint8_t> ruleTable, int x, int y) {
  const auto pressed = classAtPress(x, y);
  if (!pressed) return std::nullopt;
  std::uint8_t& entry = ruleTable[static_cast<std::size_t>(pressed->entry())];
  entry = entry == 0 ? 1 : 0;
  return pressed;
}

}  // namespace ondrix
