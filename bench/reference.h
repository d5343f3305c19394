// The plain reference: the step written as directly as possible, with an
// index wrap on every read. Benchmarks and differential tests compare the
// project's own code against it.
#pragma once

#include "automaton/automaton.h"

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
