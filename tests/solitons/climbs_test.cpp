#include "ondrix/solitons/climbs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/rules/randomrule.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::FakeDisplay;

std::set<int> onesOf(const AuxRuleTable& aux) {
  std::set<int> ones;
  for (int e = 0; e < auxRuleTableSize; ++e) {
    if (aux[e]) ones.insert(e);
  }
  return ones;
}

TEST(AuxRuleFromNumber, BothLayouts) {
  AuxRuleTable aux{};
  aux.fill(1);
  auxRuleFromNumber(aux, 21, AuxLayout::first);
  EXPECT_EQ(onesOf(aux), (std::set<int>{9, 18, 21, 24}));
  auxRuleFromNumber(aux, 277, AuxLayout::first);
  EXPECT_EQ(onesOf(aux), (std::set<int>{9, 18, 19, 20, 21, 24}));
  auxRuleFromNumber(aux, 1044, AuxLayout::second);
  EXPECT_EQ(onesOf(aux), (std::set<int>{3, 6, 9, 10, 11, 18, 19, 20}));
  auxRuleFromNumber(aux, 0xFFFF, AuxLayout::first);
  EXPECT_EQ(aux[0], 0);  // entry 0 is always 0
  EXPECT_EQ(onesOf(aux).size(), 53u);
}

TEST(ExpandAuxRuleTable, EveryDistanceFourCountTakesTheSameValue) {
  OndrixState st;
  st.auxRuleTable[0] = 1;
  st.auxRuleTable[13] = 1;  // h 0, a 1, b 1, c 1
  st.auxRuleTable[53] = 5;  // only the value 1 counts
  st.auxRuleTable[27] = 1;  // h 1
  st.ring.ruleTable.fill(7);
  expandAuxRuleTable(st);
  for (int e = 0; e < ruleTableSize; ++e) {
    const bool one = e <= 2 || (e >= 39 && e <= 41) || (e >= 81 && e <= 83);
    EXPECT_EQ(st.ring.ruleTable[e], one ? 1 : 0) << e;
  }
}

class ClimbFiles : public ::testing::Test {
 protected:
  testing::ScratchFolder folder;
};

TEST_F(ClimbFiles, AClimbStartedWithoutStrangeSeedsAcceptsNothing) {
  OndrixState st;
  st.ring.ringLength = 256;
  clearRing(st.ring);
  for (int e : {9, 27, 63}) st.ring.ruleTable[e] = 1;
  st.ring.ruleTable[100] = 2;  // raw file bytes: flipped to 0 and back to 1
  st.ring.ruleTable[161] = 7;
  auto table = st.ring.ruleTable;
  table[100] = table[161] = 1;
  FakeDisplay display;
  int flips = 0;
  Poll poll([&](std::int64_t, std::int64_t begun) {
    EXPECT_EQ(begun / ruleTableSize, 1);  // the pass
    ++flips;
  });
  ClimbOptions options;
  options.poll = &poll;
  ruleClimb(st, display, ClimbTest::keepSolitons, options);  // Nstrun is 0 before any search
  EXPECT_EQ(flips, 162);
  EXPECT_EQ(st.ring.ruleTable, table);
  EXPECT_FALSE(std::filesystem::exists(ruleFileName));
  EXPECT_EQ(display.status, "");
}

