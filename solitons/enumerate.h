// Every soliton of a rule up to a width and a period, by trying every row:
// each row of at most `maxWidth` cells with live cells at both ends is run
// under the rule's first half until it comes back to its own shape, and it
// is a soliton when it comes back moved. Unlike the seed search this is
// complete: what it does not list, the rule does not have.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/poll.h"
#include "ondrix/solitons/catalogue.h"

namespace ondrix {

inline constexpr int enumerateWidthLimit = 24;
inline constexpr int codeWidthLimit = 19;    // the widest row a 32-bit pattern code holds
inline constexpr int code64WidthLimit = 40;  // the widest row a 64-bit code holds
inline constexpr int enumeratePeriodLimit = 40;

// A row as code digits, 0 for A, 1 for B, 2 for C, from its first live
// cell to its last.
using Digits = std::vector<std::uint8_t>;

// A run's finished part, to resume it from: the shard's first `unitsDone`
// units of rows (of `units`) are done, with the rows run in them and those
// that came back (cells as C and B bits, cell j bit j; width, period and
// shift).
struct EnumerationCheckpoint {
  RuleTable rule{};
  int maxWidth = 0, maxPeriod = 0, shardIndex = 0, shardCount = 1;
  std::int64_t unitsDone = 0, units = 0, candidates = 0;
  struct Row {
    std::uint64_t x = 0, y = 0;
    int width = 0, period = 0;
    std::int64_t shift = 0;
    bool operator==(const Row&) const = default;
  };
  std::vector<Row> rows;
};

struct EnumerateOptions {
  int maxWidth = 12;   // 1..24
  int maxPeriod = 12;  // 1..40
  // Worker threads; 0 takes one per processor. The result does not depend on it.
  unsigned threads = 0;
  // Whether to run the seed search too, to tell which solitons it finds.
  bool markSeedSearch = true;
  // Hears the rows covered so far and the rows in all, from the worker that
  // covered them, after every unit of rows (a few hundred times a second):
  // one call at a time, counts increasing. The seed search that follows
  // reports nothing but stops when the poll is cancelled. A cancelled poll
  // stops the enumeration within a unit of rows; it throws Cancelled.
  Poll* poll = nullptr;
  // Shard `shardIndex` of `shardCount`: a fixed part of the rows, the same
  // on every machine; mergeEnumerations puts the shards back together.
  int shardIndex = 0, shardCount = 1;
  // The rule's own edge reach, and rows in one word while they fit; false
  // takes the reach of any rule (4) and every row in the words the widest
  // needs, for comparing. The result is the same either way.
  bool ruleReach = true;
  // A checkpoint of this run (the same rule, bounds and shard) to go on
  // from; std::invalid_argument when it is of another.
  const EnumerationCheckpoint* resume = nullptr;
  // Hears what is done, from the calling thread, between stretches of work
  // at least `checkpointEvery` apart, and once more at the end.
  std::function<void(const EnumerationCheckpoint&)> checkpoint;
  std::chrono::milliseconds checkpointEvery{60000};
};

struct EnumeratedSoliton {
  std::int32_t code = 0;     // of `cells`; 0 when they are wider than 19 cells: no 32-bit code holds them
  std::uint64_t code64 = 0;  // of `cells`, to 40 cells
  std::int32_t period = 0;   // generations until it is its own shape again
  std::int32_t shift = 0;    // cells moved meanwhile, towards higher indices
  std::int32_t speed = 0;    // trunc(400 shift / period)
  std::int32_t width = 0;    // its widest phase
  std::int32_t narrowest = 0;  // its narrowest phase: what a width bound on the rows run finds
  // Of the phases that move towards higher indices, of the soliton and of
  // its twin (mirrored, B and C exchanged), the one with the smallest code.
  Digits cells;
  // When the twin's phases are other shapes than the soliton's own, the
  // smallest of the other side's (the twin's when `cells` is the soliton's
  // own): what a search may report for the same entry. Empty otherwise.
  Digits twinCells;
  bool seedSearch = false;  // the seed search of a 768-cell ring finds it
};

struct Enumeration {
  RuleTable rule{};
  int maxWidth = 0, maxPeriod = 0;
  int shardIndex = 0, shardCount = 1;
  std::int64_t rows = 0;        // rows with live cells at both ends, up to the width (of the shard)
  std::int64_t candidates = 0;  // of them run: one of each mirrored and exchanged four
  // Patterns that come back moved but are solitons side by side that never
  // act on each other; left out of the list, counted like the solitons.
  std::int64_t sideBySide = 0;
  std::vector<std::uint64_t> sideBySideCodes;  // their 64-bit codes, increasing
  std::vector<EnumeratedSoliton> solitons;     // by period, then code
  // The shapes moving towards higher indices the list stands for: an entry
  // and, when it has one, its twin's (what the seed search counts).
  std::int64_t shapes() const;
};

// Shards of one enumeration, each once, in any order, as the one run would
// give it. std::invalid_argument when they are not one complete set under
// one rule and the same bounds, or disagree on an entry.
Enumeration mergeEnumerations(std::vector<Enumeration> shards);

// Throws Cancelled when its poll was cancelled, std::invalid_argument for a
// width, period or shard out of range, and for
// a rule whose entry 0 is not 0: there the background itself changes, and
// a pattern on it has no meaning.
Enumeration enumerateSolitons(const RuleTable& rule, const EnumerateOptions& options);

// The farthest an edge of a row's live cells moves in one generation under
// the rule, outwards or inwards (0 to 4): the farthest an A cell with C
// cells on one side only (the nearest that far away) can become C. The step
// backwards is the step forwards with B and C exchanged, so an edge falls
// back no faster than it grows.
int edgeReach(const RuleTable& rule);

// A row from its letters, A, B and C (or a, b, c) from its first cell;
// std::invalid_argument names any other character.
Digits letterDigits(std::string_view letters);

// The row as a soliton: run from where it stands until its shape first
// comes back, within `maxPeriod` generations (at most 900), it is the
// list entry of describeSoliton; nothing when the shape does not come back
// in time, comes back in place, or dies out. A cells at its ends are not
// part of it. Throws std::invalid_argument for a rule whose entry 0 is not
// 0, as the enumeration does.
std::optional<EnumeratedSoliton> identifySoliton(const RuleTable& rule, const Digits& row, int maxPeriod = 900);

// The cells with B and C exchanged: the row that runs the other way in time.
Digits exchanged(Digits cells);

// The soliton's twin, its mirror image with B and C exchanged (which moves
// the same way), as cells from the first; and whether the twin is one of
// the soliton's own phases.
Digits twinCells(const Digits& cells);
bool isOwnTwin(const RuleTable& rule, const EnumeratedSoliton& s);

// What a pattern is, found by running it alone on the longest ring.
enum class PatternKind {
  soliton,     // its shape comes back moved
  oscillator,  // its shape comes back in place (period 1: it stands still)
  sideBySide,  // solitons apart that never meet: each at least as fast to the right as the one before it
  dies,        // nothing is left
  unknown,     // none of these within the bound
};
struct PatternIdentity {
  PatternKind kind = PatternKind::unknown;
  // soliton, oscillator: generations until the shape is back; dies: until
  // nothing is left.
  std::int32_t period = 0;
  std::vector<EnumeratedSoliton> solitons;  // soliton: it; sideBySide: each, from the first cell on
  std::vector<int> directions;              // of each: +1 towards higher cells, -1 towards lower
  std::int32_t bound = 0;                   // the generations it was run for at most
};

// Runs the row (A cells at its ends left out) for at most `bound`
// generations, fewer when it could grow round the longest ring, and says
// what it is. std::invalid_argument for a rule whose entry 0 is not 0.
PatternIdentity identifyPattern(const RuleTable& rule, const Digits& row, int bound = 900);

// The list as a catalogue: its first 5000 solitons with a 32-bit code (19
// cells at most) in order, their code, period and shift.
Catalogue enumeratedCatalogue(const Enumeration& e);

// The digits of a pattern code, empty for code 0 (and for negative codes):
// the first cell is the least significant digit (116 is C C A B B).
Digits codeDigits(std::int64_t code);
Digits codeDigits64(std::uint64_t code);
std::int64_t digitsCode(const Digits& row);
std::uint64_t digitsCode64(const Digits& row);  // exact to 40 cells

// Whether two rows, the left at cell `leftAt` and the right at `rightAt`
// of a quiet ring of `length` cells, run together for `generations` give
// what each gives alone: they share no cell and never act on each other.
// False too when live cells come within `margin` cells of the ring's ends.
bool runApart(const RuleTable& rule, std::int32_t length, const Digits& left, std::int32_t leftAt, const Digits& right,
              std::int32_t rightAt, int generations, std::int32_t margin = 0);

// Whether the row splits at a run of A cells into two parts that, each run
// alone, give the row's own generations for `period` generations and are
// their own shapes again after them.
bool sideBySide(const RuleTable& rule, const Digits& row, int period);

// The first of the row's narrowest phases (the phases the enumeration
// runs) that splits so, of the row's `period` generations from where it
// stands; nothing when none does.
std::optional<Digits> narrowestPhaseApart(const RuleTable& rule, const Digits& row, int period);

// The row split at runs of A cells into parts that run apart for `period`
// generations, as far as it splits, from the first cell on: the row alone
// when it does not split.
std::vector<Digits> partsApart(const RuleTable& rule, const Digits& row, int period);

// The list entry of a row that comes back to its shape after `period`
// generations moved by `shift` cells (negative: towards lower indices),
// its code and cells those of the smallest phase; nothing when the row does
// not do that, or every phase is wider than 40 cells (with `anyWidth`,
// phases of any width count, and code64 is 0 for cells wider than 40).
// Periods up to some 900 generations, the row run on the longest ring.
std::optional<EnumeratedSoliton> describeSoliton(const RuleTable& rule, const Digits& row, int period, int shift,
                                                bool anyWidth = false);

// The row without the A cells at its ends.
Digits trimmed(const Digits& row);

// Whether row a's code is below row b's, for rows of any width with live
// cells at both ends: the wider row has the larger code, and of two as
// wide the last cell where they differ decides.
bool codeBelow(const Digits& a, const Digits& b);

}  // namespace ondrix
