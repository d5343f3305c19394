#include "bench/reference.h"

#include "automaton/reversal.h"

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
