// Rule climbs, which flip one table entry at a time and keep the flips under
// which the search finds solitons and fewer seeds that spread, and the
// routines of the 54-entry auxiliary table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/solitons/search.h"

namespace ondrix {

struct OndrixState;
struct RingDisplay;

// Acceptance of a flip, beside "Nstrun dropped": Nsol did not drop
// (Button15), or Nsol is at least 14 (Button17).
enum class ClimbTest { keepSolitons, atLeastFourteen };

// A climb's evaluation of a flip: the search's counts under the flipped
// table against the best before it. Accepted when the strange runs
// dropped and the test holds.
struct SearchCounts {
  std::int32_t solitons = 0, strangeRuns = 0;
};
bool climbAccepts(ClimbTest test, SearchCounts best, SearchCounts now);

struct ClimbOptions {
  SearchOptions search;
  // Hears, before each flip, the flips done and the flips of the passes
  // begun (so the pass is total / entries); a cancelled poll stops the
  // climb before its next flip, which throws Cancelled. The table then
  // holds the best flips, as after a finished pass.
  Poll* poll = nullptr;
  // Where each accepted table is saved: the window's file (ca.dat, Exr.dat)
  // when unset; nowhere when empty.
  std::optional<std::string> saveAs;
};

// Button15 / Button17: passes over the 162 entries of the rule table until a
// pass accepts nothing. An accepted flip shows " i=<pass> Nsol=<n>
// Nstrun=<m>" and writes "ca.dat"; a rejected one is flipped back.
void ruleClimb(OndrixState& st, RingDisplay& display, ClimbTest test, const ClimbOptions& options = {});

// Button13: the same over the 54 auxiliary entries with auxSearch and the
// test of Button15, writing "Exr.dat".
void auxClimb(OndrixState& st, RingDisplay& display, const ClimbOptions& options = {});

// The two bit layouts by which a 16-bit number fills the auxiliary table:
// entry 27h + 9a + 3b + c takes bit h + 2[a < 2] + 4[b != 0] + 8[c != 0]
// (first) or h + 2[a != 0] + 4[b != 0] + 8[c != 0] (second); entry 0 is 0.
enum class AuxLayout { first, second };
void auxRuleFromNumber(AuxRuleTable& aux, std::uint16_t number, AuxLayout layout);

// "main 4": auxSearch under every number of the first layout, showing
// "<R> Nsol=<best> j=<best R>" every 256 numbers; the first best wins.
// The poll hears every 256th number of the 65536 and may cancel.
void tryAllAuxRules(OndrixState& st, RingDisplay& display, Poll* poll = nullptr);

// "del 277 (7)", "del 21 (8)", "del 1044 (9)": one number, then auxSearch.
void auxRuleAndSearch(OndrixState& st, RingDisplay& display, std::uint16_t number, AuxLayout layout);

// Button16: every rule entry 81h + 27a + 9b + 3c + d becomes 1 where the
// auxiliary entry 27h + 9a + 3b + c is 1, else 0.
void expandAuxRuleTable(OndrixState& st);

}  // namespace ondrix
