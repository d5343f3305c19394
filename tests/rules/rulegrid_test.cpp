#include "ondrix/rules/rulegrid.h"

#include <gtest/gtest.h>

#include <vector>

namespace ondrix {
namespace {

TEST(RuleGrid, PressesMapToTheirSquare) {
  struct Case {
    int x, y;
    int entry;  // -1: outside the grid
    std::array<int, 4> s;
  };
  for (const Case& c : {Case{0, 0, 0, {0, 0, 0, 0}}, Case{179, 179, 80, {2, 2, 2, 2}}, Case{65, 25, 28, {1, 0, 0, 1}},
                        Case{19, 40, 2, {0, 0, 0, 2}}, Case{160, 0, 72, {2, 2, 0, 0}}, Case{180, 0, -1, {}},
                        Case{0, 180, -1, {}}, Case{-1, 5, -1, {}}, Case{300, 240, -1, {}}}) {
    std::vector<std::uint8_t> table(162, 0);
    table[c.entry < 0 ? 0 : c.entry] = 5;  // any nonzero value becomes 0
    const auto before = table;
    const auto pressed = toggleRuleEntryAt(table, c.x, c.y);
    ASSERT_EQ(pressed.has_value(), c.entry >= 0) << c.x << "," << c.y;
    if (!pressed) {
      EXPECT_EQ(table, before);
      continue;
    }
    EXPECT_EQ(pressed->entry(), c.entry);
    EXPECT_EQ(pressed->s, c.s);
    EXPECT_EQ(table[c.entry], 0);
    toggleRuleEntryAt(table, c.x, c.y);
    EXPECT_EQ(table[c.entry], 1);
    const GridPlace at = squareOfEntry(c.entry);
    EXPECT_EQ(at.x, c.x / 20 * 20);
    EXPECT_EQ(at.y, c.y / 20 * 20);
  }
}

}  // namespace
}  // namespace ondrix
