#include "ondrix/solitons/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "bench/reference.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/rules/randomrule.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::FakeDisplay;

OndrixState ringOf(std::int32_t length) {
  OndrixState st;
  st.ring.ringLength = length;
  clearRing(st.ring);
  return st;
}

void expectSameSearch(const OndrixState& a, const OndrixState& b, const std::string& what) {
  EXPECT_EQ(a.catalogue.Nsol, b.catalogue.Nsol) << what;
  EXPECT_EQ(a.catalogue.Nstrun, b.catalogue.Nstrun) << what;
  EXPECT_EQ(a.catalogue.strangeSeen, b.catalogue.strangeSeen) << what;
  EXPECT_EQ(a.catalogue.solitonCode, b.catalogue.solitonCode) << what;
  EXPECT_EQ(a.catalogue.solitonPeriod, b.catalogue.solitonPeriod) << what;
  EXPECT_EQ(a.catalogue.solitonShift, b.catalogue.solitonShift) << what;
  // The ring as the last seed leaves it, and the bookkeeping values.
  EXPECT_EQ(a.ring.cells, b.ring.cells) << what;
  EXPECT_EQ(a.ring.stepMarks, b.ring.stepMarks) << what;
  EXPECT_EQ(a.ring.liveCount, b.ring.liveCount) << what;
  EXPECT_EQ(a.ring.codeStart, b.ring.codeStart) << what;
  EXPECT_EQ(a.ring.codeLastOffset, b.ring.codeLastOffset) << what;
  EXPECT_EQ(a.ring.insertPos, b.ring.insertPos) << what;
}

// Searches a copy with the reference and copies with the project's search
// on one and two threads, and compares everything they leave.
void compareWithReference(const OndrixState& start, const std::string& what) {
  OndrixState reference = start;
  reference::solitonSearch(reference);
  for (unsigned threads : {1u, 2u}) {
    OndrixState project = start;
    FakeDisplay display;
    SearchOptions options;
    options.threads = threads;
    solitonSearch(project, display, options);
    expectSameSearch(reference, project, what + " threads " + std::to_string(threads));
    EXPECT_EQ(display.shownNsol, project.catalogue.Nsol);
    EXPECT_EQ(display.shownNstrun, project.catalogue.Nstrun);
  }
}

class SearchDifferential : public ::testing::TestWithParam<RandomVariant> {};

TEST_P(SearchDifferential, MatchesTheReferenceOnRandomTables) {
  RandomGenerator random;
  for (int k = 0; k < static_cast<int>(GetParam()) * 7; ++k) random.next();
  for (int table = 0; table < 20; ++table) {
    const std::int32_t length = table % 2 ? 256 : 768;
    OndrixState st = ringOf(length);
    // Thresholds from 55 to 90 percent: from crowded tables to sparse ones.
    randomiseRuleTable(st.ring.ruleTable, random, thresholdFromPercent(55 + (table * 7) % 36), GetParam());
    if (table % 5 == 4) st.ring.ruleTable[0] = 1;  // a restless background
    // What lies beyond the ring: C from program start, A after "Dont show",
    // or whatever placements left there.
    if (table % 3 == 1) std::fill(st.ring.cells.begin() + length, st.ring.cells.end(), stateA);
    if (table % 3 == 2) {
      for (std::int32_t i = length; i < ringCapacity; ++i) st.ring.cells[i] = static_cast<std::uint8_t>(random.next() % 3);
    }
    st.ring.codeLastOffset = table;
    compareWithReference(st, "table " + std::to_string(table));
  }
}

INSTANTIATE_TEST_SUITE_P(Variants, SearchDifferential,
                         ::testing::Values(RandomVariant::all, RandomVariant::noDistanceFour,
                                           RandomVariant::noDistanceThreeAndFour));

TEST(Search, SmallRingsRunTheSeedsInOrder) {
  // On 76 and 25 cells the seeds lie past the ring, in the storage, where
  // each seed sees what the one before left.
  RandomGenerator random;
  for (std::int32_t length : {25, 76}) {
    OndrixState st = ringOf(length);
    randomiseRuleTable(st.ring.ruleTable, random, thresholdFromPercent(70), RandomVariant::noDistanceFour);
    compareWithReference(st, "length " + std::to_string(length));
  }
}

