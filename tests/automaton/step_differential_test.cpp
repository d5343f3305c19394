// The project's step against the plain reference, generation by generation.
#include <gtest/gtest.h>

#include <random>

#include "automaton/automaton.h"
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

}  // namespace
}  // namespace ondrix
