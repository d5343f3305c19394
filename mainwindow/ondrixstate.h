// Everything the program knows, in one object owned by the main window.
// Core operations take the parts they use by reference.
#pragma once

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/random.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/datafiles/recording.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/mainwindow/statistics.h"
#include "ondrix/rules/mills.h"
#include "ondrix/rules/randomrule.h"
#include "ondrix/solitons/catalogue.h"
#include "ondrix/solitons/threesolitons.h"

namespace ondrix {

struct OndrixState {
  AutomatonState ring;
  RandomGenerator random = startupRandomGenerator();
  Catalogue catalogue;
  PhaseTables phases;
  Statistics statistics;
  AuxRuleTable auxRuleTable{};
  RandomRuleSettings randomRule;
  MillParameters mills;
  ThreeSolitonTypes three;
  Recording recording;
  // The two rows that "Change" in "Show Soliton" exchanges.
  std::int16_t swapFirst = 0;
  std::int16_t swapSecond = 1;
  // The Ghost menu's "Dont show": set in the window layout, cleared by start-up.
  bool dontShow = true;
  // "Without clear": the soliton panels clear their third while it is off,
  // the mill and block commands clear the ring while it is on.
  bool withoutClear = false;
  // The View menu's "Stop at T = 0": a backward run stops when T is back at 0.
  bool stopAtStart = false;
};

// The state as start-up leaves it before it reads its files: drawing on,
// and a quiet ring of `length` cells under `rule`. Large: a caller that
// keeps it long puts it on the heap.
inline OndrixState startupState(const RuleTable& rule = {}, std::int32_t length = startupRingLength) {
  OndrixState st;
  st.dontShow = false;
  st.ring.ringLength = length;
  st.ring.ruleTable = rule;
  clearRing(st.ring);
  return st;
}

}  // namespace ondrix
