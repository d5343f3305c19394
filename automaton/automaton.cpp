#include "automaton/automaton.h"

#include <cstring>

namespace ondrix {

namespace {

bool inStorage(std::int32_t i) { return i >= 0 && i < ringCapacity; }

// Writes the 30 digits of currentSoliton from insertPos on: digit 1 writes
// stateForOne, digit 2 writes stateForTwo. Positions from `end` on are skipped.
void placeDigits(AutomatonState& s, std::uint8_t stateForOne, std::uint8_t stateForTwo, std::int32_t end) {
  std::int32_t code = s.currentSoliton;
  for (int k = 0; k < placementWidth; ++k) {
    const std::int32_t digit = code % 3;  // truncating: -2..2
    code = (code - digit) / 3;
    const std::int64_t pos = std::int64_t{s.insertPos} + k;
    if (pos < 0 || pos >= end) continue;
    if (digit == 1) s.cells[pos] = stateForOne;
    if (digit == 2) s.cells[pos] = stateForTwo;
  }
}

}  // namespace

void clearRing(AutomatonState& s) {
  std::memset(s.cells.data(), stateA, static_cast<std::size_t>(s.ringLength));
}

std::int32_t wrapIndex(const AutomatonState& s, std::int32_t i) {
  if (i < 0) return i + s.ringLength;
  if (i > s.ringLength - 1) return i - s.ringLength;
  return i;
}

std::int32_t firstLiveCell(const AutomatonState& s) {
  for (std::int32_t i = 0; i < s.ringLength; ++i) {
    if (s.cells[i] != stateA) return i;
  }
  return s.ringLength;
}

std::int32_t encodePattern(AutomatonState& s, std::int32_t start, std::int32_t width) {
  std::uint32_t sum = 0;
  std::uint32_t weight = 1;
  s.codeStart = start;
  for (std::int32_t k = 0; k < width; ++k) {
    const std::int32_t pos = start + k;
    const std::uint8_t c = inStorage(pos) ? s.cells[pos] : stateA;
    if (c == stateB) {
      sum += weight;
      s.codeLastOffset = k;
    } else if (c == stateC) {
      sum += 2 * weight;
      s.codeLastOffset = k;
    }
    weight *= 3;
  }
  return static_cast<std::int32_t>(sum);
}

void placePattern(AutomatonState& s) { placeDigits(s, stateB, stateC, ringCapacity); }

void placePatternSwapped(AutomatonState& s) { placeDigits(s, stateC, stateB, ringCapacity); }

void placePatternInRing(AutomatonState& s, bool swapped) {
  if (swapped) placeDigits(s, stateC, stateB, s.ringLength);
  else placeDigits(s, stateB, stateC, s.ringLength);
}

// On x86-64 the step is built twice, for AVX2 and for any x86-64, and the
// loader picks the one the processor runs: the wider vectors nearly halve
// the time of a generation.
#if defined(__x86_64__) && defined(__GNUC__)
#define ONDRIX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ONDRIX_VECTOR_CLONES
#endif

namespace {

constexpr int margin = 4;

// The next generation of the `count` cells from `from` on, into nextCells,
// with their marks. z[k] is 1 where the cell at from + k is C; it must be
// valid from z[-4] to z[count + 3]. Returns how many of the cells were live.
ONDRIX_VECTOR_CLONES std::int32_t stepCells(AutomatonState& s, std::int32_t from, std::int32_t count,
                                            const std::uint8_t* z) {
  // Rule index 27*s1 + 9*s2 + 3*s3 + s4 of every cell; this loop vectorises.
  std::uint8_t index[ringCapacity];
  for (std::int32_t i = 0; i < count; ++i) {
    index[i] = static_cast<std::uint8_t>(27 * (z[i - 1] + z[i + 1]) + 9 * (z[i - 2] + z[i + 2]) +
                                         3 * (z[i - 3] + z[i + 3]) + (z[i - 4] + z[i + 4]));
  }

  // The table bit of every cell: the one gather of the step (32-bit entries,
  // so that AVX2 can gather them).
  std::uint32_t bitOf[ruleHalfSize];
  for (int k = 0; k < ruleHalfSize; ++k) bitOf[k] = s.ruleTable[k] != 0;
  std::uint8_t bit[ringCapacity];
  for (std::int32_t i = 0; i < count; ++i) bit[i] = bitOf[index[i]];

  // Next state and mark, branch-free so that it vectorises:
  //   C -> B, mark N;  B -> A (bit 1) or C (bit 0);  A -> C (bit 1) or A (bit 0);
  // marks O and P for bits 0 and 1. Any other byte behaves as A.
  const std::uint8_t* cells = s.cells.data() + from;
  std::uint8_t* next = s.nextCells.data() + from;
  std::int16_t* marks = s.stepMarks.data() + from;
  std::int32_t live = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint8_t c = cells[i];
    const std::uint8_t isC = c == stateC;
    const std::uint8_t isB = c == stateB;
    const std::uint8_t ifNotC = static_cast<std::uint8_t>(2 * (isB ^ bit[i] ^ 1));
    next[i] = isC ? stateB : ifNotC;
    marks[i] = static_cast<std::int16_t>(isC ? markN : markO + bit[i]);
    live += isC | isB;
  }
  return live;
}

}  // namespace

void stepGeneration(AutomatonState& s) {
  const std::int32_t n = s.ringLength;
  // C-indicator of every ring cell, with the four cells of the other end
  // copied beside each end so the neighbourhood needs no wrap per read.
  std::uint8_t zero[ringCapacity + 2 * margin];
  std::uint8_t* z = zero + margin;
  for (std::int32_t i = 0; i < n; ++i) z[i] = s.cells[i] == stateC;
  for (int k = 1; k <= margin; ++k) {
    z[-k] = z[n - k];
    z[n - 1 + k] = z[k - 1];
  }
  s.liveCount = stepCells(s, 0, n, z);
  std::memcpy(s.cells.data(), s.nextCells.data(), static_cast<std::size_t>(n));
}

void stepSpan(AutomatonState& s, std::int32_t from, std::int32_t to) {
  const std::int32_t count = to - from + 1;
  std::uint8_t zero[ringCapacity + 2 * margin];
  for (std::int32_t k = 0; k < count + 2 * margin; ++k) zero[k] = s.cells[from - margin + k] == stateC;
  s.liveCount = stepCells(s, from, count, zero + margin);
  std::memcpy(s.cells.data() + from, s.nextCells.data() + from, static_cast<std::size_t>(count));
}

}  // namespace ondrix
