#include "ondrix/rules/randomrule.h"

#include <gtest/gtest.h>

namespace ondrix {
namespace {

TEST(ThresholdFromPercent, TellingRows) {
  EXPECT_EQ(thresholdFromPercent(0), 0);
  EXPECT_EQ(thresholdFromPercent(5), 1788);
  EXPECT_EQ(thresholdFromPercent(50), 17884);
  EXPECT_EQ(thresholdFromPercent(55), 19672);
  EXPECT_EQ(thresholdFromPercent(90), 32191);
  EXPECT_EQ(thresholdFromPercent(91), 32548);
  EXPECT_EQ(thresholdFromPercent(92), -32630);
  EXPECT_EQ(thresholdFromPercent(100), -29768);
}

TEST(ThresholdFromPercent, NegativeAndLargePercentagesWrap) {
  EXPECT_EQ(thresholdFromPercent(-1), -357);
  EXPECT_LT(thresholdFromPercent(-91), 0);
  EXPECT_GT(thresholdFromPercent(-92), 0);  // -32906 wraps to 32630
  EXPECT_LT(thresholdFromPercent(183), 0);
  EXPECT_GT(thresholdFromPercent(184), 0);
  EXPECT_EQ(thresholdFromPercent(2147483647), static_cast<std::int16_t>(static_cast<std::uint16_t>(
                                                   static_cast<std::uint64_t>(2147483647LL * 35768 / 100))));
}

}  // namespace
}  // namespace ondrix

namespace ondrix {
namespace {

TEST(RandomiseRuleTable, FirstMkRandomAfterStartUp) {
  RandomGenerator g = startupRandomGenerator();
  std::array<std::uint8_t, ruleTableSize> table{};
  randomiseRuleTable(table, g, 16380, RandomVariant::all);
  const std::uint8_t expected[12] = {0, 0, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0};
  for (int e = 0; e < 12; ++e) EXPECT_EQ(table[e], expected[e]) << e;
  // All 162 draws are made, whatever the variant.
  RandomGenerator h = startupRandomGenerator();
  for (int k = 0; k < 162; ++k) h.next();
  EXPECT_EQ(g.seed(), h.seed());
}

TEST(RandomiseRuleTable, VariantsForceTheirEntries) {
  RandomGenerator g;
  for (int round = 0; round < 20; ++round) {
    std::array<std::uint8_t, ruleTableSize> all{}, star{}, stars{};
    randomiseRuleTable(all, g, 0, RandomVariant::all);  // threshold 0: nearly every entry 1
    randomiseRuleTable(star, g, 0, RandomVariant::noDistanceFour);
    randomiseRuleTable(stars, g, 0, RandomVariant::noDistanceThreeAndFour);
    EXPECT_EQ(all[0], 0);
    EXPECT_EQ(all[81], 1) << "entry 81 is not forced";
    int ones = 0, starOnes = 0, starsOnes = 0;
    for (int e = 0; e < ruleTableSize; ++e) {
      EXPECT_LE(all[e], 1);
      if (e % 3 != 0) {
        EXPECT_EQ(star[e], 0) << e;
      }
      const int m = e % 9;
      if (m == 4 || m == 5 || m == 7 || m == 8) {
        EXPECT_EQ(stars[e], 0) << e;
      }
      ones += all[e];
      starOnes += star[e];
      starsOnes += stars[e];
    }
    EXPECT_EQ(ones, 161);  // no draw of this sequence is exactly 0
    EXPECT_EQ(starOnes, 53);
    EXPECT_EQ(starsOnes, 89);
  }
}

}  // namespace
}  // namespace ondrix
