// A row file's bytes over the ring (the first 162 input bytes are the rule table),
// three generations, a redraw into a display that draws nothing, and the
// statistics. A refused row leaves the ring as it was; the cells are always
// states; the statistics stay within the ring; and the generations reversed
// come back to the row.
#include <algorithm>

#include "ondrix/automaton/reversal.h"
#include "ondrix/datafiles/rowfiles.h"
#include "fuzz/fuzzsupport.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/statistics.h"

using namespace ondrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t ruleBytes = std::min<std::size_t>(size, ruleTableSize);
  static OndrixState st;
  static const std::int32_t lengths[] = {25, 76, 250, 256, 760, 768, 2500, 2560, 7600, 7680};
  RuleTable rule{};
  std::copy(data, data + ruleBytes, rule.begin());
  st = startupState(rule, lengths[size % std::size(lengths)]);
  const auto before = st.ring.cells;

  NullDisplay display;
  const RowLoad outcome = decodeRow(lineFileName, std::span(data + ruleBytes, size - ruleBytes), st.ring).outcome;
  if (outcome == RowLoad::rejected) ONDRIX_CHECK(st.ring.cells == before);
  const auto start = st.ring.cells;
  const std::int32_t n = st.ring.ringLength;
  for (int g = 0; g < 3; ++g) stepGeneration(st.ring);
  drawRing(st, display);
  updateStatistics(st, display);
  ONDRIX_CHECK(std::all_of(st.ring.cells.begin(), st.ring.cells.begin() + n, [](auto c) { return c <= stateA; }));
  const Statistics& s = st.statistics;
  ONDRIX_CHECK(s.spanFirst >= 0 && s.spanFirst <= n && s.spanLast >= 0 && s.spanLast < n);
  ONDRIX_CHECK(s.countB + s.countC <= n && st.ring.sampleCount == 1);

  reverseRing(st, display);
  for (int g = 0; g < 3; ++g) stepGeneration(st.ring);
  reverseRing(st, display);
  ONDRIX_CHECK(std::equal(start.begin(), start.begin() + n, st.ring.cells.begin()));
  return 0;
}
