#include "ondrix/rules/ghosts.h"

#include <gtest/gtest.h>

#include "ondrix/mainwindow/ondrixstate.h"

namespace ondrix {
namespace {

TEST(DontShow, TenTimesTheRingAndTheSteps) {
  OndrixState st = startupState();
  st.ring.cells.fill(stateB);
  setDontShow(st, true);
  EXPECT_TRUE(st.dontShow);
  EXPECT_EQ(st.ring.ringLength, 7680);
  EXPECT_EQ(st.ring.stepsPerTick, 40);
  EXPECT_EQ(firstLiveCell(st.ring), 7680);  // the longer ring is cleared
  setDontShow(st, false);
  EXPECT_EQ(st.ring.ringLength, 768);
  EXPECT_EQ(st.ring.stepsPerTick, 4);
}

TEST(DontShow, LengthsChangedInBetweenShrinkFurther) {
  OndrixState st;
  setDontShow(st, true);  // 256 -> 2560
  EXPECT_EQ(st.ring.ringLength, 2560);
  st.ring.ringLength = 256;  // "x3 Sp." unchecked meanwhile
  st.ring.stepsPerTick = 5;
  setDontShow(st, false);
  EXPECT_EQ(st.ring.ringLength, 25);
  EXPECT_EQ(st.ring.stepsPerTick, 0);
  st.ring.stepsPerTick = -7;
  setDontShow(st, true);
  setDontShow(st, false);
  EXPECT_EQ(st.ring.stepsPerTick, -7);  // truncating toward zero
  st.ring.stepsPerTick = 4000;
  setDontShow(st, true);
  EXPECT_EQ(st.ring.stepsPerTick, -25536);  // 40000 kept in 16 bits
}

}  // namespace
}  // namespace ondrix
