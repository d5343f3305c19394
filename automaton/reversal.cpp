#include "automaton/reversal.h"

#include <algorithm>

#include "mainwindow/ondrixstate.h"
#include "mainwindow/picture.h"

namespace ondrix {

namespace {

std::int32_t phasesBuilt(std::int32_t period) { return std::clamp(period, 0, maxPhases); }

// Phase codes of the pattern `code` after 1, 2, ... generations, each pass
// placing the previous shape at insertPos again.
void buildPhases(OndrixState& st, RingDisplay& display, std::int32_t code, std::int32_t phases,
                 std::array<std::int32_t, maxPhases>& out) {
  AutomatonState& ring = st.ring;
  ring.currentSoliton = code;
  for (std::int32_t j = 0; j < phases; ++j) {
    clearRing(ring);
    placePattern(ring);
    redrawUnlessDontShow(st, display);
    stepGeneration(ring);
    const std::int32_t next = encodePattern(ring, firstLiveCell(ring), codeWindow);
    out[j] = next;
    ring.currentSoliton = next;
  }
}

}  // namespace

void PhaseTables::indexTagCodes() {
  tagTypeOfCode.fill(0);
  for (int t = tagTypes - 1; t >= 0; --t) {  // earlier types overwrite later ones
    const int count = std::clamp(tagCodeCount[t], 0, 2 * maxPhases);
    for (int j = 0; j < count; ++j) {
      const std::int32_t code = tagCode[t][j];
      if (code > 0 && code < tagWindowCodes) tagTypeOfCode[code] = static_cast<std::uint8_t>(t + 1);
    }
  }
}

void reverseRing(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  ring.runBackward = ring.runBackward == 0 ? 1 : 0;
  for (std::int32_t i = 0; i < ring.ringLength; ++i) ring.cells[i] = swapState(ring.cells[i]);
  redrawUnlessDontShow(st, display);
}

void reversePatternCode(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  ring.insertPos = 80;
  clearRing(ring);
  placePatternSwapped(ring);
  redrawUnlessDontShow(st, display);
  ring.reversedResult = encodePattern(ring, firstLiveCell(ring), codeWindow);
}

void buildSolitonPhaseTables(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  PhaseTables& tables = st.phases;
  const Catalogue& catalogue = st.catalogue;

  for (int k = 0; k < 12; ++k) {
    ring.currentSoliton = catalogue.solitonCode[k];
    reversePatternCode(st, display);
    tables.reversedSolitonCode[k] = ring.reversedResult;
  }
  ring.insertPos = 80;
  for (int k = 0; k < tagTypes; ++k) {
    buildPhases(st, display, catalogue.solitonCode[k], phasesBuilt(catalogue.solitonPeriod[k]), tables.phaseCode[k]);
  }
  for (int k = 0; k < tagTypes; ++k) {
    buildPhases(st, display, tables.reversedSolitonCode[k], phasesBuilt(catalogue.solitonPeriod[k]),
                tables.reversedPhaseCode[k]);
  }
  for (int k = 0; k < tagTypes; ++k) tables.tagCodeCount[k] = 2 * phasesBuilt(catalogue.solitonPeriod[k]);
  // Type 11 is never recognised: its count is the plain doubled period.
  tables.tagCodeCount[11] = static_cast<std::int32_t>(2u * static_cast<std::uint32_t>(catalogue.solitonPeriod[11]));
  for (int k = 0; k < tagTypes; ++k) {
    const std::int32_t phases = phasesBuilt(catalogue.solitonPeriod[k]);
    for (std::int32_t j = 0; j < phases; ++j) {
      tables.tagCode[k][j] = tables.phaseCode[k][j];
      tables.tagCode[k][phases + j] = tables.reversedPhaseCode[k][j];
    }
  }
  tables.indexTagCodes();
  clearRing(ring);
}

}  // namespace ondrix