TEST(Search, NoMoverMeansNoSoliton) {
  OndrixState st = ringOf(768);  // all-zero table: everything blinks in place
  st.catalogue.solitonCode[0] = 123;
  FakeDisplay display;
  solitonSearch(st, display);
  EXPECT_EQ(st.catalogue.Nsol, 0);
  EXPECT_EQ(st.catalogue.solitonCode[0], 123);  // the catalogue is left as it was
  EXPECT_EQ(st.ring.insertPos, 80);
  EXPECT_EQ(display.shownNsol, 0);
}

TEST(Search, ASolitonFromManySeedsIsRecordedOnceWithItsLeastCode) {
  OndrixState st = ringOf(768);
  for (int e : {9, 27, 63}) st.ring.ruleTable[e] = 1;  // "C B" moves 3 cells in 5 generations
  std::fill(st.ring.cells.begin() + 768, st.ring.cells.end(), stateA);
  FakeDisplay display;
  solitonSearch(st, display);
  ASSERT_GE(st.catalogue.Nsol, 1);
  int found = 0;
  for (int k = 0; k < st.catalogue.Nsol; ++k) {
    if (st.catalogue.solitonPeriod[k] == 5 && st.catalogue.solitonShift[k] == 3) {
      ++found;
      EXPECT_EQ(st.catalogue.solitonCode[k], 5);  // C B is the least of its phases 179, 1561, 2044, 127, 5
    }
  }
  EXPECT_EQ(found, 1);
  // Codes are unique, every entry moved towards higher indices.
  for (int k = 0; k < st.catalogue.Nsol; ++k) {
    EXPECT_GE(st.catalogue.solitonShift[k], 1);
    EXPECT_LE(st.catalogue.solitonPeriod[k], searchGenerations);
    for (int j = 0; j < k; ++j) EXPECT_NE(st.catalogue.solitonCode[j], st.catalogue.solitonCode[k]);
  }
}

TEST(Search, ASeedThatSpreadsPastNineteenCellsCountsAsStrange) {
  OndrixState st = ringOf(768);
  std::fill(st.ring.cells.begin() + 768, st.ring.cells.end(), stateA);
  st.ring.ruleTable[27] = 1;  // every C lights both neighbours: patterns widen by 2 a generation
  FakeDisplay display;
  solitonSearch(st, display);
  EXPECT_GT(st.catalogue.Nstrun, 0);
  EXPECT_EQ(st.catalogue.strangeSeen, 1);
  EXPECT_EQ(display.shownNstrun, st.catalogue.Nstrun);
}

TEST(Search, SeedNumbering) {
  EXPECT_EQ(seedCell(0, 0), 0);
  EXPECT_EQ(seedCell(1, 7), 1);  // the last cell changes fastest
  EXPECT_EQ(seedCell(2187, 0), 1);
  EXPECT_EQ(seedCell(2187, 7), 0);
  for (int j = 0; j < seedCells; ++j) EXPECT_EQ(seedCell(seedCount - 1, j), 2);
}

TEST(AuxSearch, DropsEverySeedAndEndsLikeTheEnumeration) {
  OndrixState st = ringOf(768);
  st.ring.insertPos = 300;
  st.catalogue.Nsol = 5;
  st.catalogue.Nstrun = 9;
  st.catalogue.strangeSeen = 1;
  FakeDisplay display;
  auxSearch(st, display);
  EXPECT_EQ(st.catalogue.Nsol, 0);
  EXPECT_EQ(st.catalogue.Nstrun, 0);
  EXPECT_EQ(st.catalogue.strangeSeen, 0);
  EXPECT_EQ(display.shownNsol, 0);
  EXPECT_EQ(st.ring.insertPos, 300);
  // The last seed is all A: an empty ring. Its window from cell 768 reads
  // the storage beyond the ring (C from program start).
  EXPECT_EQ(firstLiveCell(st.ring), 768);
  EXPECT_EQ(st.ring.codeStart, 768);
  EXPECT_EQ(st.ring.codeLastOffset, 24);

  // With A beyond the ring the last seed's window is empty: codeLastOffset
  // is the one of seed 6559 (A A A A A A A B), whose window starts at its B.
  OndrixState quiet = ringOf(768);
  std::fill(quiet.ring.cells.begin() + 768, quiet.ring.cells.end(), stateA);
  quiet.ring.insertPos = 300;
  auxSearch(quiet, display);
  EXPECT_EQ(quiet.ring.codeStart, 768);
  EXPECT_EQ(quiet.ring.codeLastOffset, 0);
}

