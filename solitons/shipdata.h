// Shipping data: a hunt over random rule tables for a soliton rule with a
// catalogue of twelve types, and the files made from its winner: the rule,
// the catalogue, eight example rows, the ghost row and the frame template.
// Everything is drawn from the program's own generator, so the same
// arguments give the same files.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "datafiles/files.h"
#include "solitons/hunt.h"

namespace ondrix {

struct HuntChoice {
  RuleTable rule{};
  std::vector<SolitonType> types;  // empty: no rule found
  int pairs = 0, speeds = 0;
  int trial = -1;  // the trial that drew the rule; -1 when given
  int score() const { return 12 * speeds + pairs; }
};

// Whether the rule offers a catalogue; fills the choice when it does.
bool evaluateRule(const RuleTable& rule, HuntChoice& out);

// Trials from..from+count-1 of the hunt: trial t draws a random table of
// variant t mod 3 at threshold 70 + 7t mod 22 percent, from the generator
// as the start-up leaves it, advanced by the draws of the trials before.
// The best is the highest score, the earliest trial among equals, so
// stretches merged by that order give what one run gives. `progress` hears
// of every trial done and of every improvement.
// Trials are numbered 0 up to huntTrialLimit (excluded); a stretch outside
// that throws std::invalid_argument. The trials skipped cost nothing: the
// generator jumps over their draws.
HuntChoice huntRules(int from, int count, const std::function<void(int trial, const HuntChoice* improved)>& progress);

inline constexpr int huntTrialLimit = 2147483647;

// The table trial t of the hunt draws.
RuleTable trialRule(int trial);

// The better of two choices by that order.
const HuntChoice& betterChoice(const HuntChoice& a, const HuntChoice& b);

// Writes solCA.dat, Sol.dat, Exp1.dat..Exp8.dat, tgho.dat and
// data/filedem.bmp into the folder (made when missing), all or nothing:
// the folder is replaced whole (replaceFolder), keeping the files it held
// that are not among these. Returns the report: the rule, the table of
// types, what each example shows. `written` tells whether the folder was
// replaced, or which file failed and why.
std::string writeShippedFiles(const std::string& folder, const HuntChoice& c, WriteOutcome& written);

// The cells of a code as letters A, B, C from its first cell (swapped: B and C exchanged).
std::string codeLetters(std::int32_t code, bool swapped = false);

}  // namespace ondrix
