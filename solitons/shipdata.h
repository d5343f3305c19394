// Shipping data: a hunt over random rule tables for a soliton rule with a
// catalogue of twelve types, and the files made from its winner: the rule,
// the catalogue, eight example rows, the ghost row and the frame template.
// Everything is drawn from the program's own generator, so the same
// arguments give the same files.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ondrix/automaton/poll.h"
#include "ondrix/datafiles/files.h"
#include "ondrix/solitons/hunt.h"

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

struct HuntOptions {
  // Hears the trials done and the trials in all after every trial; a
  // cancelled poll stops the hunt, which throws Cancelled.
  Poll* poll = nullptr;
  // Hears every choice that beats the best before it.
  std::function<void(const HuntChoice&)> improved;
};

// Trials from..from+count-1 of the hunt: trial t draws a random table of
// variant t mod 3 at threshold 70 + 7t mod 22 percent, from the generator
// as the start-up leaves it, advanced by the draws of the trials before.
// The best is the highest score, the earliest trial among equals, so
// stretches merged by that order give what one run gives.
// Trials are numbered 0 up to huntTrialLimit (excluded); a stretch outside
// that throws std::invalid_argument. The trials skipped cost nothing: the
// generator jumps over their draws.
HuntChoice huntRules(int from, int count, const HuntOptions& options = {});

inline constexpr int huntTrialLimit = 2147483647;

// Shard `index` of `shards` of the trials from..from+count-1: its first
// trial and how many, the shards next to each other in order and within
// one trial of the same length. std::invalid_argument for a shard out of range
// or more shards than trials.
struct HuntShard {
  int from = 0, count = 0;
};
HuntShard huntShard(int from, int count, int index, int shards);

// The table trial t of the hunt draws.
RuleTable trialRule(int trial);

// The better of two choices by that order.
const HuntChoice& betterChoice(const HuntChoice& a, const HuntChoice& b);

// A stretch of a hunt as its result tells it: trials from..from+trials-1
// and the best it found, a rule and the trial said to draw it, if any.
struct HuntStretch {
  std::string name;  // where it came from, for the messages
  std::int64_t from = 0, trials = 0;
  bool found = false;
  std::vector<int> rule;
  std::int64_t trial = -1;  // -1 when the result gave no whole number
  std::string trialText;    // the trial as the result wrote it
  int shardIndex = 0, shardCount = 0;  // which of huntShard's shards it is; count 0: none
};

// The best of stretches that together cover one run of trials without gaps
// or overlaps, in any order (and, when they are shards, are every shard once); each winner is checked against the trial it
// names, reached by a jump of the generator, so a hostile stretch costs no
// more than a genuine one. Sets the run's first trial and its length.
// Throws std::invalid_argument, the message starting with the stretch's name.
HuntChoice mergeHuntStretches(std::vector<HuntStretch> stretches, int& from, int& trials);

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
