#include "ondrix/automaton/automaton.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ondrix {
namespace {

using testing::clearedRing;

TEST(InitialState, ValuesAtProgramStart) {
  AutomatonState s;
  EXPECT_EQ(s.ringLength, 256);
  EXPECT_EQ(s.stepsPerTick, 4);
  EXPECT_EQ(s.insertPos, 80);
  EXPECT_EQ(s.currentSoliton, 7);
  EXPECT_EQ(s.timeStep, 0);
  EXPECT_EQ(s.runBackward, 0);
  EXPECT_TRUE(std::all_of(s.cells.begin(), s.cells.end(), [](auto c) { return c == stateC; }));
  EXPECT_TRUE(std::all_of(s.ruleTable.begin(), s.ruleTable.end(), [](auto e) { return e == 0; }));
  EXPECT_TRUE(std::all_of(s.stepMarks.begin(), s.stepMarks.end(), [](auto m) { return m == 0; }));
}

TEST(ClearRing, TouchesOnlyTheRing) {
  AutomatonState s;
  s.ringLength = 768;
  std::fill(s.cells.begin(), s.cells.end(), stateB);
  clearRing(s);
  s.ringLength = 256;
  s.cells[300] = stateC;
  clearRing(s);
  EXPECT_EQ(s.cells[255], stateA);
  EXPECT_EQ(s.cells[300], stateC);  // beyond the 256-cell ring now
  EXPECT_EQ(s.cells[768], stateB);  // never part of either ring
  // Going back to 768 and clearing gives an all-background ring again.
  s.ringLength = 768;
  clearRing(s);
  EXPECT_EQ(firstLiveCell(s), 768);
}

TEST(WrapIndex, OneCorrectionAtEitherEnd) {
  AutomatonState s;
  s.ringLength = 768;
  EXPECT_EQ(wrapIndex(s, -4), 764);
  EXPECT_EQ(wrapIndex(s, 771), 3);
  EXPECT_EQ(wrapIndex(s, 767), 767);
  EXPECT_EQ(wrapIndex(s, 768), 0);
  EXPECT_EQ(wrapIndex(s, 0), 0);
  EXPECT_EQ(wrapIndex(s, -768), 0);
  s.ringLength = 25;
  EXPECT_EQ(wrapIndex(s, 28), 3);
}

TEST(FirstLiveCell, IgnoresCellsBeyondTheRing) {
  AutomatonState s = clearedRing(256);
  EXPECT_EQ(firstLiveCell(s), 256);
  s.cells[256] = stateB;  // outside the ring
  EXPECT_EQ(firstLiveCell(s), 256);
  s.cells[200] = stateC;
  s.cells[17] = stateB;
  EXPECT_EQ(firstLiveCell(s), 17);
}

TEST(PatternCode, CodeSevenPlacedAndEncoded) {
  AutomatonState s = clearedRing(768);
  placePattern(s);  // currentSoliton 7 at insertPos 80
  EXPECT_EQ(s.cells[79], stateA);
  EXPECT_EQ(s.cells[80], stateB);
  EXPECT_EQ(s.cells[81], stateC);
  EXPECT_EQ(s.cells[82], stateA);
  EXPECT_EQ(encodePattern(s, firstLiveCell(s), 25), 7);
  EXPECT_EQ(s.codeStart, 80);
  EXPECT_EQ(s.codeLastOffset, 1);
}

TEST(PatternCode, SwappedPlacementExchangesBAndC) {
  AutomatonState s = clearedRing(768);
  placePatternSwapped(s);
  EXPECT_EQ(s.cells[80], stateC);
  EXPECT_EQ(s.cells[81], stateB);
  EXPECT_EQ(encodePattern(s, 80, 25), 5);  // 2 + 1*3
}

TEST(PatternCode, EmptyWindowLeavesLastOffset) {
  AutomatonState s = clearedRing(768);
  s.codeLastOffset = 13;
  EXPECT_EQ(encodePattern(s, 100, 25), 0);
  EXPECT_EQ(s.codeStart, 100);
  EXPECT_EQ(s.codeLastOffset, 13);
}

TEST(PatternCode, LastLiveCellWinsAndTrailingBackgroundAddsNothing) {
  AutomatonState s = clearedRing(768);
  s.cells[10] = stateC;
  s.cells[12] = stateB;
  s.cells[28] = stateB;  // offset 18: weight 3^18, still exact
  const std::int32_t code = encodePattern(s, 10, 25);
  EXPECT_EQ(code, 2 + 1 * 9 + 387420489);
  EXPECT_EQ(s.codeLastOffset, 18);
  EXPECT_EQ(encodePattern(s, 10, 19), code);
}

TEST(PatternCode, RoundTripOfEveryNineteenCellPatternShape) {
  // Random 19-cell rows encode to a code that places back to the same row.
  AutomatonState s = clearedRing(768);
  std::uint32_t x = 12345;
  for (int trial = 0; trial < 500; ++trial) {
    clearRing(s);
    for (int k = 0; k < 19; ++k) {
      x = x * 1103515245u + 12345u;
      s.cells[200 + k] = static_cast<std::uint8_t>((x >> 16) % 3);
    }
    const std::array<std::uint8_t, 19> row = [&] {
      std::array<std::uint8_t, 19> r{};
      std::copy_n(s.cells.begin() + 200, 19, r.begin());
      return r;
    }();
    s.currentSoliton = encodePattern(s, 200, 25);
    EXPECT_GE(s.currentSoliton, 0);
    clearRing(s);
    s.insertPos = 500;
    placePattern(s);
    EXPECT_TRUE(std::equal(row.begin(), row.end(), s.cells.begin() + 500)) << "trial " << trial;
  }
}

TEST(PatternCode, WideWindowsWrapInThirtyTwoBits) {
  AutomatonState s = clearedRing(768);
  for (int k = 0; k < 25; ++k) s.cells[300 + k] = stateC;
  // sum of 2*3^k for k < 25 is 3^25 - 1, taken modulo 2^32 as a signed value.
  std::uint64_t exact = 1;
  for (int k = 0; k < 25; ++k) exact *= 3;
  const auto expected = static_cast<std::int32_t>(static_cast<std::uint32_t>(exact - 1));
  EXPECT_EQ(encodePattern(s, 300, 25), expected);
  EXPECT_EQ(s.codeLastOffset, 24);
}

TEST(PatternCode, ReadsPastTheStorageAsBackground) {
  AutomatonState s;
  s.ringLength = ringCapacity;
  clearRing(s);
  s.cells[ringCapacity - 1] = stateB;
  EXPECT_EQ(encodePattern(s, ringCapacity - 1, 25), 1);
  EXPECT_EQ(s.codeLastOffset, 0);
  clearRing(s);
  EXPECT_EQ(encodePattern(s, firstLiveCell(s), 25), 0);  // window starts at 7680
}

TEST(Placement, NegativeCodesUseTruncatingDivision) {
  // -1 gives digit -1 and then 0: nothing is written.
  AutomatonState s = clearedRing(768);
  s.currentSoliton = -1;
  placePattern(s);
  EXPECT_EQ(firstLiveCell(s), 768);
  // -5: digit -2, code -1; digit -1, code 0: still nothing.
  s.currentSoliton = -5;
  placePattern(s);
  EXPECT_EQ(firstLiveCell(s), 768);
  // -4: digit -1, code -1; digit -1, code 0 ... -7: digit -1, code -2; digit
  // -2, code 0. Negative digits never write.
  s.currentSoliton = -7;
  placePattern(s);
  EXPECT_EQ(firstLiveCell(s), 768);
}

TEST(Placement, NeverClearsSkippedCells) {
  AutomatonState s = clearedRing(768);
  std::fill_n(s.cells.begin() + 80, 30, stateC);
  s.currentSoliton = 1 + 0 * 3 + 1 * 9;  // B, A, B
  placePattern(s);
  EXPECT_EQ(s.cells[80], stateB);
  EXPECT_EQ(s.cells[81], stateC);  // digit 0 leaves the cell alone
  EXPECT_EQ(s.cells[82], stateB);
  EXPECT_EQ(s.cells[83], stateC);
}

TEST(Placement, RunsPastTheRingButNotPastTheStorage) {
  AutomatonState s = clearedRing(768);
  s.cells[770] = stateA;
  s.insertPos = s.ringLength - 16;
  s.currentSoliton = 0;
  for (int k = 0; k < 19; ++k) s.currentSoliton = s.currentSoliton * 3 + 1;  // 19 B cells
  placePattern(s);
  EXPECT_EQ(s.cells[752], stateB);
  EXPECT_EQ(s.cells[770], stateB);  // beyond the ring: placement does not wrap
  EXPECT_EQ(s.cells[0], stateA);

  AutomatonState full;
  full.ringLength = ringCapacity;
  clearRing(full);
  full.insertPos = ringCapacity - 2;
  full.currentSoliton = 1 + 3 + 9 + 27;  // four B cells; two lie past the storage
  placePattern(full);
  EXPECT_EQ(full.cells[ringCapacity - 2], stateB);
  EXPECT_EQ(full.cells[ringCapacity - 1], stateB);

  full.insertPos = -2;  // cells before the storage are skipped as well
  placePattern(full);
  EXPECT_EQ(full.cells[0], stateB);
  EXPECT_EQ(full.cells[1], stateB);
  EXPECT_EQ(full.cells[2], stateA);
}

}  // namespace
}  // namespace ondrix
