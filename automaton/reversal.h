// Reversal of time, and the tables of soliton phases that the picture uses
// to recognise every catalogued soliton in both orientations.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "ondrix/automaton/automaton.h"

namespace ondrix {

struct Catalogue;
class Poll;
struct OndrixState;
struct RingDisplay;

inline constexpr int tagTypes = 11;         // types 0..10 are recognised
inline constexpr int maxPhases = 40;        // phases kept per type
inline constexpr int tagWindow = 11;        // cells of a recognised soliton
inline constexpr std::int32_t tagWindowCodes = 177147;  // 3^11

struct PhaseTables {
  std::array<std::int32_t, 12> reversedSolitonCode{};
  std::array<std::array<std::int32_t, maxPhases>, 12> phaseCode{};
  std::array<std::array<std::int32_t, maxPhases>, 12> reversedPhaseCode{};
  std::array<std::int32_t, 12> tagCodeCount{};
  std::array<std::array<std::int32_t, 2 * maxPhases>, 12> tagCode{};

  // For every code of an 11-cell window: 1 + the first type whose tag codes
  // hold it, or 0. Derived from tagCode and tagCodeCount by indexTagCodes.
  std::array<std::uint8_t, tagWindowCodes> tagTypeOfCode{};

  // Rebuilds tagTypeOfCode; call after changing tagCode or tagCodeCount.
  void indexTagCodes();
};

// The exchange of B and C that turns time back; A stays A.
constexpr std::uint8_t swapState(std::uint8_t c) {
  return c == stateC ? stateB : c == stateB ? stateC : c;
}

// Exchanges B and C in every ring cell.
void swapRing(AutomatonState& ring);

// The generation before: B and C exchanged, a step, exchanged again. The
// marks are those of that step, not of the generation before.
void stepBackward(AutomatonState& ring);

// Runs the ring `generations` generations, exchanges B and C and runs as
// many again: the run back that a reversible rule always makes. Says
// whether the ring is now its start with B and C exchanged. The poll hears
// both halves as one.
bool returnsToSwappedStart(AutomatonState& ring, std::int64_t generations, Poll* poll = nullptr);

// The phase tables of the catalogue's types under the ring's rule and
// length, as buildSolitonPhaseTables builds them; `placed` hears every
// pattern placed before its generation is run. Leaves the ring cleared.
PhaseTables solitonPhaseTables(AutomatonState& ring, const Catalogue& catalogue,
                               const std::function<void()>& placed = {});

// "Revers": toggles runBackward, exchanges B and C in the ring cells and
// redraws unless Dont show. timeStep and the marks are left alone.
void reverseRing(OndrixState& st, RingDisplay& display);

// Sets reversedResult to the code of currentSoliton with B and C exchanged,
// leaving that pattern on a cleared ring at cell 80 and insertPos at 80.
void reversePatternCode(OndrixState& st, RingDisplay& display);

// Builds the reversed codes, the phase codes of both orientations and the
// tag codes of the catalogue's types under the rule table in force, and
// clears the ring. Types with a period above 40 keep 40 phases; a period of
// 0 or less builds none. tagCodeCount is twice the phases built.
void buildSolitonPhaseTables(OndrixState& st, RingDisplay& display);

}  // namespace ondrix