TEST(PlaceSeedFromCode, WritesEveryCellOfTheLowEightDigits) {
  AutomatonState ring;
  ring.ringLength = 768;
  clearRing(ring);
  std::fill_n(ring.cells.begin() + 80, 10, stateB);
  ring.currentSoliton = 2 + 0 * 3 + 1 * 9 + 2 * 6561 * 3;  // digits 2 0 1 0 0 0 0 0 2 (ninth ignored)
  placeSeedFromCode(ring);
  const std::uint8_t expected[10] = {stateC, stateA, stateB, stateA, stateA, stateA, stateA, stateA, stateB, stateB};
  for (int j = 0; j < 10; ++j) EXPECT_EQ(ring.cells[80 + j], expected[j]) << j;
}

}  // namespace
}  // namespace ondrix

namespace ondrix {
namespace {

TEST(Search, ReportsProgressUpToEverySeed) {
  for (unsigned threads : {1u, 2u}) {
    OndrixState st = ringOf(768);
    st.ring.ruleTable[27] = 1;
    testing::FakeDisplay display;
    std::vector<int> reported;
    Poll poll([&](std::int64_t done, std::int64_t total) {
      EXPECT_EQ(total, seedCount);
      reported.push_back(static_cast<int>(done));
    });
    SearchOptions options;
    options.threads = threads;
    options.poll = &poll;
    solitonSearch(st, display, options);
    // Every chunk of eight seeds is reported, whichever thread ran it, then
    // the last seed: the counts rise by 8 up to 6560, then 6561.
    ASSERT_EQ(reported.size(), 821u) << threads;
    for (std::size_t k = 0; k + 1 < reported.size(); ++k) EXPECT_EQ(reported[k], 8 * int(k + 1));
    EXPECT_EQ(reported.back(), seedCount);
  }
}

}  // namespace
}  // namespace ondrix

namespace ondrix {
namespace {

// The batched search against the plain way, seed by seed the same, on every
// ring length the program reaches, tables with bytes other than 0 and 1,
// storage past the ring holding A, C or any byte, on one and two threads.
// Restless tables and the short rings go the plain way as a whole.
TEST(Search, BatchedRowsGiveWhatThePlainWayGives) {
  std::mt19937_64 rng(20261209);
  const std::int32_t lengths[] = {25, 76, 250, 256, 760, 768, 2500, 2560, 7600, 7680};
  for (int trial = 0; trial < 30; ++trial) {
    OndrixState st = ringOf(lengths[trial % 10]);
    // From sparse tables to crowded ones, entries of any nonzero byte.
    RandomGenerator random;
    random.discard(rng() % 1000);
    randomiseRuleTable(st.ring.ruleTable, random, thresholdFromPercent(60 + trial % 6 * 6), RandomVariant::all);
    for (std::uint8_t& e : st.ring.ruleTable) e = e ? static_cast<std::uint8_t>(1 + rng() % 255) : 0;
    if (trial % 7 == 6) st.ring.ruleTable[0] = 2;
    for (std::int32_t i = st.ring.ringLength; i < ringCapacity; ++i) {
      st.ring.cells[i] = trial % 3 == 0 ? stateA : trial % 3 == 1 ? stateC : static_cast<std::uint8_t>(rng());
    }
    OndrixState plain = st;
    FakeDisplay display;
    SearchOptions options;
    options.batched = false;
    solitonSearch(plain, display, options);
    for (unsigned threads : {1u, 2u}) {
      OndrixState batched = st;
      int plainly = -1;
      options = {};
      options.threads = threads;
      options.seedsRunPlainly = &plainly;
      solitonSearch(batched, display, options);
      const std::string what = "trial " + std::to_string(trial) + " threads " + std::to_string(threads);
      expectSameSearch(plain, batched, what);
      const bool batchable = st.ring.ruleTable[0] == 0 && st.ring.ringLength >= 250;
      EXPECT_EQ(plainly == seedCount - 1, !batchable) << what << ": " << plainly;
    }
  }
}

}  // namespace
}  // namespace ondrix
