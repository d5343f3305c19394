#include "rules/randomrule.h"

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
