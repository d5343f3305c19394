#include <gtest/gtest.h>

#include <algorithm>

#include "ondrix/automaton/automaton.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::clearedRing;

TEST(Step, QuietBackgroundStaysQuiet) {
  AutomatonState s = clearedRing(768);
  s.ruleTable.fill(1);
  s.ruleTable[0] = 0;
  s.liveCount = 99;
  stepGeneration(s);
  EXPECT_EQ(firstLiveCell(s), 768);
  EXPECT_EQ(s.liveCount, 0);
  EXPECT_TRUE(std::all_of(s.stepMarks.begin(), s.stepMarks.begin() + 768, [](auto m) { return m == markO; }));
  EXPECT_EQ(s.stepMarks[768], 0);  // marks beyond the ring are not written
}

TEST(Step, SingleCLooksUpEntriesByDistance) {
  // Entries 27, 9, 3, 1 decide the neighbours at distance 1, 2, 3, 4.
  for (int distance = 1; distance <= 4; ++distance) {
    const int entry = distance == 1 ? 27 : distance == 2 ? 9 : distance == 3 ? 3 : 1;
    AutomatonState s = clearedRing(768);
    s.ruleTable[entry] = 1;
    s.cells[400] = stateC;
    stepGeneration(s);
    EXPECT_EQ(s.cells[400], stateB);
    EXPECT_EQ(s.stepMarks[400], markN);
    for (int d = 1; d <= 4; ++d) {
      for (int side : {-1, 1}) {
        const int i = 400 + side * d;
        EXPECT_EQ(s.cells[i], d == distance ? stateC : stateA) << "distance " << distance << " cell " << i;
        EXPECT_EQ(s.stepMarks[i], d == distance ? markP : markO);
      }
    }
    EXPECT_EQ(s.cells[395], stateA);
    EXPECT_EQ(s.cells[405], stateA);
    EXPECT_EQ(s.liveCount, 1);
  }
}

TEST(Step, TransitionTableOfAllStates) {
  // Cell 100 is C so cells 99 and 101 see s1 = 1 (entry 27); cell 200 is far
  // from any C (entry 0).
  for (std::uint8_t bit : {0, 1}) {
    AutomatonState s = clearedRing(768);
    s.ruleTable[27] = bit;
    s.ruleTable[0] = bit;
    s.cells[100] = stateC;
    s.cells[99] = stateB;
    s.cells[101] = stateA;
    s.cells[200] = stateB;
    s.cells[300] = stateA;
    stepGeneration(s);
    EXPECT_EQ(s.cells[100], stateB);
    EXPECT_EQ(s.cells[99], bit ? stateA : stateC);
    EXPECT_EQ(s.cells[101], bit ? stateC : stateA);
    EXPECT_EQ(s.cells[200], bit ? stateA : stateC);
    EXPECT_EQ(s.cells[300], bit ? stateC : stateA);
    EXPECT_EQ(s.stepMarks[99], bit ? markP : markO);
    EXPECT_EQ(s.stepMarks[200], bit ? markP : markO);
  }
}

TEST(Step, AnyNonzeroEntryCountsAsOne) {
  AutomatonState s = clearedRing(256);
  s.ruleTable[0] = 7;  // as a rule file may hold
  stepGeneration(s);
  EXPECT_EQ(s.cells[0], stateC);
  EXPECT_EQ(s.stepMarks[0], markP);
}

TEST(Step, NeighbourhoodWrapsAtBothEnds) {
  for (std::int32_t length : {25, 256, 768, ringCapacity}) {
    AutomatonState s = clearedRing(length);
    s.ruleTable[27] = 1;  // distance 1
    s.ruleTable[1] = 1;   // distance 4
    s.cells[0] = stateC;
    stepGeneration(s);
    EXPECT_EQ(s.cells[length - 1], stateC) << length;  // left neighbour of 0
    EXPECT_EQ(s.cells[length - 4], stateC) << length;
    EXPECT_EQ(s.cells[length - 2], stateA) << length;
    EXPECT_EQ(s.cells[1], stateC) << length;
    EXPECT_EQ(s.cells[4], stateC) << length;

    AutomatonState e = clearedRing(length);
    e.ruleTable[9] = 1;  // distance 2
    e.cells[length - 1] = stateC;
    stepGeneration(e);
    EXPECT_EQ(e.cells[1], stateC) << length;  // right neighbour at distance 2
    EXPECT_EQ(e.cells[length - 3], stateC) << length;
    EXPECT_EQ(e.cells[0], stateA) << length;
  }
}

TEST(Step, CellsBeyondTheRingNeitherReadNorChanged) {
  AutomatonState s = clearedRing(256);
  s.ruleTable.fill(1);
  s.ruleTable[0] = 0;
  // Storage beyond the ring is still state C from program start; were it
  // read, the cells near the end of the ring would see it.
  stepGeneration(s);
  EXPECT_EQ(firstLiveCell(s), 256);
  EXPECT_EQ(s.cells[256], stateC);
  EXPECT_EQ(s.cells[ringCapacity - 1], stateC);
  EXPECT_EQ(s.stepMarks[256], 0);
}

TEST(Step, LiveCountIsTakenBeforeTheStep) {
  AutomatonState s = clearedRing(768);
  s.ruleTable.fill(1);
  s.ruleTable[0] = 0;
  s.cells[300] = stateC;  // C and B are live; A is not
  s.cells[500] = stateB;
  stepGeneration(s);
  EXPECT_EQ(s.liveCount, 2);
  // After the step the lone C spread to its eight neighbours and the lone B
  // turned to C: the count of the next step is larger.
  const auto liveNow = std::count_if(s.cells.begin(), s.cells.begin() + 768, [](auto c) { return c != stateA; });
  EXPECT_EQ(liveNow, 10);
  stepGeneration(s);
  EXPECT_EQ(s.liveCount, 10);
}

TEST(Step, ZeroTableMakesPatternsBlinkInPlace) {
  AutomatonState s = clearedRing(768);
  s.currentSoliton = 7;
  placePattern(s);
  stepGeneration(s);
  EXPECT_EQ(s.cells[80], stateC);
  EXPECT_EQ(s.cells[81], stateB);
  stepGeneration(s);
  EXPECT_EQ(s.cells[80], stateB);
  EXPECT_EQ(s.cells[81], stateC);
  EXPECT_EQ(encodePattern(s, firstLiveCell(s), 25), 7);
}

}  // namespace
}  // namespace ondrix
