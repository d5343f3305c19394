// The project's step against the plain reference, generation by generation.
#include <gtest/gtest.h>

#include <random>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/stepkernels.h"
#include "bench/reference.h"

namespace ondrix {
namespace {

void randomise(AutomatonState& s, std::mt19937& rng, int liveShare) {
  std::uniform_int_distribution<int> percent(0, 99), state(0, 1);
  for (std::int32_t i = 0; i < ringCapacity; ++i) {
    s.cells[i] = percent(rng) < liveShare ? static_cast<std::uint8_t>(state(rng)) : stateA;
    s.stepMarks[i] = static_cast<std::int16_t>(percent(rng));
  }
  std::uniform_int_distribution<int> byte(0, 255), bit(0, 1);
  const bool rawBytes = percent(rng) < 20;  // as a rule file may hold them
  for (auto& e : s.ruleTable) e = static_cast<std::uint8_t>(rawBytes ? byte(rng) : bit(rng));
  if (percent(rng) < 70) s.ruleTable[0] = 0;  // quiet background in most tables
}

TEST(StepDifferential, MatchesReferenceOnRandomRingsAndTables) {
  std::mt19937 rng(20261209);
  const std::int32_t lengths[] = {25, 76, 250, 256, 760, 768, 2560, 7680};
  int generations = 0;
  for (int trial = 0; trial < 48; ++trial) {
    AutomatonState project;
    project.ringLength = lengths[trial % 8];
    randomise(project, rng, trial % 3 == 0 ? 5 : 50);
    AutomatonState reference = project;
    for (int g = 0; g < 120; ++g, ++generations) {
      stepGeneration(project);
      reference::stepGeneration(reference);
      ASSERT_EQ(project.liveCount, reference.liveCount) << "trial " << trial << " generation " << g;
      ASSERT_EQ(project.cells, reference.cells) << "trial " << trial << " generation " << g;
      ASSERT_EQ(project.stepMarks, reference.stepMarks) << "trial " << trial << " generation " << g;
    }
  }
  EXPECT_EQ(generations, 48 * 120);
}

// Every kernel the processor can run against the portable one, on the same
// runs: lengths around the 32-cell blocks, raw table bytes, cell bytes that
// are no state.
TEST(StepKernels, EveryKernelGivesThePortableResult) {
  std::mt19937 rng(13);
  std::uniform_int_distribution<int> byte(0, 255), percent(0, 99);
  for (int trial = 0; trial < 400; ++trial) {
    const std::int32_t count = trial < 100 ? trial : 1 + static_cast<std::int32_t>(rng() % 7680);
    std::vector<std::uint8_t> rule(81), cells(count + 1), z(count + 8);
    for (auto& e : rule) e = static_cast<std::uint8_t>(percent(rng) < 10 ? byte(rng) : byte(rng) % 2);
    for (auto& c : cells) c = static_cast<std::uint8_t>(percent(rng) < 5 ? byte(rng) : byte(rng) % 3);
    for (auto& b : z) b = static_cast<std::uint8_t>(percent(rng) < 40);
    struct Out {
      std::vector<std::uint8_t> next;
      std::vector<std::int16_t> marks;
      std::int32_t live = 0;
    };
    auto run = [&](std::int32_t (*kernel)(const kernels::StepRun&)) {
      Out o{std::vector<std::uint8_t>(count + 1, 0xEE), std::vector<std::int16_t>(count + 1, -1)};
      std::vector<std::uint8_t> ring = cells;
      o.live = kernel({rule.data(), ring.data(), z.data() + 4, o.next.data(), o.marks.data(), count});
      EXPECT_TRUE(std::equal(o.next.begin(), o.next.begin() + count, ring.begin()));  // the cells took them too
      EXPECT_EQ(ring[count], cells[count]);
      return o;
    };
    const Out portable = run(kernels::stepCellsPortable);
    EXPECT_EQ(portable.next[count], 0xEE);  // nothing past the run
#if defined(ONDRIX_X86_KERNELS)
    if (!processorFeatures().avx2) GTEST_SKIP() << "no AVX2 on this processor";
    const Out avx2 = run(kernels::stepCellsAvx2);
    ASSERT_EQ(avx2.next, portable.next) << "count " << count;
    ASSERT_EQ(avx2.marks, portable.marks) << "count " << count;
    ASSERT_EQ(avx2.live, portable.live) << "count " << count;
#endif
  }
}

}  // namespace
}  // namespace ondrix
