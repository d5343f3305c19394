// The data files shipped in assets/: the soliton rule and its catalogue are
// what they claim, the example rows run back to themselves, the template is
// a bitmap the recording can use.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "ondrix/automaton/reversal.h"
#include "ondrix/datafiles/recording.h"
#include "ondrix/datafiles/rowfiles.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

const std::string assets = ONDRIX_ASSETS_DIR;

class ShippedData : public ::testing::Test {
 protected:
  void SetUp() override {
    // As start-up leaves the ring: 768 cells, C beyond them from program start.
    st.ring.ringLength = 768;
    clearRing(st.ring);
    ASSERT_TRUE(readTableFile(assets + "/" + solitonRuleFileName, st.ring.ruleTable));
    ASSERT_TRUE(readSolitonFile(assets + "/" + solitonFileName, st.catalogue));
  }

  // Places type k alone at cell 300 and returns the first live cell.
  std::int32_t placeAlone(int k, bool swapped) {
    clearRing(st.ring);
    st.ring.currentSoliton = st.catalogue.solitonCode[k];
    st.ring.insertPos = 300;
    swapped ? placePatternSwapped(st.ring) : placePattern(st.ring);
    return firstLiveCell(st.ring);
  }

  OndrixState st;
  testing::FakeDisplay display;
};

TEST_F(ShippedData, EveryTypeIsTheSolitonTheCatalogueNames) {
  for (int k = 0; k < 12; ++k) {
    const std::int32_t period = st.catalogue.solitonPeriod[k], shift = st.catalogue.solitonShift[k];
    ASSERT_GE(period, 1) << k;
    ASSERT_LE(period, 40) << k;
    ASSERT_GE(shift, 1) << k;
    ASSERT_GE(st.catalogue.solitonCode[k], 1) << k;
    ASSERT_LT(st.catalogue.solitonCode[k], 1162261467) << k;  // 3^19: within 19 cells
    for (bool swapped : {false, true}) {
      const std::int32_t start = placeAlone(k, swapped);
      const std::int32_t code = encodePattern(st.ring, start, 25);
      for (std::int32_t g = 0; g < period; ++g) stepGeneration(st.ring);
      EXPECT_EQ(encodePattern(st.ring, firstLiveCell(st.ring), 25), code) << "type " << k;
      EXPECT_EQ(firstLiveCell(st.ring) - start, swapped ? -shift : shift) << "type " << k;
    }
  }
  // Fastest first.
  for (int k = 1; k < 11; ++k) {
    EXPECT_GE(400 * st.catalogue.solitonShift[k - 1] / st.catalogue.solitonPeriod[k - 1],
              400 * st.catalogue.solitonShift[k] / st.catalogue.solitonPeriod[k]);
  }
}

TEST_F(ShippedData, TypesZeroToTenAreTaggedInEveryPhaseBothWays) {
  buildSolitonPhaseTables(st, display);
  for (int k = 0; k < 11; ++k) {
    for (bool swapped : {false, true}) {
      placeAlone(k, swapped);
      for (std::int32_t g = 0; g < 3 * st.catalogue.solitonPeriod[k]; ++g) {
        stepGeneration(st.ring);
        tagSolitons(st.ring, st.phases);
        for (std::int32_t i = 0; i < st.ring.ringLength; ++i) {
          if (st.ring.cells[i] != stateA) {
            ASSERT_EQ(st.ring.stepMarks[i], k + 1) << "type " << k << (swapped ? " swapped" : "") << " generation " << g;
          }
        }
      }
    }
  }
}

TEST_F(ShippedData, RowFilesHoldCellStatesOfTheWholeRing) {
  for (const char* name : {"Exp1.dat", "Exp2.dat", "Exp3.dat", "Exp4.dat", "Exp5.dat", "Exp6.dat", "Exp7.dat",
                           "Exp8.dat", "tgho.dat"}) {
    const auto bytes = testing::fileBytes(assets + "/" + name);
    ASSERT_EQ(bytes.size(), 768u) << name;
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b <= stateA; })) << name;
    EXPECT_TRUE(std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != stateA; })) << name;
  }
}

TEST_F(ShippedData, EveryExampleReturnsToItsRow) {
  for (int n = 1; n <= 8; ++n) {
    const std::string name = assets + "/Exp" + std::to_string(n) + ".dat";
    ASSERT_EQ(readRowFile(name, st.ring).outcome, RowLoad::loaded) << name;
    const auto start = st.ring.cells;
    for (int g = 0; g < 1600; ++g) stepGeneration(st.ring);
    EXPECT_NE(st.ring.cells, start) << name << " does not move";
    for (std::int32_t i = 0; i < 768; ++i) st.ring.cells[i] = swapState(st.ring.cells[i]);
    for (int g = 0; g < 1600; ++g) stepGeneration(st.ring);
    for (std::int32_t i = 0; i < 768; ++i) ASSERT_EQ(st.ring.cells[i], swapState(start[i])) << name << " cell " << i;
  }
}

TEST_F(ShippedData, TheGhostRowKeepsChangingItsSpan) {
  ASSERT_EQ(readRowFile(assets + "/tgho.dat", st.ring).outcome, RowLoad::loaded);
  std::set<std::int32_t> spans;
  for (int g = 0; g < 500; ++g) {
    stepGeneration(st.ring);
    updateStatistics(st, display);
    spans.insert(st.statistics.spanLast - st.statistics.spanFirst);
  }
  EXPECT_GT(spans.size(), 20u);
  EXPECT_LT(st.statistics.spanFirst, 768);  // still alive
}

TEST(ShippedTemplate, IsA24BitBitmapOfTheCapturedBand) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(assets);  // the recording reads it by its relative name
  FrameTemplate frame{};
  const auto got = readFrameTemplate(frame);
  std::filesystem::current_path(previous);
  ASSERT_TRUE(got);
  EXPECT_EQ(*got, 256000u);
  const auto made = makeFrameTemplate({240, 240, 240});  // as the shipping tool makes it
  EXPECT_TRUE(std::equal(made.begin(), made.end(), frame.begin()));
  EXPECT_TRUE(isFrameTemplate(frame));
  EXPECT_EQ(pixelDataOffset(frame), 54u);
  EXPECT_EQ(frame[54], frame[55]);  // grey: blue, green and red alike
  EXPECT_EQ(frame[55], frame[56]);
}

}  // namespace
}  // namespace ondrix
