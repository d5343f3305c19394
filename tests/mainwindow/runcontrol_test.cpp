#include "ondrix/mainwindow/runcontrol.h"

#include <gtest/gtest.h>

#include "ondrix/mainwindow/ondrixstate.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::FakeDisplay;

OndrixState running() {
  OndrixState st = startupState();
  st.ring.ruleTable[27] = 1;
  st.ring.cells[300] = stateC;
  return st;
}

TEST(AdvanceRun, EightTicksOfFourReachThirtyTwo) {
  OndrixState st = running();
  FakeDisplay display;
  for (int tick = 1; tick <= 8; ++tick) {
    advanceRun(st, display);
    EXPECT_EQ(st.ring.timeStep, 4 * tick);
    EXPECT_EQ(display.timeShown, tick == 8 ? 1 : 0) << tick;  // the label changes at T = 32 only
  }
  EXPECT_EQ(display.paints, 8);
  EXPECT_EQ(display.lastTime, 32);
}

TEST(AdvanceRun, NoGenerationsForZeroOrNegativeSteps) {
  for (std::int16_t steps : {0, -3}) {
    OndrixState st = running();
    FakeDisplay display;
    st.ring.stepsPerTick = steps;
    const auto before = st.ring.cells;
    runTick(st, display);
    EXPECT_EQ(st.ring.cells, before);
    EXPECT_EQ(st.ring.timeStep, 0);
    EXPECT_EQ(display.paints, 1);         // still a redraw
    EXPECT_EQ(st.ring.sampleCount, 1);    // and a sample
  }
}

TEST(AdvanceRun, BackwardCountsDownAndDontShowDrawsNothing) {
  OndrixState st = running();
  FakeDisplay display;
  st.ring.runBackward = 1;
  st.dontShow = true;
  st.ring.stepsPerTick = 40;
  advanceRun(st, display);
  EXPECT_EQ(st.ring.timeStep, -40);
  EXPECT_EQ(display.paints, 0);
}

TEST(RunControl, StartResetsTimeAndDirection) {
  OndrixState st = running();
  st.ring.timeStep = 200;
  st.ring.runBackward = 1;
  startRun(st.ring);
  EXPECT_EQ(st.ring.timeStep, 0);
  EXPECT_EQ(st.ring.runBackward, 0);
}

TEST(RunControl, ClearKeepsTheDirection) {
  OndrixState st = running();
  FakeDisplay display;
  st.ring.timeStep = 50;
  st.ring.runBackward = 1;
  st.ring.sampleCount = 7;
  st.ring.populationHistory[3] = 9;
  clearCommand(st, display);
  EXPECT_EQ(st.ring.timeStep, 0);
  EXPECT_EQ(st.ring.runBackward, 1);
  EXPECT_EQ(st.ring.sampleCount, 0);
  EXPECT_EQ(st.ring.populationHistory[3], 0);
  EXPECT_EQ(firstLiveCell(st.ring), 768);
  EXPECT_EQ(display.paints, 1);
}

TEST(RunControl, ThreeRowsOnAndOff) {
  AutomatonState ring;
  ring.ringLength = 768;
  ring.cells.fill(stateB);
  setThreeRows(ring, false);
  EXPECT_EQ(ring.ringLength, 256);
  EXPECT_EQ(ring.cells[255], stateA);
  EXPECT_EQ(ring.cells[256], stateB);  // outside the ring now, kept
  setThreeRows(ring, true);
  EXPECT_EQ(ring.ringLength, 768);
  EXPECT_EQ(firstLiveCell(ring), 768);
}

TEST(RunControl, TimerIntervalsStayBetweenOneMillisecondAndAMillion) {
  std::int32_t interval = runIntervalMs;
  for (std::int32_t expected : {2, 1, 1, 1}) {
    interval = halvedInterval(interval);
    EXPECT_EQ(interval, expected);
  }
  EXPECT_EQ(multipliedInterval(interval, 2), 2);
  EXPECT_EQ(multipliedInterval(5, 16), 80);
  EXPECT_EQ(multipliedInterval(800000, 2), 1000000);
  EXPECT_EQ(multipliedInterval(1000000, 16), 1000000);
  EXPECT_EQ(multipliedInterval(2000000000, 16), 1000000);  // no overflow on the way
}

}  // namespace
}  // namespace ondrix

#include "tests/support/allocations.h"

namespace ondrix {
namespace {

TEST(RunControl, ATickAllocatesNothing) {
  const std::size_t start = testing::allocationCount();
  auto* probe = new int(1);  // the counter sees what is allocated
  EXPECT_EQ(testing::allocationCount(), start + 1);
  delete probe;
  for (bool dontShow : {false, true}) {
    OndrixState st = running();
    st.dontShow = dontShow;
    st.ring.stepsPerTick = 40;
    NullDisplay display;
    runTick(st, display);  // anything done once on first use is done now
    const std::size_t before = testing::allocationCount();
    for (int tick = 0; tick < 50; ++tick) runTick(st, display);
    EXPECT_EQ(testing::allocationCount(), before) << (dontShow ? "Dont show" : "drawn");
    EXPECT_EQ(st.ring.timeStep, 51 * 40);
  }
}

}  // namespace
}  // namespace ondrix
