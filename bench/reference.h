// The plain reference: the step written as directly as possible, with an
// index wrap on every read. Benchmarks and differential tests compare the
// project's own code against it.
#pragma once

#include <vector>

#include "ondrix/automaton/automaton.h"

namespace ondrix::reference {

void stepGeneration(AutomatonState& s);

}  // namespace ondrix::reference

namespace ondrix {
struct PhaseTables;
}

namespace ondrix::reference {

// Tagging with the linear search over the tag codes, type by type.
void tagSolitons(AutomatonState& ring, const PhaseTables& tables);

}  // namespace ondrix::reference

namespace ondrix {
struct OndrixState;
}

namespace ondrix::reference {

// The soliton search as plainly as it reads: every seed on the whole ring,
// the reference step, a linear look-up of the codes recorded so far.
void solitonSearch(OndrixState& st);

}  // namespace ondrix::reference

namespace ondrix::reference {

// The auxiliary search as plainly as it reads: every seed written on the
// cleared ring, encoded, an empty generation, encoded again.
void auxSearch(OndrixState& st);

}  // namespace ondrix::reference

namespace ondrix::reference {

// A row that came back to its own shape moved, as the plain enumeration
// finds it: its code, the generations it took and the cells it moved.
struct ReturningRow {
  std::int64_t code;
  int period, shift;
};

// The enumeration as plainly as it reads: every row of 1..maxWidth cells
// with live cells at both ends (every `stride`-th of them, in the order of
// width and then code), one at a time on a ring of maxWidth + 8 maxPeriod +
// 8 cells, run with the reference step until it is its own shape again,
// for at most maxPeriod generations. Returns those that came back moved;
// `rows` receives the rows run.
std::vector<ReturningRow> enumerateRows(const std::uint8_t* rule, int maxWidth, int maxPeriod, std::int64_t stride = 1,
                                        std::int64_t* rows = nullptr);

}  // namespace ondrix::reference
