#include "ondrix/automaton/reversal.h"

#include <algorithm>

#include "ondrix/automaton/poll.h"

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"

namespace ondrix {

namespace {

std::int32_t phasesBuilt(std::int32_t period) { return std::clamp(period, 0, maxPhases); }

// Phase codes of the pattern `code` after 1, 2, ... generations, each pass
// placing the previous shape at insertPos again.
void buildPhases(AutomatonState& ring, const std::function<void()>& placed, std::int32_t code, std::int32_t phases,
                 std::array<std::int32_t, maxPhases>& out) {
  ring.currentSoliton = code;
  for (std::int32_t j = 0; j < phases; ++j) {
    clearRing(ring);
    placePattern(ring);
    if (placed) placed();
    stepGeneration(ring);
    const std::int32_t next = encodePattern(ring, firstLiveCell(ring), codeWindow);
    out[j] = next;
    ring.currentSoliton = next;
  }
}

}  // namespace

void swapRing(AutomatonState& ring) {
  for (std::int32_t i = 0; i < ring.ringLength; ++i) ring.cells[i] = swapState(ring.cells[i]);
}

void stepBackward(AutomatonState& ring) {
  swapRing(ring);
  stepGeneration(ring);
  swapRing(ring);
}

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
  swapRing(ring);
  redrawUnlessDontShow(st, display);
}

bool returnsToSwappedStart(AutomatonState& ring, std::int64_t generations, Poll* poll) {
  const auto start = ring.cells;
  for (std::int64_t h = 0; h < 2; ++h) {
    if (h == 1) swapRing(ring);
    for (std::int64_t g = 0; g < generations; ++g) {
      if (poll && g % 4096 == 0 && !(*poll)(h * generations + g, 2 * generations)) throw Cancelled();
      stepGeneration(ring);
    }
  }
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    if (ring.cells[i] != swapState(start[i])) return false;
  }
  return true;
}

void reversePatternCode(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  ring.insertPos = 80;
  clearRing(ring);
  placePatternSwapped(ring);
  redrawUnlessDontShow(st, display);
  ring.reversedResult = encodePattern(ring, firstLiveCell(ring), codeWindow);
}

PhaseTables solitonPhaseTables(AutomatonState& ring, const Catalogue& catalogue, const std::function<void()>& placed) {
  PhaseTables tables;
  for (int k = 0; k < 12; ++k) {
    ring.currentSoliton = catalogue.solitonCode[k];
    ring.insertPos = 80;
    clearRing(ring);
    placePatternSwapped(ring);
    if (placed) placed();
    ring.reversedResult = encodePattern(ring, firstLiveCell(ring), codeWindow);
    tables.reversedSolitonCode[k] = ring.reversedResult;
  }
  ring.insertPos = 80;
  for (int k = 0; k < tagTypes; ++k) {
    buildPhases(ring, placed, catalogue.solitonCode[k], phasesBuilt(catalogue.solitonPeriod[k]), tables.phaseCode[k]);
  }
  for (int k = 0; k < tagTypes; ++k) {
    buildPhases(ring, placed, tables.reversedSolitonCode[k], phasesBuilt(catalogue.solitonPeriod[k]),
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
  return tables;
}

void buildSolitonPhaseTables(OndrixState& st, RingDisplay& display) {
  st.phases = solitonPhaseTables(st.ring, st.catalogue, [&] { redrawUnlessDontShow(st, display); });
}

}  // namespace ondrix