// Saved: the status names the last accepted counts and the file holds the
// table. Unable to save (a folder at ca.dat): from the first failure on,
// every text in the status bar says so, and the climb ends on it.
TEST_F(ClimbFiles, AcceptedFlipsAreReportedAndSaved) {
  for (bool saving : {true, false}) {
    if (!saving) std::filesystem::create_directory(ruleFileName);
    OndrixState st;
    st.ring.ringLength = 256;
    clearRing(st.ring);
    std::fill(st.ring.cells.begin() + 256, st.ring.cells.end(), stateA);
    RandomGenerator random;
    randomiseRuleTable(st.ring.ruleTable, random, thresholdFromPercent(80), RandomVariant::noDistanceThreeAndFour);
    st.ring.ruleTable[5] = 3;  // a rejected flip gives 1, an accepted one 0
    FakeDisplay display;
    solitonSearch(st, display);
    const std::int32_t startNstrun = st.catalogue.Nstrun;
    ASSERT_GT(startNstrun, 0);
    int lastPass = 0;
    Poll poll([&](std::int64_t, std::int64_t begun) { lastPass = static_cast<int>(begun / ruleTableSize); });
    ClimbOptions options;
    options.poll = &poll;
    ruleClimb(st, display, ClimbTest::keepSolitons, options);
    ASSERT_GE(lastPass, 2);  // something was accepted, and a final pass accepted nothing
    EXPECT_TRUE(st.ring.ruleTable[5] == 0 || st.ring.ruleTable[5] == 1);
    if (saving) {
      EXPECT_EQ(display.status.rfind(" i=", 0), 0u) << display.status;
      const auto saved = testing::fileBytes(ruleFileName);
      EXPECT_EQ(saved, std::vector<std::uint8_t>(st.ring.ruleTable.begin(), st.ring.ruleTable.end()));
      const auto at = display.status.find(" Nstrun=");
      EXPECT_LT(std::stoi(display.status.substr(at + 8)), startNstrun);
      std::filesystem::remove(ruleFileName);
      continue;
    }
    const auto failed = std::find_if(display.statuses.begin(), display.statuses.end(), [](const std::string& t) {
      return t.find("Could not write ca.dat") != std::string::npos;
    });
    ASSERT_NE(failed, display.statuses.end());
    EXPECT_GE(display.statuses.end() - failed, 3);
    for (auto t = failed; t != display.statuses.end(); ++t) {
      EXPECT_NE(t->find("Could not write ca.dat"), std::string::npos) << *t;
    }
    EXPECT_EQ(display.status, "Could not write ca.dat");
  }
}

TEST_F(ClimbFiles, TheAuxiliaryClimbAcceptsItsFirstFlipOnly) {
  OndrixState st;
  st.ring.ringLength = 768;
  clearRing(st.ring);
  st.catalogue.Nsol = 0;
  st.catalogue.Nstrun = 5;  // as a search may leave it
  FakeDisplay display;
  int flips = 0, lastPass = 0;
  Poll poll([&](std::int64_t, std::int64_t begun) {
    ++flips;
    lastPass = static_cast<int>(begun / auxRuleTableSize);
  });
  ClimbOptions options;
  options.poll = &poll;
  auxClimb(st, display, options);
  EXPECT_EQ(lastPass, 2);
  EXPECT_EQ(flips, 2 * auxRuleTableSize);
  EXPECT_EQ(st.auxRuleTable[0], 1);
  EXPECT_EQ(onesOf(st.auxRuleTable), (std::set<int>{0}));
  EXPECT_EQ(display.status, " i=1 Nsol=0 Nstrun=0");
  const auto saved = testing::fileBytes(auxRuleFileName);
  ASSERT_EQ(saved.size(), 54u);
  EXPECT_EQ(saved[0], 1);
}

TEST_F(ClimbFiles, TryingEveryAuxiliaryNumberReportsEvery256) {
  OndrixState st;
  st.ring.ringLength = 768;
  clearRing(st.ring);
  FakeDisplay display;
  std::vector<int> reported;
  Poll poll([&](std::int64_t r, std::int64_t) { reported.push_back(static_cast<int>(r)); });
  tryAllAuxRules(st, display, &poll);
  ASSERT_EQ(reported.size(), 256u);
  EXPECT_EQ(reported.front(), 0);
  EXPECT_EQ(reported[1], 256);
  EXPECT_EQ(reported.back(), 65280);
  EXPECT_EQ(display.status, "65280 Nsol=0 j=0");
  AuxRuleTable last{};
  auxRuleFromNumber(last, 65535, AuxLayout::first);
  EXPECT_EQ(st.auxRuleTable, last);
}

}  // namespace
}  // namespace ondrix
