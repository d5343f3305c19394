// The bit-sliced rows against the plain step and code, and every kernel
// against the portable one.
#include "ondrix/automaton/bitslice.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "bench/reference.h"

namespace ondrix::bitslice {
namespace {

constexpr std::int32_t rowAt = 100;  // ring index of bit 0

// A random row with live cells only in bits from..to; x and y disjoint.
void randomRow(std::mt19937_64& rng, int from, int to, int liveShare, std::uint64_t& x, std::uint64_t& y) {
  x = y = 0;
  std::uniform_int_distribution<int> percent(0, 99), state(0, 1);
  for (int k = from; k <= to; ++k) {
    if (percent(rng) >= liveShare) continue;
    (state(rng) ? x : y) |= std::uint64_t{1} << k;
  }
}

void randomTable(std::mt19937_64& rng, std::uint8_t* table) {
  std::uniform_int_distribution<int> byte(0, 255), bit(0, 1);
  const bool rawBytes = rng() % 4 == 0;  // as a rule file may hold them
  for (int e = 0; e < ruleHalfSize; ++e) table[e] = static_cast<std::uint8_t>(rawBytes ? byte(rng) : bit(rng));
}

AutomatonState ringWithRow(const std::uint8_t* table, std::uint64_t x, std::uint64_t y) {
  AutomatonState s;
  s.ringLength = 256;
  clearRing(s);
  std::copy(table, table + ruleHalfSize, s.ruleTable.begin());
  for (int k = 0; k < 64; ++k) {
    if ((x >> k) & 1) s.cells[rowAt + k] = stateC;
    if ((y >> k) & 1) s.cells[rowAt + k] = stateB;
  }
  return s;
}

TEST(BitSlice, RowsStepAsTheRingDoes) {
  std::mt19937_64 rng(20261209);
  for (int trial = 0; trial < 400; ++trial) {
    std::uint8_t table[ruleHalfSize];
    randomTable(rng, table);
    if (trial % 3) table[0] = 0;
    std::uint64_t x, y;
    randomRow(rng, 4, 59, 10 + trial % 80, x, y);
    AutomatonState ring = ringWithRow(table, x, y);
    reference::stepGeneration(ring);
    const std::uint64_t next = stepRow(SliceRule(table), x, y);
    for (std::int32_t i = 0; i < ring.ringLength; ++i) {
      const int k = i - rowAt;
      const bool inWord = k >= 0 && k < 64;
      const std::uint8_t expected = !inWord ? ring.cells[i] : (next >> k) & 1 ? stateC : (x >> k) & 1 ? stateB : stateA;
      // Outside the word only a restless background makes cells live.
      ASSERT_EQ(ring.cells[i], inWord || table[0] != 0 ? expected : stateA) << "trial " << trial << " cell " << i;
    }
  }
}

// Rows of one, two and three words, every lane of a batch, on the fastest
// kernel and the portable one: the cells of the words after a generation
// are the ring's.
template <int K>
void checkWideRows(std::mt19937_64& rng, int trials) {
  const WideStep<K> kernels[] = {bestWideStep<K>(), stepWidePortable<K>};
  for (int trial = 0; trial < trials; ++trial) {
    std::uint8_t table[ruleHalfSize];
    randomTable(rng, table);
    if (trial % 3) table[0] = 0;
    WideBatch<K> batch;
    std::vector<AutomatonState> rings(lanes);
    for (int lane = 0; lane < lanes; ++lane) {
      rings[lane].ringLength = 512;
      clearRing(rings[lane]);
      std::copy(table, table + ruleHalfSize, rings[lane].ruleTable.begin());
      for (int w = 0; w < K; ++w) {
        std::uint64_t x, y;
        randomRow(rng, w == 0 ? 4 : 0, w == K - 1 ? 59 : 63, 10 + (trial + lane) % 80, x, y);
        batch.x[w * lanes + lane] = x;
        batch.y[w * lanes + lane] = y;
        for (int k = 0; k < 64; ++k) {
          if ((x >> k) & 1) rings[lane].cells[rowAt + 64 * w + k] = stateC;
          if ((y >> k) & 1) rings[lane].cells[rowAt + 64 * w + k] = stateB;
        }
      }
      reference::stepGeneration(rings[lane]);
    }
    for (const auto kernel : kernels) {
      WideBatch<K> stepped = batch;
      kernel(SliceRule(table), stepped);
      for (int lane = 0; lane < lanes; ++lane) {
        for (int k = 0; k < 64 * K; ++k) {
          const std::uint64_t bit = std::uint64_t{1} << (k % 64);
          const int word = (k / 64) * lanes + lane;
          const std::uint8_t cell = stepped.x[word] & bit ? stateC : stepped.y[word] & bit ? stateB : stateA;
          ASSERT_EQ(cell, rings[lane].cells[rowAt + k]) << K << " words, trial " << trial << " lane " << lane << " cell " << k;
        }
      }
    }
  }
}

TEST(BitSlice, WideRowsStepAsTheRingDoes) {
  std::mt19937_64 rng(91);
  checkWideRows<1>(rng, 40);
  checkWideRows<2>(rng, 40);
  checkWideRows<3>(rng, 40);
}

TEST(BitSlice, RowCodesAreThePatternCodes) {
  std::mt19937_64 rng(7);
  for (int trial = 0; trial < 300; ++trial) {
    std::uint64_t x, y;
    randomRow(rng, 0, 63, 50, x, y);
    const int from = static_cast<int>(rng() % 64), width = 1 + static_cast<int>(rng() % 25);
    AutomatonState ring = ringWithRow(std::array<std::uint8_t, ruleHalfSize>{}.data(), x, y);
    // Widths above 20 wrap in 32 bits, as the stored codes do.
    EXPECT_EQ(rowCode(x, y, from, width), encodePattern(ring, rowAt + from, width)) << from << " " << width;
  }
}

// Every kernel the processor runs, called by name, on the same inputs.
TEST(BitSlice, EveryKernelGivesThePortableResult) {
#if defined(ONDRIX_X86_KERNELS)
  struct Named {
    const char* name;
    bool available;
    void (*step)(const SliceRule&, Batch&);
    std::uint32_t (*advance)(const Limits&, Batch&, Tracks&);
  };
  const Named kernels[] = {
      {"AVX2", processorFeatures().avx2, stepAvx2, advancePortable},
      {"AVX-512", processorFeatures().avx512f && processorFeatures().avx512cd, stepAvx512, advanceAvx512},
  };
  std::mt19937_64 rng(11);
  int compared = 0;
  for (const Named& kernel : kernels) {
    if (!kernel.available) continue;
    for (int trial = 0; trial < 300; ++trial) {
      std::uint8_t table[ruleHalfSize];
      randomTable(rng, table);
      const SliceRule rule(table);
      Batch batch;
      Tracks tracks;
      for (int k = 0; k < lanes; ++k) {
        // Some rows empty, some wide, some back at their start row.
        randomRow(rng, 4 + static_cast<int>(rng() % 30), 59, static_cast<int>(rng() % 60), batch.x[k], batch.y[k]);
        tracks.offset[k] = static_cast<std::int64_t>(rng() % 400) - 100;
        tracks.generations[k] = static_cast<std::int64_t>(rng() % 12);
        tracks.width[k] = static_cast<std::int64_t>(rng() % 20);
        randomRow(rng, 20, 30, 50, tracks.startX[k], tracks.startY[k]);
      }
      const Limits limits{static_cast<std::int64_t>(rng() % 30), static_cast<std::int64_t>(rng() % 40),
                          static_cast<std::int64_t>(rng() % 100), 150 + static_cast<std::int64_t>(rng() % 200),
                          static_cast<std::int64_t>(rng() % 14)};
      for (int generation = 0; generation < 6; ++generation) {
        Batch plainBatch = batch, vectorBatch = batch;
        Tracks plainTracks = tracks, vectorTracks = tracks;
        stepPortable(rule, plainBatch);
        kernel.step(rule, vectorBatch);
        ASSERT_EQ(plainBatch.x, vectorBatch.x) << kernel.name << " trial " << trial;
        ASSERT_EQ(plainBatch.y, vectorBatch.y) << kernel.name << " trial " << trial;
        const std::uint32_t plainStops = advancePortable(limits, plainBatch, plainTracks);
        ASSERT_EQ(plainStops, kernel.advance(limits, vectorBatch, vectorTracks)) << kernel.name << " trial " << trial;
        ASSERT_EQ(plainBatch.x, vectorBatch.x) << kernel.name << " trial " << trial;
        ASSERT_EQ(plainBatch.y, vectorBatch.y) << kernel.name << " trial " << trial;
        ASSERT_EQ(plainTracks.offset, vectorTracks.offset) << kernel.name << " trial " << trial;
        ASSERT_EQ(plainTracks.generations, vectorTracks.generations) << kernel.name << " trial " << trial;
        ASSERT_EQ(plainTracks.width, vectorTracks.width) << kernel.name << " trial " << trial;
        batch = plainBatch;
        tracks = plainTracks;
        compared += 1;
      }
    }
  }
  if (compared == 0) GTEST_SKIP() << "no vector kernel on this processor";
#else
  GTEST_SKIP() << "no vector kernels on this architecture";
#endif
}

}  // namespace
}  // namespace ondrix::bitslice
