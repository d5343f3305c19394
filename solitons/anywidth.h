// Every soliton of a rule with a small period, of any width. In the
// automaton's two-row form (x: the cell is C; y: it was C a generation
// before, which makes it B) a soliton of period p that moves s cells is a
// finite space-time of rows x_0 .. x_{p-1}, where the row after the last is
// the first moved by s and the row before the first is the last moved back
// by s. The search builds such space-times one column of p cells at a time
// from their left edge, in a frame that moves with the soliton, over states
// that hold the last eight columns: a soliton is a path from the quiet
// state back to it. Each state is
// kept once and the states are finite, so the search ends and misses
// nothing; a cycle on such a path stands for solitons of every width, a
// family. The rows of generation 0 found this way are then described as
// the enumeration describes them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/poll.h"
#include "ondrix/solitons/enumerate.h"

namespace ondrix {

inline constexpr int anyWidthPeriodLimit = 8;
// The widest narrowest phase listed for solitons on cycles: their number
// grows fast with it (periods up to 3 under the shipped rule: 24 to 19
// cells, 606 to 30, 12,420 to 40, which takes minutes).
inline constexpr int anyWidthListLimit = 32;

struct AnyWidthOptions {
  int maxPeriod = 2;  // 1..8
  // Only this shift when above 0 (at most 4 per generation); otherwise
  // every shift up to the rule's edge reach times the period.
  int shift = 0;
  unsigned threads = 0;  // 0: one per processor; the result does not depend on it
  // Bytes one search's states and their links may take (0: half the
  // machine's memory): a search that would take more stops before it does
  // and is reported refused, and longer periods are not searched.
  std::uint64_t maxMemory = 0;
  // Solitons whose space-times run through cycles are listed up to this
  // many cells in their narrowest phase (1..32); the others are all
  // listed, those of trains of solitons apart among them.
  int listWidth = 19;
  // Hears searches done (thousandths) and the searches in all; a cancelled
  // poll stops the search within some thousands of states: it throws Cancelled.
  Poll* poll = nullptr;
  // 1: build every space-time from its left edge; -1: from its right edge
  // (as its mirror image); 0: from the side whose states are fewer. The
  // solitons and families found are the same.
  int side = 0;
};

struct AnyWidthSoliton {
  EnumeratedSoliton entry;  // code64 0 when wider than 40 cells
  // Its space-time runs through a cycle of the state graph, which wider
  // solitons or trains of solitons share: such solitons are listed up to
  // the list width only.
  bool onCycle = false;
};

// Solitons of every width: generation 0 of member n (n = 0, 1, 2, ...) is
// `left`, then `repeat` n times, then `right`, with any A cells at the
// ends left out.
struct SolitonFamily {
  std::int32_t period = 0, shift = 0;
  Digits left, repeat, right;
  std::vector<AnyWidthSoliton> members;  // n = 0, 1, 2
  bool sideBySide = false;  // the members are solitons apart, a train, rather than one soliton each
  std::int64_t states = 0;  // in the cyclic part of the state graph its cycle lies in
};

// What the search of one period and shift took.
struct AnyWidthSearch {
  std::int32_t period = 0, shift = 0;
  std::int32_t stateBits = 0;  // the cells one state holds
  bool fromRight = false;      // built from the right edge, where that side's states were fewer
  std::int64_t states = 0;     // visited
  std::int64_t liveStates = 0; // of them, on a path back to the quiet state
  std::int64_t paths = 0;      // quiet-to-quiet paths followed
  std::int64_t cycles = 0;     // short cycles tried for families
  std::uint64_t bytes = 0;     // memory its states and links took at the most
  double seconds = 0;
  // Why it was not done (its states would not fit, or a shorter period's
  // did not): empty when it was.
  std::string refused;
};

struct AnyWidthEnumeration {
  RuleTable rule{};
  int maxPeriod = 0, shift = 0, listWidth = 0;
  std::vector<AnyWidthSoliton> solitons;  // by period, then code
  // From the cycles of up to 12 links (at most 400 of each cyclic part of
  // the state graph, 200 families a search): every cyclic part gives some,
  // but a part with many cycles more than are shown.
  std::vector<SolitonFamily> families;    // by period and shift, families before trains, then by width
  std::int64_t sideBySide = 0;            // patterns of solitons apart, left out of the list
  std::vector<AnyWidthSearch> searches;   // by period, then shift
  // Whether every search was done: the list is then complete.
  bool complete() const;
};

// std::invalid_argument for a period, shift or list width out of range, a
// shift no soliton of those periods can have under the rule, and a rule
// whose entry 0 is not 0.
AnyWidthEnumeration enumerateAnyWidth(const RuleTable& rule, const AnyWidthOptions& options);

// The cells one state of the search of period p holds, for every shift:
// eight columns of p cells.
int anyWidthStateBits(int period);

}  // namespace ondrix
