#include "ondrix/automaton/automaton.h"

#include <algorithm>
#include <cstring>

#include "ondrix/automaton/poll.h"
#include "ondrix/automaton/stepkernels.h"

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

AutomatonState quietRing(const RuleTable& rule, std::int32_t length) {
  AutomatonState ring;
  ring.ringLength = length;
  ring.cells.fill(stateA);
  ring.ruleTable = rule;
  return ring;
}

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

namespace {

constexpr int margin = 4;

// The next generation of the `count` cells from `from` on, into nextCells,
// with their marks. z[k] is 1 where the cell at from + k is C; it must be
// valid from z[-4] to z[count + 3]. The cells get the next generation in the
// same pass. Returns how many of the cells were live. The AVX2 kernel where
// the processor has it, the portable one elsewhere.
std::int32_t stepCells(AutomatonState& s, std::int32_t from, std::int32_t count, const std::uint8_t* z) {
  const kernels::StepRun run{s.ruleTable.data(), s.cells.data() + from, z, s.nextCells.data() + from,
                             s.stepMarks.data() + from, count};
#if defined(ONDRIX_X86_KERNELS)
  if (processorFeatures().avx2) return kernels::stepCellsAvx2(run);
#endif
  return kernels::stepCellsPortable(run);
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
}

void runGenerations(AutomatonState& s, std::int64_t generations, Poll* poll) {
  for (std::int64_t g = 0; g < generations; ++g) {
    if (poll && g % 4096 == 0 && !(*poll)(g, generations)) throw Cancelled();
    stepGeneration(s);
  }
  if (poll) (*poll)(generations, generations);
}

void recordGenerations(AutomatonState& s, std::int64_t generations, std::uint8_t* rows, Poll* poll) {
  const auto length = static_cast<std::size_t>(s.ringLength);
  std::copy_n(s.cells.data(), length, rows);
  for (std::int64_t g = 0; g < generations; ++g) {
    if (poll && g % 4096 == 0 && !(*poll)(g, generations)) throw Cancelled();
    stepGeneration(s);
    std::copy_n(s.cells.data(), length, rows += length);
  }
  if (poll) (*poll)(generations, generations);
}

void stepSpan(AutomatonState& s, std::int32_t from, std::int32_t to) {
  const std::int32_t count = to - from + 1;
  std::uint8_t zero[ringCapacity + 2 * margin];
  for (std::int32_t k = 0; k < count + 2 * margin; ++k) zero[k] = s.cells[from - margin + k] == stateC;
  s.liveCount = stepCells(s, from, count, zero + margin);
}

}  // namespace ondrix
