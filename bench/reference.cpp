#include "bench/reference.h"

#include <algorithm>
#include <memory>

#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/ondrixstate.h"

namespace ondrix::reference {

void stepGeneration(AutomatonState& s) {
  s.liveCount = 0;
  for (std::int32_t i = 0; i < s.ringLength; ++i) {
    auto z = [&](std::int32_t j) { return s.cells[wrapIndex(s, j)] == stateC ? 1 : 0; };
    if (s.cells[i] == stateC || s.cells[i] == stateB) s.liveCount += 1;
    const int s1 = z(i - 1) + z(i + 1);
    const int s2 = z(i - 2) + z(i + 2);
    const int s3 = z(i - 3) + z(i + 3);
    const int s4 = z(i - 4) + z(i + 4);
    const std::uint8_t bit = s.ruleTable[27 * s1 + 9 * s2 + 3 * s3 + s4];
    if (s.cells[i] == stateC) {
      s.nextCells[i] = stateB;
      s.stepMarks[i] = markN;
    } else if (bit == 0) {
      s.stepMarks[i] = markO;
      s.nextCells[i] = s.cells[i] == stateB ? stateC : stateA;
    } else {
      s.stepMarks[i] = markP;
      s.nextCells[i] = s.cells[i] == stateB ? stateA : stateC;
    }
  }
  for (std::int32_t i = 0; i < s.ringLength; ++i) s.cells[i] = s.nextCells[i];
}

}  // namespace ondrix::reference

namespace ondrix::reference {

void tagSolitons(AutomatonState& ring, const PhaseTables& tables) {
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    if (ring.stepMarks[i] <= 77) continue;
    if (ring.cells[i] == stateA) {
      ring.stepMarks[i] = 0;
      continue;
    }
    const std::int32_t code = encodePattern(ring, i, 11);
    for (int t = 0; t <= 10; ++t) {
      bool found = false;
      for (int j = 0; j < tables.tagCodeCount[t] && j < 80; ++j) {
        if (tables.tagCode[t][j] == code) {
          found = true;
          break;
        }
      }
      if (found) {
        for (std::int32_t k = i; k < i + 11 && k < ringCapacity; ++k) ring.stepMarks[k] = static_cast<std::int16_t>(t + 1);
        break;
      }
    }
  }
}

}  // namespace ondrix::reference

namespace ondrix::reference {

namespace {

// The cleared ring with seed number `seed` written from insertPos on.
void clearSeed(AutomatonState& ring, int seed) {
  clearRing(ring);
  for (int j = 0; j < 8; ++j) {
    int digit = seed;
    for (int k = j; k < 7; ++k) digit /= 3;
    const std::int32_t pos = ring.insertPos + j;
    if (pos >= 0 && pos < ringCapacity) ring.cells[pos] = static_cast<std::uint8_t>(digit % 3);
  }
}

}  // namespace

void solitonSearch(OndrixState& st) {
  AutomatonState& ring = st.ring;
  Catalogue& c = st.catalogue;
  ring.insertPos = 80;
  c.Nsol = 0;
  c.Nstrun = 0;
  c.strangeSeen = 0;
  for (int seed = 0; seed < 6561; ++seed) {
    clearSeed(ring, seed);
    const std::int32_t start0 = firstLiveCell(ring);
    const std::int32_t code0 = encodePattern(ring, start0, 25);
    std::int32_t least = code0;
    for (int t = 0; t < 300; ++t) {
      reference::stepGeneration(ring);
      const std::int32_t start = firstLiveCell(ring);
      const std::int32_t code = encodePattern(ring, start, 25);
      if (code < least) least = code;
      if (code == code0) {
        if (start > start0 && c.Nsol < 5000) {
          bool known = false;
          for (std::int32_t k = 0; k < c.Nsol; ++k) known = known || c.solitonCode[k] == least;
          if (!known) {
            c.solitonShift[c.Nsol] = start - start0;
            c.solitonPeriod[c.Nsol] = t + 1;
            c.solitonCode[c.Nsol] = least;
            c.Nsol += 1;
          }
        }
        break;
      }
      if (ring.codeLastOffset >= 19) {
        c.Nstrun += 1;
        c.strangeSeen = 1;
        break;
      }
    }
  }
}

void auxSearch(OndrixState& st) {
  AutomatonState& ring = st.ring;
  Catalogue& c = st.catalogue;
  c.Nsol = 0;
  c.Nstrun = 0;
  c.strangeSeen = 0;
  for (int seed = 0; seed < 6561; ++seed) {
    clearSeed(ring, seed);
    // Both encodings of the seed, before and after the empty generation, see
    // the same window: the seed returns in place and is dropped.
    encodePattern(ring, firstLiveCell(ring), 25);
    encodePattern(ring, firstLiveCell(ring), 25);
  }
}

}  // namespace ondrix::reference

namespace ondrix::reference {

std::vector<ReturningRow> enumerateRows(const std::uint8_t* rule, int maxWidth, int maxPeriod, std::int64_t stride,
                                        std::int64_t* rows) {
  constexpr std::uint8_t stateOfDigit[3] = {stateA, stateB, stateC};
  auto ring = std::make_unique<AutomatonState>();
  ring->ringLength = maxWidth + 8 * maxPeriod + 8;
  std::copy(rule, rule + ruleTableSize, ring->ruleTable.begin());
  const std::int32_t at = 4 * maxPeriod + 4;
  // The live cells of the ring, from the first to the last, and where they start.
  const auto shape = [&](std::int32_t& first) {
    first = 0;
    std::int32_t last = ring->ringLength - 1;
    while (first < ring->ringLength && ring->cells[first] == stateA) ++first;
    while (last >= first && ring->cells[last] == stateA) --last;
    return std::vector<std::uint8_t>(ring->cells.begin() + first, ring->cells.begin() + last + 1);
  };
  std::vector<ReturningRow> out;
  std::int64_t index = 0, run = 0;
  for (int width = 1; width <= maxWidth; ++width) {
    std::int64_t count = 1;
    for (int j = 0; j < width; ++j) count *= 3;
    for (std::int64_t code = count / 3; code < count; ++code) {
      if (code % 3 == 0 || index++ % stride != 0) continue;
      run += 1;
      std::fill(ring->cells.begin(), ring->cells.begin() + ring->ringLength, stateA);
      std::int64_t v = code;
      for (int j = 0; j < width; ++j, v /= 3) ring->cells[at + j] = stateOfDigit[v % 3];
      std::int32_t first0 = 0, first = 0;
      const auto start = shape(first0);
      for (int t = 1; t <= maxPeriod; ++t) {
        reference::stepGeneration(*ring);
        const auto now = shape(first);
        if (now.empty()) break;
        if (now == start) {
          if (first != first0) out.push_back({code, t, first - first0});
          break;
        }
      }
    }
  }
  if (rows) *rows = run;
  return out;
}

}  // namespace ondrix::reference
