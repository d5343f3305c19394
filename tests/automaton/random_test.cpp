#include "ondrix/automaton/random.h"

#include <gtest/gtest.h>

namespace ondrix {
namespace {

TEST(Random, FirstDrawsAfterTheStartupDiscard) {
  RandomGenerator g = startupRandomGenerator();
  const std::int32_t expected[] = {130, 10982, 1090, 11656, 7117, 17595, 6415, 22948, 31126, 9004, 14558, 3571};
  for (std::int32_t e : expected) EXPECT_EQ(g.next(), e);
}

TEST(Random, DiscardedDrawIsTheFirstOfSeedOne) {
  RandomGenerator fresh;
  EXPECT_EQ(fresh.seed(), 1u);
  fresh.next();
  EXPECT_EQ(fresh.seed(), startupRandomGenerator().seed());
  EXPECT_EQ(fresh.next(), 130);
}

TEST(Random, DrawsStayInRangeAndWrapTheSeed) {
  RandomGenerator g;
  std::int32_t low = 32767, high = 0;
  for (int i = 0; i < 100000; ++i) {
    const std::int32_t r = g.next();
    low = std::min(low, r);
    high = std::max(high, r);
  }
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 32767);
}

}  // namespace
}  // namespace ondrix

namespace ondrix {
namespace {

TEST(Random, DiscardEqualsThatManyDraws) {
  for (std::uint64_t n : {0ull, 1ull, 2ull, 3ull, 7ull, 64ull, 1000ull, 123457ull}) {
    RandomGenerator jumped = startupRandomGenerator(), stepped = startupRandomGenerator();
    jumped.discard(n);
    for (std::uint64_t k = 0; k < n; ++k) stepped.next();
    EXPECT_EQ(jumped.seed(), stepped.seed()) << n;
  }
  RandomGenerator fullCycle;  // the period is 2^32
  fullCycle.discard(1ull << 32);
  EXPECT_EQ(fullCycle.seed(), 1u);
}

}  // namespace
}  // namespace ondrix
