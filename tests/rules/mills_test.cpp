#include "ondrix/rules/mills.h"

#include <gtest/gtest.h>

#include <map>

#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/rules/ghosts.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::FakeDisplay;

// Drawing on, the ring of `length` cells all B, the storage beyond it C.
OndrixState stateWith(std::int32_t length, std::int32_t offset = 0, std::int32_t blockLength = 30) {
  OndrixState st;
  st.dontShow = false;
  st.ring.ringLength = length;
  std::fill(st.ring.cells.begin(), st.ring.cells.begin() + length, stateB);
  st.mills = {offset, blockLength};
  return st;
}

std::string letters(const AutomatonState& ring, std::int32_t from, int count) {
  std::string s;
  for (int k = 0; k < count; ++k) s += "CBA"[ring.cells[from + k]];
  return s;
}

// The first random command after a fresh start draws 130, 10982, 1090, ...
TEST(Mills, FirstRandomCommandsAfterAFreshStart) {
  struct Case {
    std::function<void(OndrixState&, RingDisplay&)> command;
    std::string cells;
  };
  const Case cases[] = {
      {[](OndrixState& st, RingDisplay& d) { placeMillSeed(st, d, MillSeed::symmetricBlock); }, "BABBBBAB"},
      {[](OndrixState& st, RingDisplay& d) { placeRandomBlock(st, d, RandomBlock::abc); }, "BABBBCBB"},
      {[](OndrixState& st, RingDisplay& d) { placeRandomBlock(st, d, RandomBlock::bc); }, "CCCCBBBC"},
  };
  for (const Case& c : cases) {
    OndrixState st = stateWith(768);
    st.withoutClear = true;
    FakeDisplay display;
    c.command(st, display);
    EXPECT_EQ(letters(st.ring, 384, 8), c.cells);
    EXPECT_EQ(display.paints, 1);
  }
}

TEST(Mills, SeedsFromTheCentre) {
  struct Case {
    MillSeed seed;
    std::int32_t length, offset;
    bool withoutClear;
    std::string around;  // cells centre - 2 .. centre + 9 of the ring
  };
  for (const Case& c : {Case{MillSeed::single, 768, 0, false, "BBCBBBBBBBBB"}, Case{MillSeed::single, 768, 0, true, "AACAAAAAAAAA"},
                        Case{MillSeed::pair, 768, 0, true, "AACCAAAAAAAA"}, Case{MillSeed::pair, 768, -10, true, "AAAAAAAAAAAA"},
                        Case{MillSeed::single, 25, 0, true, "AACAAAAAAAAA"}}) {
    OndrixState st = stateWith(c.length, c.offset);
    st.withoutClear = c.withoutClear;
    FakeDisplay display;
    placeMillSeed(st, display, c.seed);
    const std::int32_t centre = c.length / 2;
    EXPECT_EQ(letters(st.ring, centre - 2, 12), c.around);
    EXPECT_EQ(st.ring.insertPos, centre + c.offset);
  }
}

