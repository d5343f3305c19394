#include "ondrix/solitons/placement.h"

#include <gtest/gtest.h>

#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/solitons/threesolitons.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::FakeDisplay;

// A state with drawing on, a ring of `length` cells all B (so clearing
// shows), and the storage beyond it C.
OndrixState stateWith(std::int32_t length) {
  OndrixState st;
  st.dontShow = false;
  st.ring.ringLength = length;
  std::fill(st.ring.cells.begin(), st.ring.cells.begin() + length, stateB);
  return st;
}

TEST(Placement, ThirdsOfTheRing) {
  struct Case {
    std::int32_t length;
    Third third;
    std::int32_t from, to;  // cleared cells, inclusive
  };
  for (const Case& c : {Case{768, Third::first, 0, 255}, Case{768, Third::middle, 256, 511},
                        Case{768, Third::last, 512, 767}, Case{256, Third::first, 0, 84},
                        Case{256, Third::middle, 85, 169}, Case{256, Third::last, 170, 255},
                        Case{25, Third::last, 16, 24}}) {
    for (bool withoutClear : {false, true}) {
      OndrixState st = stateWith(c.length);
      st.withoutClear = withoutClear;
      FakeDisplay display;
      clearThird(st, display, c.third);
      for (std::int32_t i = 0; i < ringCapacity; ++i) {
        const bool cleared = !withoutClear && i >= c.from && i <= c.to;
        const std::uint8_t expected = cleared ? stateA : i < c.length ? stateB : stateC;
        ASSERT_EQ(st.ring.cells[i], expected) << c.length << " cell " << i << " withoutClear " << withoutClear;
      }
      EXPECT_EQ(display.paints, 1);
    }
  }
}

// Under this rule "C B" (code 5) moves 3 cells every 5 generations.
OndrixState smallSolitonState(std::int32_t length) {
  OndrixState st = stateWith(length);
  clearRing(st.ring);
  for (int e : {9, 27, 63}) st.ring.ruleTable[e] = 1;
  for (int k = 0; k < 12; ++k) {
    st.catalogue.solitonCode[k] = 5;
    st.catalogue.solitonPeriod[k] = 5;
    st.catalogue.solitonShift[k] = 3;
  }
  return st;
}

TEST(Placement, PanelsPlaceTheSolitonAndItsTwinMovingApart) {
  for (PressButton button : {PressButton::left, PressButton::right}) {
    OndrixState st = smallSolitonState(768);
    std::fill(st.ring.cells.begin() + 300, st.ring.cells.begin() + 400, stateB);  // the middle stays
    FakeDisplay display;
    solitonPanelPress(st, display, 4, button);
    const bool left = button == PressButton::left;
    const std::int32_t at = left ? 10 : 768 - 16;
    EXPECT_EQ(st.ring.insertPos, at);
    EXPECT_EQ(st.ring.currentSoliton, 5);
    EXPECT_EQ(firstLiveCell(st.ring), left ? 10 : 300);
    EXPECT_EQ(st.ring.cells[at], left ? stateC : stateB);
    EXPECT_EQ(st.ring.cells[at + 1], left ? stateB : stateC);
    EXPECT_EQ(std::count(st.ring.cells.begin(), st.ring.cells.begin() + 768, stateA), 768 - 102);
    std::fill(st.ring.cells.begin() + 300, st.ring.cells.begin() + 400, stateA);
    for (int g = 0; g < 5; ++g) stepGeneration(st.ring);
    const std::int32_t moved = firstLiveCell(st.ring);
    EXPECT_EQ(moved - at, left ? 3 : -3);
    const std::int32_t code = encodePattern(st.ring, moved, 4);
    EXPECT_EQ(code, left ? 5 : 7);  // the same shape, swapped for the twin
  }
}

TEST(Placement, RedrawRulesOfThePanels) {
  struct Case {
    int type;
    bool dontShow;
    PressButton button;
    int paints;
  };
  for (const Case& c : {Case{0, false, PressButton::left, 3}, Case{0, true, PressButton::left, 0},
                        Case{2, true, PressButton::right, 0}, Case{3, true, PressButton::right, 1},
                        Case{5, true, PressButton::left, 1}, Case{11, false, PressButton::right, 3},
                        Case{5, false, PressButton::middle, 0}}) {
    OndrixState st = smallSolitonState(768);
    st.dontShow = c.dontShow;
    FakeDisplay display;
    solitonPanelPress(st, display, c.type, c.button);
    EXPECT_EQ(display.paints, c.paints) << c.type << " " << c.dontShow;
  }
}

TEST(Placement, TheClearPanelClearsAThirdAndPlacesNothing) {
  for (PressButton button : {PressButton::left, PressButton::right, PressButton::middle}) {
    OndrixState st = stateWith(768);
    FakeDisplay display;
    clearPanelPress(st, display, button);
    const auto cleared = std::count(st.ring.cells.begin(), st.ring.cells.begin() + 768, stateA);
    EXPECT_EQ(cleared, button == PressButton::middle ? 0 : 256);
    EXPECT_EQ(st.ring.cells[button == PressButton::left ? 0 : 767], button == PressButton::middle ? stateB : stateA);
    EXPECT_EQ(display.paints, button == PressButton::middle ? 0 : 2);
    EXPECT_EQ(st.ring.insertPos, 80);
  }
}

