// Everything the program knows, in one object owned by the main window.
// Core operations take the parts they use by reference.
#pragma once

#include "automaton/automaton.h"
#include "automaton/random.h"
#include "rules/mills.h"
#include "rules/randomrule.h"
#include "solitons/threesolitons.h"

namespace ondrix {

struct OndrixState {
  AutomatonState ring;
  RandomGenerator random = startupRandomGenerator();
  RandomRuleSettings randomRule;
  MillParameters mills;
  ThreeSolitonTypes three;
};

}  // namespace ondrix
