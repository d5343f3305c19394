#include "ondrix/mainwindow/statistics.h"

#include <gtest/gtest.h>

#include "ondrix/mainwindow/ondrixstate.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::FakeDisplay;

OndrixState emptyRing() {
  OndrixState st;
  st.ring.ringLength = 768;
  clearRing(st.ring);
  return st;
}

TEST(Statistics, FiveCellSoliton) {
  OndrixState st = emptyRing();
  FakeDisplay display;
  st.ring.cells[80] = stateB;
  st.ring.cells[81] = stateC;
  st.ring.cells[83] = stateC;
  st.ring.cells[84] = stateB;
  updateStatistics(st, display);
  EXPECT_EQ(display.ghost.spanLast - display.ghost.spanFirst, 4);  // "Long"
  EXPECT_EQ(display.ghost.spanGaps, 1);                          // cell 82; 84 itself not counted
  EXPECT_EQ(display.ghost.countB, 2);
  EXPECT_EQ(display.ghost.countC, 2);
  EXPECT_EQ(st.ring.populationHistory[0], 4);
  EXPECT_EQ(display.lastSamples, 1);
}

TEST(Statistics, EmptyRingAndALoneCellAtZero) {
  OndrixState st = emptyRing();
  FakeDisplay display;
  st.ring.cells[800] = stateB;  // beyond the ring: not counted
  updateStatistics(st, display);
  EXPECT_EQ(st.statistics.spanFirst, 768);
  EXPECT_EQ(st.statistics.spanLast, 0);
  EXPECT_EQ(display.ghost.spanLast - display.ghost.spanFirst, -768);
  EXPECT_EQ(display.ghost.spanGaps, 0);
  EXPECT_EQ(display.ghost.countB + display.ghost.countC, 0);

  st.ring.cells[0] = stateC;
  updateStatistics(st, display);
  EXPECT_EQ(st.statistics.spanFirst, 0);
  EXPECT_EQ(st.statistics.spanLast, 0);
  EXPECT_EQ(st.statistics.spanGaps, 0);
  EXPECT_EQ(st.statistics.countC, 1);

  // The downward scan never tests cell 0: a lone cell at 767 and the empty
  // rest give a span from 767 down to 767.
  clearRing(st.ring);
  st.ring.cells[767] = stateB;
  updateStatistics(st, display);
  EXPECT_EQ(st.statistics.spanFirst, 767);
  EXPECT_EQ(st.statistics.spanLast, 767);
}

TEST(Statistics, TheHistoryStopsAtAThousandSamples) {
  OndrixState st = emptyRing();
  FakeDisplay display;
  for (int k = 0; k < 1005; ++k) {
    if (k < 1000) st.ring.cells[k % 768] = stateB;
    updateStatistics(st, display);
  }
  EXPECT_EQ(st.ring.sampleCount, 1000);
  EXPECT_EQ(display.lastSamples, 1000);
  EXPECT_EQ(display.samplesShown, 1000);  // no sample, no count update
  EXPECT_EQ(display.ghostShown, 1005);    // the box is still refreshed
  EXPECT_EQ(st.ring.populationHistory[0], 1);
  EXPECT_EQ(st.ring.populationHistory[767], 768);
  EXPECT_EQ(st.ring.populationHistory[999], 768);
  resetHistory(st.ring);
  EXPECT_EQ(st.ring.sampleCount, 0);
  EXPECT_EQ(st.ring.populationHistory[999], 0);
}

}  // namespace
}  // namespace ondrix