// The random sets against a model of their draws: tag codes made distinct
// per type and phase, type 4 without any, so each placed code names its draw.
TEST(Placement, RandomSetsDrawTypeThenPhase) {
  struct Case {
    RandomSet set;
    std::int32_t length;
    std::vector<std::int32_t> starts;
  };
  for (const Case& c : {Case{RandomSet::four, 768, {153, 306, 459, 612}}, Case{RandomSet::four, 256, {51, 102, 153, 204}},
                        Case{RandomSet::five, 768, {64, 192, 320, 448, 576}},
                        Case{RandomSet::five, 256, {21, 63, 105, 147, 189}}}) {
    for (int round = 0; round < 20; ++round) {
      OndrixState st = stateWith(c.length);
      for (int t = 0; t < 11; ++t) {
        st.phases.tagCodeCount[t] = t == 4 ? 0 : 2 + t;
        for (int p = 0; p < 80; ++p) st.phases.tagCode[t][p] = 1 + 3 * (100 * t + p);  // B, then the draw
      }
      st.random.discard(static_cast<std::uint64_t>(round) * 7);
      st.ring.timeStep = 99;
      RandomGenerator model = st.random;
      FakeDisplay display;
      randomSolitonSet(st, display, c.set);
      EXPECT_EQ(st.ring.timeStep, 0);
      EXPECT_EQ(display.paints, static_cast<int>(c.starts.size()) + 1);
      std::int32_t lastCode = 7;
      for (std::int32_t start : c.starts) {
        const int t = model.next() % 11;
        const int draw = model.next();
        const std::int32_t expected = t == 4 ? 0 : st.phases.tagCode[t][draw % (2 + t)];
        if (expected) lastCode = expected;
        EXPECT_EQ(encodePattern(st.ring, start, 25), expected) << start;
      }
      EXPECT_EQ(st.random.seed(), model.seed());
      EXPECT_EQ(st.ring.insertPos, c.starts.back());
      EXPECT_EQ(st.ring.currentSoliton, lastCode);
    }
  }
}

TEST(ThreeSolitons, TheDefaultSceneOneGenerationOn) {
  OndrixState st = smallSolitonState(768);
  st.catalogue.solitonCode[1] = 14;   // C B B, placed swapped: B C C
  st.catalogue.solitonCode[6] = 19;   // B A C
  st.ring.timeStep = 40;
  st.ring.sampleCount = 7;
  st.ring.populationHistory[3] = 9;
  FakeDisplay display;
  makeThreeSolitons(st, display);

  AutomatonState expected = testing::clearedRing(768);
  expected.ruleTable = st.ring.ruleTable;
  for (auto [pos, cells] : {std::pair{360, "CB"}, std::pair{384, "BAC"}, std::pair{402, "BCC"}}) {
    for (int k = 0; cells[k]; ++k) expected.cells[pos + k] = cells[k] == 'A' ? stateA : cells[k] == 'B' ? stateB : stateC;
  }
  stepGeneration(expected);
  EXPECT_TRUE(std::equal(expected.cells.begin(), expected.cells.begin() + 768, st.ring.cells.begin()));
  EXPECT_EQ(st.ring.timeStep, 0);
  EXPECT_EQ(st.ring.sampleCount, 0);
  EXPECT_EQ(st.ring.populationHistory[3], 0);
  EXPECT_EQ(st.ring.insertPos, 384);
  EXPECT_EQ(st.ring.currentSoliton, 19);
  EXPECT_EQ(display.paints, 5);  // clear, three placements, the end
}

TEST(ThreeSolitons, TheSceneFitsEveryRing) {
  struct Case {
    std::int32_t length, left, middle, right;
  };
  for (const Case& c : {Case{768, 360, 384, 402}, Case{760, 360, 380, 394}, Case{7680, 360, 3840, 7314},
                        Case{2500, 360, 1250, 2134}, Case{256, 104, 128, 146}, Case{250, 101, 125, 143},
                        Case{76, 14, 38, 56}, Case{25, -12, 12, 30}}) {
    const ThreeStarts at = threeSolitonStarts(c.length);
    EXPECT_EQ(at.left, c.left) << c.length;
    EXPECT_EQ(at.middle, c.middle) << c.length;
    EXPECT_EQ(at.right, c.right) << c.length;
  }
}

TEST(ThreeSolitons, NothingOutsideTheRingOrTheCatalogue) {
  for (std::int32_t length : {25, 76, 250, 256, 379, 760}) {
    for (std::int16_t type : {0, -1, 4999, 5000, 32767}) {
      OndrixState st = smallSolitonState(length);
      for (int k = 0; k < catalogueCapacity; ++k) st.catalogue.solitonCode[k] = 1162261466;  // 19 C cells
      st.three = {type, type, type};
      std::fill(st.ring.cells.begin() + length, st.ring.cells.end(), stateB);
      const auto beyond = std::vector<std::uint8_t>(st.ring.cells.begin() + length, st.ring.cells.end());
      FakeDisplay display;
      makeThreeSolitons(st, display);
      EXPECT_TRUE(std::equal(beyond.begin(), beyond.end(), st.ring.cells.begin() + length)) << length;
      const bool inCatalogue = type >= 0 && type < catalogueCapacity;
      if (!inCatalogue) {
        EXPECT_EQ(firstLiveCell(st.ring), length) << length << " type " << type;
      }
    }
  }
}

TEST(ThreeSolitons, RandomTypesAfterTheSetOfFour) {
  OndrixState st = smallSolitonState(768);
  for (int t = 0; t < 11; ++t) st.phases.tagCodeCount[t] = 2;
  RandomGenerator model = st.random;
  model.discard(8);  // the set of four
  FakeDisplay display;
  makeRandomThreeSolitons(st, display);
  EXPECT_EQ(st.three.threeLeftType, model.next() % 12);
  EXPECT_EQ(st.three.threeRightType, model.next() % 12);
  EXPECT_EQ(st.three.threeMiddleType, model.next() % 12);
  EXPECT_EQ(st.ring.timeStep, 0);
}

}  // namespace
}  // namespace ondrix
