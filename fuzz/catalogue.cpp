// The catalogue's decoding with its line ends, then the phase tables built
// from what it decoded and a ring tagged with them. The catalogue encodes
// and decodes back equal; the phase tables keep their bounds; every mark
// is a type or a step mark; a pattern reversed twice is itself.
#include <algorithm>

#include "ondrix/automaton/reversal.h"
#include "fuzz/fuzzsupport.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/solitons/catalogue.h"

using namespace ondrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static OndrixState st;
  st = OndrixState{};  // Dont show: the phase build does not redraw; the redraw below does
  st.ring.ringLength = 128;  // room for the build's patterns at cell 80, and quick
  for (int e : {6, 7, 13, 14, 25, 27, 36, 37, 38, 39, 49, 71}) st.ring.ruleTable[e] = 1;
  decodeSolitonFile(std::span(data, size), st.catalogue);
  const auto stored = translateLineEnds(catalogueImage(st.catalogue));
  Catalogue back;
  decodeSolitonFile(stored, back);
  ONDRIX_CHECK(catalogueImage(back) == catalogueImage(st.catalogue));

  NullDisplay display;
  buildSolitonPhaseTables(st, display);
  for (int k = 0; k < tagTypes; ++k) {
    ONDRIX_CHECK(st.phases.tagCodeCount[k] >= 0 && st.phases.tagCodeCount[k] <= 2 * maxPhases);
  }
  ONDRIX_CHECK(firstLiveCell(st.ring) == 128);
  st.ring.ringLength = 768;
  clearRing(st.ring);

  // A ring of the catalogued solitons, one generation on, tagged.
  for (int k = 0; k < 12; ++k) {
    st.ring.currentSoliton = st.catalogue.solitonCode[k];
    st.ring.insertPos = 10 + 60 * k;
    placePattern(st.ring);
  }
  stepGeneration(st.ring);
  drawRing(st, display);
  for (int i = 0; i < 768; ++i) {
    const auto mark = st.ring.stepMarks[i];
    ONDRIX_CHECK((mark >= 0 && mark <= 11) || (mark >= markN && mark <= markP));
    ONDRIX_CHECK(st.ring.cells[i] <= stateA);
  }

  // Reversing a pattern's code twice gives it back, for exact codes that
  // start with a live cell.
  for (int k = 0; k < 12; ++k) {
    const std::int32_t code = st.catalogue.solitonCode[k];
    if (code <= 0 || code >= 1162261467 || code % 3 == 0) continue;
    st.ring.currentSoliton = code;
    reversePatternCode(st, display);
    st.ring.currentSoliton = st.ring.reversedResult;
    reversePatternCode(st, display);
    ONDRIX_CHECK(st.ring.reversedResult == code);
  }
  return 0;
}
