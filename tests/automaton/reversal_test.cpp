#include "ondrix/automaton/reversal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/runcontrol.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::FakeDisplay;

constexpr std::int32_t reachableLengths[] = {25, 76, 250, 256, 760, 768, 2560, 7680};

// A small rule under which "C B" is a soliton of period 5 moving 3 cells.
void smallSolitonRule(AutomatonState& ring) {
  ring.ruleTable.fill(0);
  for (int e : {9, 27, 63}) ring.ruleTable[e] = 1;
}
constexpr std::int32_t smallSolitonSeed = 5;  // C then B
constexpr std::int32_t smallSolitonPeriod = 5;
constexpr std::int32_t smallSolitonShift = 3;

std::int32_t swappedCode(std::int32_t code) {
  std::int32_t out = 0, weight = 1;
  for (; code > 0; code /= 3, weight *= 3) {
    const std::int32_t d = code % 3;
    out += (d == 0 ? 0 : 3 - d) * weight;
  }
  return out;
}

TEST(Reversal, SwapUndoesAGenerationOnRandomRingsAndRules) {
  std::mt19937 rng(1);
  std::uniform_int_distribution<int> state(0, 2), byte(0, 255), pick(0, 7);
  AutomatonState ring;
  for (int pair = 0; pair < 10000; ++pair) {
    ring.ringLength = reachableLengths[pick(rng)];
    for (std::int32_t i = 0; i < ringCapacity; ++i) ring.cells[i] = static_cast<std::uint8_t>(state(rng));
    for (auto& e : ring.ruleTable) e = static_cast<std::uint8_t>(pair % 5 == 0 ? byte(rng) : byte(rng) & 1);
    const auto start = ring.cells;
    for (int twice = 0; twice < 2; ++twice) {
      stepGeneration(ring);
      for (std::int32_t i = 0; i < ring.ringLength; ++i) ring.cells[i] = swapState(ring.cells[i]);
    }
    ASSERT_EQ(ring.cells, start) << "pair " << pair << " length " << ring.ringLength;
  }
}

TEST(Reversal, ForwardReversForwardGivesTheSwappedStart) {
  std::mt19937 rng(2);
  for (std::int32_t length : reachableLengths) {
    OndrixState st;
    st.dontShow = false;
    FakeDisplay display;
    st.ring.ringLength = length;
    for (auto& e : st.ring.ruleTable) e = static_cast<std::uint8_t>(rng() & 1);
    st.ring.ruleTable[0] = 0;
    clearRing(st.ring);
    for (std::int32_t i = 0; i < length; ++i) st.ring.cells[i] = rng() % 4 == 0 ? static_cast<std::uint8_t>(rng() % 2) : stateA;
    const auto start = st.ring.cells;
    st.ring.stepsPerTick = 4;
    st.ring.timeStep = 12;
    for (int tick = 0; tick < 25; ++tick) advanceRun(st, display);  // 100 generations
    EXPECT_EQ(st.ring.timeStep, 112);
    reverseRing(st, display);
    EXPECT_EQ(st.ring.runBackward, 1);
    for (int tick = 0; tick < 25; ++tick) advanceRun(st, display);
    EXPECT_EQ(st.ring.timeStep, 12) << length;
    for (std::int32_t i = 0; i < length; ++i) ASSERT_EQ(st.ring.cells[i], swapState(start[i])) << length << " " << i;
    reverseRing(st, display);
    EXPECT_EQ(st.ring.runBackward, 0);
    EXPECT_EQ(st.ring.cells, start);
  }
}

TEST(Reversal, ReversOnAnEmptyRingOnlyTurnsTheDirection) {
  OndrixState st = startupState();
  FakeDisplay display;
  st.ring.stepMarks[5] = 3;
  reverseRing(st, display);
  EXPECT_EQ(firstLiveCell(st.ring), 768);
  EXPECT_EQ(st.ring.runBackward, 1);
  EXPECT_EQ(display.paints, 1);
  st.ring.runBackward = 7;  // anything but 0 turns to 0
  st.dontShow = true;
  reverseRing(st, display);
  EXPECT_EQ(st.ring.runBackward, 0);
  EXPECT_EQ(display.paints, 1);  // Dont show: no redraw
  st.ring.stepsPerTick = 3;
  reverseRing(st, display);
  advanceRun(st, display);
  EXPECT_EQ(st.ring.timeStep, -3);
}