// Every variant against a plain model: a map of the cells written, then only
// those inside the ring taken. Blocks reach outside on both sides, and far
// beyond it, where the skipped draws must still count.
TEST(Mills, RandomBlocksAgainstAModel) {
  const RandomBlock variants[] = {RandomBlock::abc,         RandomBlock::bc,
                                  RandomBlock::abcSymmetric, RandomBlock::bcSymmetric,
                                  RandomBlock::bcSwappedMirror, RandomBlock::baSwappedMirror};
  struct Geometry {
    std::int32_t length, offset, blockLength;
  };
  const Geometry geometries[] = {{768, 0, 30},   {768, 0, 0},    {768, 0, -5},   {25, 0, 30},        {25, -20, 12},
                                 {256, 100, 40}, {256, -300, 250}, {256, -2000, 1500}, {7680, 7000, 700}, {768, -5000000, 2500010}};
  for (RandomBlock v : variants) {
    for (const Geometry& g : geometries) {
      OndrixState st = stateWith(g.length, g.offset, g.blockLength);
      st.ring.insertPos = 77;
      st.ring.sampleCount = 5;
      st.ring.populationHistory[999] = 3;
      RandomGenerator model = st.random;
      const auto before = st.ring.cells;
      FakeDisplay display;
      placeRandomBlock(st, display, v);

      std::map<std::int64_t, std::uint8_t> written;
      const std::int64_t s = g.length / 2 + g.offset, L = g.blockLength;
      const bool mirror = v != RandomBlock::abc && v != RandomBlock::bc;
      for (std::int64_t i = 0; i < L; ++i) {
        const std::int32_t r = model.next();
        std::uint8_t left = v == RandomBlock::abc || v == RandomBlock::abcSymmetric ? r % 3
                            : v == RandomBlock::baSwappedMirror                     ? r % 2 + 1
                                                                                    : r % 2;
        const bool swapped = v == RandomBlock::bcSwappedMirror || v == RandomBlock::baSwappedMirror;
        for (auto [pos, state] : {std::pair{s + i, left}, std::pair{s + 2 * L - i, swapped ? swapState(left) : left}}) {
          if (pos >= 0 && pos < g.length && (pos == s + i || mirror)) written[pos] = state;
        }
      }
      for (std::int32_t i = 0; i < ringCapacity; ++i) {
        const auto w = written.find(i);
        const std::uint8_t expected = i < g.length && w != written.end() ? w->second : before[i];
        ASSERT_EQ(st.ring.cells[i], expected) << int(v) << " L " << g.blockLength << " cell " << i;
      }
      EXPECT_EQ(st.random.seed(), model.seed());
      EXPECT_EQ(st.ring.insertPos, L > 0 ? static_cast<std::int32_t>(s + L - 1) : 77);
      EXPECT_EQ(st.ring.sampleCount, 0);
      EXPECT_EQ(st.ring.populationHistory[999], 0);
      EXPECT_EQ(display.paints, 1);
    }
  }
}

TEST(Mills, MirroredBlocksAroundAnUntouchedAxis) {
  for (RandomBlock v : {RandomBlock::abcSymmetric, RandomBlock::bcSymmetric, RandomBlock::bcSwappedMirror,
                        RandomBlock::baSwappedMirror}) {
    for (bool withoutClear : {false, true}) {
      OndrixState st = stateWith(768);
      st.withoutClear = withoutClear;
      FakeDisplay display;
      placeRandomBlock(st, display, v);
      EXPECT_EQ(st.ring.cells[414], withoutClear ? stateA : stateB);  // the axis keeps its state
      for (int i = 0; i < 30; ++i) {
        const std::uint8_t left = st.ring.cells[384 + i], right = st.ring.cells[444 - i];
        const bool swapped = v == RandomBlock::bcSwappedMirror || v == RandomBlock::baSwappedMirror;
        EXPECT_EQ(right, swapped ? swapState(left) : left);
        EXPECT_NE(left, v == RandomBlock::baSwappedMirror ? stateC : v == RandomBlock::bcSwappedMirror ? stateA : 9);
      }
    }
  }
}

TEST(Mills, TestGhostsLoadsOverTheRing) {
  testing::ScratchFolder folder;
  struct Case {
    std::vector<std::uint8_t> file;  // empty: no file
    std::int32_t length;
    std::uint8_t cell0, cell300;
    bool refused;
  };
  const std::vector<std::uint8_t> short256(256, stateC), bad = {0, 1, 2, 3};
  for (const Case& c : {Case{short256, 768, stateC, stateB, false}, Case{{}, 768, stateB, stateB, false},
                        Case{bad, 768, stateB, stateB, true}, Case{std::vector<std::uint8_t>(1000, stateA), 256, stateA, stateC, false}}) {
    std::filesystem::remove(ghostRowFileName);
    if (!c.file.empty()) testing::putFile(ghostRowFileName, c.file);
    OndrixState st = stateWith(c.length);
    st.ring.sampleCount = 12;
    st.ring.populationHistory[0] = 4;
    st.ring.timeStep = 40;
    FakeDisplay display;
    testGhosts(st, display);
    EXPECT_EQ(st.ring.cells[0], c.cell0);
    EXPECT_EQ(st.ring.cells[300], c.cell300);  // beyond a short file, or beyond the ring
    EXPECT_EQ(st.ring.sampleCount, 0);
    EXPECT_EQ(st.ring.populationHistory[0], 0);
    EXPECT_EQ(st.ring.timeStep, 40);
    EXPECT_EQ(display.paints, 1);
    EXPECT_EQ(display.status.find("Could not read tgho.dat: cell 3 holds 3") == 0, c.refused) << display.status;
  }
}

}  // namespace
}  // namespace ondrix
