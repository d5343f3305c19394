#include "ondrix/mainwindow/picture.h"

#include <gtest/gtest.h>

#include <random>

#include "bench/reference.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/spacetime.h"
#include "ondrix/automaton/reversal.h"
#include "tests/support/shipped.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::FakeDisplay;

OndrixState drawingState(std::int32_t length = 768) {
  return startupState(RuleTable{}, length);
}

// Marks as a generation leaves them.
void markAllSteps(AutomatonState& ring) { ring.stepMarks.fill(markO); }

TEST(MarkColour, PaletteAndStepMarks) {
  EXPECT_EQ(markColour(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(markColour(1), (Rgb{128, 0, 0}));
  EXPECT_EQ(markColour(11), (Rgb{255, 0, 255}));
  EXPECT_EQ(markColour(markN), (Rgb{128, 0, 0}));
  EXPECT_EQ(markColour(markO), (Rgb{0, 128, 0}));
  EXPECT_EQ(markColour(markP), (Rgb{128, 128, 0}));
}

TEST(TagSolitons, BackgroundGetsMarkZeroAndTaggedCellsAreSkipped) {
  OndrixState st = drawingState();
  markAllSteps(st.ring);
  st.ring.cells[100] = stateB;
  st.ring.stepMarks[200] = 5;  // tagged earlier: stays
  tagSolitons(st.ring, st.phases);
  EXPECT_EQ(st.ring.stepMarks[0], 0);
  EXPECT_EQ(st.ring.stepMarks[100], markO);  // live, no soliton: the step's mark
  EXPECT_EQ(st.ring.stepMarks[200], 5);
  EXPECT_EQ(st.ring.stepMarks[768], markO);  // beyond the ring
}

TEST(TagSolitons, FirstTypeInOrderWinsAndTheWholeWindowIsMarked) {
  OndrixState st = drawingState();
  markAllSteps(st.ring);
  st.ring.cells[300] = stateC;
  st.ring.cells[302] = stateB;  // code 2 + 9 = 11
  st.phases.tagCode[4][0] = 11;
  st.phases.tagCodeCount[4] = 2;
  st.phases.tagCode[2][3] = 11;
  st.phases.tagCodeCount[2] = 4;
  st.phases.indexTagCodes();
  tagSolitons(st.ring, st.phases);
  for (int i = 300; i < 311; ++i) EXPECT_EQ(st.ring.stepMarks[i], 3) << i;
  EXPECT_EQ(st.ring.stepMarks[311], 0);
  EXPECT_EQ(st.ring.stepMarks[299], 0);
  EXPECT_EQ(st.ring.codeStart, 300);

  // An entry beyond the count is not searched.
  OndrixState other = drawingState();
  markAllSteps(other.ring);
  other.ring.cells[300] = stateC;
  other.ring.cells[302] = stateB;
  other.phases.tagCode[2][4] = 11;
  other.phases.tagCodeCount[2] = 4;
  other.phases.indexTagCodes();
  tagSolitons(other.ring, other.phases);
  EXPECT_EQ(other.ring.stepMarks[300], markO);
}

TEST(TagSolitons, WindowsDoNotWrapAndStopAtTheStorage) {
  OndrixState st = drawingState(ringCapacity);
  markAllSteps(st.ring);
  st.ring.cells[ringCapacity - 2] = stateB;  // code 1 at the last-but-one cell
  st.phases.tagCode[0][0] = 1;
  st.phases.tagCodeCount[0] = 1;
  st.phases.indexTagCodes();
  tagSolitons(st.ring, st.phases);
  EXPECT_EQ(st.ring.stepMarks[ringCapacity - 2], 1);
  EXPECT_EQ(st.ring.stepMarks[ringCapacity - 1], 1);
  EXPECT_EQ(st.ring.stepMarks[0], 0);  // cell 0 is background, not part of the window

  // A pattern across the ring's end is two windows, neither matching a code
  // that needs both halves.
  OndrixState ring = drawingState(256);
  markAllSteps(ring.ring);
  ring.ring.cells[255] = stateB;
  ring.ring.cells[0] = stateB;
  ring.phases.tagCode[0][0] = 1 + 3;  // two B cells side by side
  ring.phases.tagCodeCount[0] = 1;
  ring.phases.indexTagCodes();
  tagSolitons(ring.ring, ring.phases);
  EXPECT_EQ(ring.ring.stepMarks[0], markO);
  EXPECT_EQ(ring.ring.stepMarks[255], markO);
}

TEST(TagSolitons, MatchesTheLinearSearchOnRandomRings) {
  std::mt19937 rng(9);
  for (int trial = 0; trial < 300; ++trial) {
    OndrixState st = drawingState(trial % 3 == 2 ? ringCapacity : trial % 2 ? 768 : 256);
    for (std::int32_t i = 0; i < ringCapacity; ++i) {
      st.ring.cells[i] = rng() % 5 == 0 ? static_cast<std::uint8_t>(rng() % 2) : stateA;
      st.ring.stepMarks[i] = static_cast<std::int16_t>(rng() % 8 == 0 ? rng() % 12 : markN + rng() % 3);
    }
    // Tag codes taken from windows of the ring itself, so that many match.
    for (int t = 0; t < 11; ++t) {
      st.phases.tagCodeCount[t] = static_cast<std::int32_t>(rng() % 81);
      for (int j = 0; j < 80; ++j) {
        const std::int32_t at = static_cast<std::int32_t>(rng() % 700);
        st.phases.tagCode[t][j] = rng() % 3 ? encodePattern(st.ring, at, 11) : static_cast<std::int32_t>(rng());
      }
    }
    st.phases.indexTagCodes();
    AutomatonState expected = st.ring;
    reference::tagSolitons(expected, st.phases);
    tagSolitons(st.ring, st.phases);
    ASSERT_EQ(st.ring.stepMarks, expected.stepMarks) << trial;
    ASSERT_EQ(st.ring.codeStart, expected.codeStart) << trial;
    ASSERT_EQ(st.ring.codeLastOffset, expected.codeLastOffset) << trial;
  }
}

TEST(DrawRing, LabelsOnlyWhenTimeIsAMultipleOf32) {
  OndrixState st = drawingState();
  FakeDisplay display;
  st.ring.liveCount = 100;
  for (std::int32_t t : {0, -32, 64, 33, -1, 31}) {
    st.ring.timeStep = t;
    display = FakeDisplay();
    drawRing(st, display);
    const bool due = t % 32 == 0;
    EXPECT_EQ(display.calls, due ? "TP%" : "P") << t;
    if (due) {
      EXPECT_EQ(display.lastTime, t);
      EXPECT_EQ(display.lastPercent, 13);  // 100 * 100 / 768 = 13.02
    }
  }
  st.ring.liveCount = 767;
  st.ring.timeStep = 0;
  drawRing(st, display);
  EXPECT_EQ(display.lastPercent, 99);  // truncated, not rounded
}

TEST(DrawRing, DontShowSkipsTheRedrawRule) {
  OndrixState st = drawingState();
  FakeDisplay display;
  redrawUnlessDontShow(st, display);
  st.dontShow = true;
  redrawUnlessDontShow(st, display);
  EXPECT_EQ(display.paints, 1);
}

TEST(Press, CellIndexInBothModes) {
  EXPECT_EQ(cellAtPress(100, 50), 286);
  EXPECT_EQ(cellAtPress(10, 10), 0);
  EXPECT_EQ(cellAtPress(8, 10), 0);  // (8 - 10) / 3 truncates to 0
  EXPECT_EQ(cellAtPress(13, 36), 1);
  EXPECT_EQ(cellAtPress(13, 37), 257);
  EXPECT_EQ(cellAtPress(13, 73), 513);
  EXPECT_EQ(cellAtPress(4, 10), std::nullopt);  // -2: outside the storage
  EXPECT_EQ(cellAtPress(4, 40), 254);
  EXPECT_EQ(cellAtPress(805, 500), 265 + 512);
}

TEST(Press, ButtonsSetCAndAAndRedraw) {
  OndrixState st = drawingState(256);
  FakeDisplay display;
  pressCell(st, display, PressButton::left, 100, 50);
  EXPECT_EQ(st.ring.cells[286], stateC);  // beyond the 256-cell ring, still set
  EXPECT_EQ(display.paints, 1);
  pressCell(st, display, PressButton::left, 13, 5);
  EXPECT_EQ(st.ring.cells[1], stateC);
  pressCell(st, display, PressButton::middle, 13, 5);
  EXPECT_EQ(st.ring.cells[1], stateC);
  EXPECT_EQ(display.paints, 3);  // the middle button still redraws
  pressCell(st, display, PressButton::right, 13, 5);
  EXPECT_EQ(st.ring.cells[1], stateA);
  pressCell(st, display, PressButton::left, 2, 5);  // maps outside: nothing at all
  EXPECT_EQ(display.paints, 4);
  st.dontShow = true;
  pressCell(st, display, PressButton::left, 16, 5);
  EXPECT_EQ(st.ring.cells[2], stateC);
  EXPECT_EQ(display.paints, 4);
  EXPECT_EQ(st.ring.timeStep, 0);
}

TEST(Geometry, CellsOfThreeRows) {
  EXPECT_EQ(cellPlace(0, true).x, 10);
  EXPECT_EQ(cellPlace(255, true).x, 775);
  EXPECT_EQ(cellPlace(256, true).x, 10);
  EXPECT_EQ(cellPlace(256, true).y0, 48);
  EXPECT_EQ(cellPlace(767, true).y0, 84);
  EXPECT_EQ(cellPlace(300, false).x, 910);
  EXPECT_EQ(cellPlace(300, false).y0, 12);
  AutomatonState ring;
  ring.ringLength = 25;
  EXPECT_EQ(picturedCells(ring, true), 768);
  EXPECT_EQ(picturedCells(ring, false), 25);
}

// A diagram recorded in one buffer and marked afterwards is what the window
// shows generation by generation: the cells of the run and the marks of the
// redraw (tagged, or the step's own); generation 0 as if the run had come
// to it from the generation before.
TEST(SpaceTime, RecordedAndMarkedAsTheRedrawMarksThem) {
  const RuleTable rule = testing::shippedRule();
  const Catalogue catalogue = testing::shippedCatalogue();
  AutomatonState scratch = quietRing(rule, 768);
  const PhaseTables tables = solitonPhaseTables(scratch, catalogue);
  std::mt19937 random(7);
  AutomatonState start = quietRing(rule, 768);
  for (std::int32_t i = 200; i < 260; ++i) start.cells[i] = static_cast<std::uint8_t>(random() % 3);
  const std::int64_t steps = 300;
  const std::size_t n = 768;
  std::vector<std::uint8_t> rows((steps + 1) * n);
  AutomatonState recorded = start;
  recordGenerations(recorded, steps, rows.data());
  std::vector<std::uint8_t> tagged(rows.size()), untagged(rows.size());
  tagSpaceTime(rule, rows, 768, &tables, tagged);
  tagSpaceTime(rule, rows, 768, nullptr, untagged);

  // The window's way, from the generation before the start.
  AutomatonState ring = start;
  for (auto& c : ring.cells) c = swapState(c);
  stepGeneration(ring);
  for (auto& c : ring.cells) c = swapState(c);
  for (std::int64_t t = 0; t <= steps; ++t) {
    stepGeneration(ring);
    const std::span<const std::uint8_t> cells(rows.data() + t * n, n), marks(tagged.data() + t * n, n);
    ASSERT_TRUE(std::equal(cells.begin(), cells.end(), ring.cells.begin())) << "generation " << t;
    for (std::size_t i = 0; i < n; ++i) {
      ASSERT_EQ(untagged[t * n + i], ring.cells[i] == stateA ? 0 : ring.stepMarks[i]) << t << " " << i;
    }
    tagSolitons(ring, tables);
    ASSERT_TRUE(std::equal(marks.begin(), marks.end(), ring.stepMarks.begin())) << "generation " << t;
  }
  EXPECT_TRUE(std::any_of(tagged.begin(), tagged.end(), [](std::uint8_t m) { return m >= 1 && m <= 12; }));
}

}  // namespace
}  // namespace ondrix