TEST(ReversePatternCode, CodeSevenGivesFive) {
  OndrixState st;
  FakeDisplay display;
  st.ring.ringLength = 768;
  st.ring.currentSoliton = 7;
  st.ring.insertPos = 10;
  reversePatternCode(st, display);
  EXPECT_EQ(st.ring.reversedResult, 5);
  EXPECT_EQ(st.ring.codeStart, 80);
  EXPECT_EQ(st.ring.codeLastOffset, 1);
  EXPECT_EQ(st.ring.insertPos, 80);
  EXPECT_EQ(st.ring.cells[80], stateC);
  EXPECT_EQ(st.ring.cells[81], stateB);
}

TEST(ReversePatternCode, IsItsOwnInverse) {
  std::mt19937 rng(4);
  OndrixState st;
  FakeDisplay display;
  st.ring.ringLength = 768;
  for (int trial = 0; trial < 2000; ++trial) {
    // A pattern of at most 19 cells whose first cell is live.
    std::int32_t code = 1 + static_cast<std::int32_t>(rng() % 2);
    std::int32_t weight = 3;
    const int width = 1 + static_cast<int>(rng() % 19);
    for (int k = 1; k < width; ++k, weight *= 3) code += static_cast<std::int32_t>(rng() % 3) * weight;
    st.ring.currentSoliton = code;
    reversePatternCode(st, display);
    EXPECT_EQ(st.ring.reversedResult, swappedCode(code));
    st.ring.currentSoliton = st.ring.reversedResult;
    reversePatternCode(st, display);
    ASSERT_EQ(st.ring.reversedResult, code) << trial;
  }
}

class PhaseTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    st = startupState();
    smallSolitonRule(st.ring);
    // The least code over a period, as the search records it.
    clearRing(st.ring);
    st.ring.currentSoliton = smallSolitonSeed;
    placePattern(st.ring);
    least = smallSolitonSeed;
    for (int t = 0; t < smallSolitonPeriod; ++t) {
      stepGeneration(st.ring);
      least = std::min(least, encodePattern(st.ring, firstLiveCell(st.ring), 25));
    }
    st.catalogue.solitonCode[0] = least;
    st.catalogue.solitonPeriod[0] = smallSolitonPeriod;
    st.catalogue.solitonShift[0] = smallSolitonShift;
  }

  // Codes after 1..n generations of `code` placed alone at cell 80.
  std::vector<std::int32_t> phasesOf(std::int32_t code, int n) {
    AutomatonState ring;
    ring.ringLength = 768;
    smallSolitonRule(ring);
    clearRing(ring);
    ring.currentSoliton = code;
    placePattern(ring);
    std::vector<std::int32_t> out;
    for (int j = 0; j < n; ++j) {
      stepGeneration(ring);
      out.push_back(encodePattern(ring, firstLiveCell(ring), 25));
    }
    return out;
  }

  OndrixState st;
  FakeDisplay display;
  std::int32_t least = 0;
};

TEST_F(PhaseTablesTest, TheSmallRuleHoldsASoliton) {
  for (bool swapped : {false, true}) {
    clearRing(st.ring);
    st.ring.currentSoliton = least;
    st.ring.insertPos = 300;
    swapped ? placePatternSwapped(st.ring) : placePattern(st.ring);
    const std::int32_t start = firstLiveCell(st.ring);
    const std::int32_t code = encodePattern(st.ring, start, 25);
    for (int t = 0; t < smallSolitonPeriod; ++t) stepGeneration(st.ring);
    EXPECT_EQ(encodePattern(st.ring, firstLiveCell(st.ring), 25), code);
    EXPECT_EQ(firstLiveCell(st.ring) - start, swapped ? -smallSolitonShift : smallSolitonShift);
  }
}

