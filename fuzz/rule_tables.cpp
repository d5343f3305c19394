// A rule table of any bytes (the first 162 input bytes; any nonzero entry
// counts as 1), over a row made of the rest: the project's step agrees with
// the plain reference step, generation by generation, and the run reversed
// comes back to the row.
#include <algorithm>

#include "ondrix/automaton/reversal.h"
#include "bench/reference.h"
#include "fuzz/fuzzsupport.h"

using namespace ondrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static AutomatonState ring, plain;
  const std::size_t ruleBytes = std::min<std::size_t>(size, ruleTableSize);
  ring.ruleTable.fill(0);
  std::copy_n(data, ruleBytes, ring.ruleTable.begin());
  static const std::int32_t lengths[] = {25, 64, 76, 131, 257};
  ring.ringLength = lengths[size % std::size(lengths)];
  ring.cells.fill(stateA);
  for (std::size_t i = ruleBytes; i < size; ++i) {
    ring.cells[(i - ruleBytes) % static_cast<std::size_t>(ring.ringLength)] = data[i] % 3;
  }
  const auto start = ring.cells;
  plain = ring;
  const std::int32_t n = ring.ringLength;
  for (int g = 0; g < 6; ++g) {
    stepGeneration(ring);
    reference::stepGeneration(plain);
    ONDRIX_CHECK(std::equal(ring.cells.begin(), ring.cells.begin() + n, plain.cells.begin()));
  }
  for (std::int32_t i = 0; i < n; ++i) ring.cells[i] = swapState(ring.cells[i]);
  for (int g = 0; g < 6; ++g) stepGeneration(ring);
  for (std::int32_t i = 0; i < n; ++i) ONDRIX_CHECK(ring.cells[i] == swapState(start[i]));
  return 0;
}