TEST_F(PhaseTablesTest, EveryPhaseInBothOrientations) {
  buildSolitonPhaseTables(st, display);
  const PhaseTables& t = st.phases;
  EXPECT_EQ(t.reversedSolitonCode[0], swappedCode(least));
  const auto forward = phasesOf(least, smallSolitonPeriod);
  const auto backward = phasesOf(swappedCode(least), smallSolitonPeriod);
  for (int j = 0; j < smallSolitonPeriod; ++j) {
    EXPECT_EQ(t.phaseCode[0][j], forward[j]) << j;
    EXPECT_EQ(t.reversedPhaseCode[0][j], backward[j]) << j;
    EXPECT_EQ(t.tagCode[0][j], forward[j]);
    EXPECT_EQ(t.tagCode[0][smallSolitonPeriod + j], backward[j]);
  }
  EXPECT_EQ(t.phaseCode[0][smallSolitonPeriod - 1], least);  // the shape recurs after a period
  EXPECT_EQ(t.tagCodeCount[0], 2 * smallSolitonPeriod);
  EXPECT_EQ(t.tagCodeCount[1], 0);
  // What the build leaves behind.
  EXPECT_EQ(st.ring.insertPos, 80);
  EXPECT_EQ(firstLiveCell(st.ring), 768);
  // The empty type 10 reversed: its swapped "pattern" is read from cell 768
  // on, past the ring, where the storage still holds the C cells of program
  // start; so the code is that of 25 C cells, wrapped to 32 bits.
  EXPECT_EQ(st.ring.currentSoliton, st.phases.reversedSolitonCode[10]);
  EXPECT_EQ(st.ring.currentSoliton, 1180052130);  // (3^25 - 1) mod 2^32
  EXPECT_GT(display.paints, 0);          // placements redraw while drawing is on
}

TEST_F(PhaseTablesTest, TaggedInItsPanelColourInEveryPhase) {
  buildSolitonPhaseTables(st, display);
  for (bool swapped : {false, true}) {
    clearRing(st.ring);
    st.ring.currentSoliton = least;
    st.ring.insertPos = 300;
    swapped ? placePatternSwapped(st.ring) : placePattern(st.ring);
    for (int g = 0; g < 3 * smallSolitonPeriod; ++g) {
      stepGeneration(st.ring);
      tagSolitons(st.ring, st.phases);
      const std::int32_t first = firstLiveCell(st.ring);
      for (std::int32_t i = 0; i < st.ring.ringLength; ++i) {
        if (st.ring.cells[i] != stateA) {
          ASSERT_EQ(st.ring.stepMarks[i], 1) << "generation " << g << " cell " << i;
          ASSERT_LT(i - first, tagWindow);
        }
      }
    }
  }
}

TEST_F(PhaseTablesTest, LongPeriodsKeepFortyPhasesAndEmptyPeriodsNone) {
  st.catalogue.solitonPeriod[0] = 50;
  st.catalogue.solitonPeriod[1] = 0;
  st.catalogue.solitonCode[1] = 7;
  st.catalogue.solitonPeriod[2] = -3;
  st.catalogue.solitonCode[2] = 7;
  st.catalogue.solitonPeriod[11] = 77;  // type 11 has no phase limit and no phases
  buildSolitonPhaseTables(st, display);
  EXPECT_EQ(st.phases.tagCodeCount[0], 80);
  EXPECT_EQ(st.phases.tagCode[0][40], st.phases.reversedPhaseCode[0][0]);
  EXPECT_EQ(st.phases.tagCodeCount[1], 0);
  EXPECT_EQ(st.phases.tagCodeCount[2], 0);
  EXPECT_EQ(st.phases.reversedSolitonCode[1], 5);
  EXPECT_EQ(st.phases.tagCodeCount[11], 154);
}

}  // namespace
}  // namespace ondrix
