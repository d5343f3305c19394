// The automaton: a ring of cells in three states, its rule table, the run
// parameters, and the ring operations every command is built from.
#pragma once

#include <array>
#include <cstdint>

namespace ondrix {

class Poll;

// Cell states. The letters are what the user sees.
inline constexpr std::uint8_t stateC = 0;  // live; the only state the rule counts
inline constexpr std::uint8_t stateB = 1;  // live; always produced from C
inline constexpr std::uint8_t stateA = 2;  // background

// Marks that a generation leaves on every ring cell.
inline constexpr std::int16_t markN = 78;  // C became B
inline constexpr std::int16_t markO = 79;  // table gave 0: B became C, A stayed A
inline constexpr std::int16_t markP = 80;  // table gave 1: B became A, A became C

inline constexpr std::int32_t ringCapacity = 7680;  // 768 x 10
inline constexpr int ruleTableSize = 162;           // two halves of 81
inline constexpr int ruleHalfSize = 81;             // the half the step reads
inline constexpr int historySize = 1000;
inline constexpr std::int32_t startupRingLength = 768;  // three rows of 256, as start-up sets it
inline constexpr int codeWindow = 25;  // cells the code of a whole soliton is read from

// Cells placed by one pattern placement and read by one encoding window.
inline constexpr int placementWidth = 30;

// A rule table: the 81 entries the step reads, then 81 more the files keep.
using RuleTable = std::array<std::uint8_t, ruleTableSize>;

// The automaton state and its run parameters. Every value starts as it is
// when the program starts, before the start-up sequence runs.
struct AutomatonState {
  std::array<std::uint8_t, ringCapacity> cells{};      // all state C at start
  std::array<std::uint8_t, ringCapacity> nextCells{};  // scratch of the step
  std::array<std::int16_t, ringCapacity> stepMarks{};
  RuleTable ruleTable{};

  std::int32_t ringLength = 256;
  std::int16_t stepsPerTick = 4;
  std::int32_t timeStep = 0;
  std::uint8_t runBackward = 0;
  std::int32_t insertPos = 80;
  std::int32_t currentSoliton = 7;
  static constexpr std::int32_t originX = 10;  // x pixel of cell 0
  static constexpr std::int32_t originY = 12;  // centre line of the first row
  std::int32_t liveCount = 0;
  std::int32_t codeStart = 0;
  std::int32_t codeLastOffset = 0;
  std::int32_t reversedResult = 0;
  std::int32_t sampleCount = 0;
  std::array<std::int32_t, historySize> populationHistory{};
};

// A ring of `length` cells under the rule, every cell of the storage A:
// what off-screen work starts from.
AutomatonState quietRing(const RuleTable& rule, std::int32_t length = startupRingLength);

// Sets cells 0..ringLength-1 to A; cells beyond the ring keep their states.
void clearRing(AutomatonState& s);

// Folds i back onto the ring with one correction; i must lie in
// -ringLength..2*ringLength-1.
std::int32_t wrapIndex(const AutomatonState& s, std::int32_t i);

// Smallest ring index whose cell is not A, or ringLength when there is none.
std::int32_t firstLiveCell(const AutomatonState& s);

// Pattern code of cells start..start+width-1, read without wrap-around;
// positions outside the storage read as background. Sets codeStart, and
// codeLastOffset to the offset of the last live cell (unchanged when none).
// The sum and the weight wrap around in 32 bits like the stored codes do.
std::int32_t encodePattern(AutomatonState& s, std::int32_t start, std::int32_t width);

// Writes currentSoliton into cells insertPos..insertPos+29 without
// wrap-around: digit 1 writes B, digit 2 writes C, other digits leave the
// cell alone. Positions outside the storage are skipped.
void placePattern(AutomatonState& s);

// The same with B and C exchanged: digit 1 writes C, digit 2 writes B.
void placePatternSwapped(AutomatonState& s);

// Either placement, writing only ring cells 0..ringLength-1.
void placePatternInRing(AutomatonState& s, bool swapped);

// One generation over cells 0..ringLength-1. Writes stepMarks of the ring
// cells and liveCount (live cells before the step). Does not allocate.
void stepGeneration(AutomatonState& s);

// `generations` generations; the poll hears every 4096th and the last, and
// a cancelled poll stops the run between generations (Cancelled).
void runGenerations(AutomatonState& s, std::int64_t generations, Poll* poll = nullptr);

// The ring's cells now and after each of `generations` generations, one
// row of ringLength bytes after the other, into `rows` ((generations + 1)
// ringLength bytes). Polled as runGenerations is.
void recordGenerations(AutomatonState& s, std::int64_t generations, std::uint8_t* rows, Poll* poll = nullptr);

// The same generation restricted to cells from..to, for a ring whose cells
// outside from + 4 .. to - 4 are all A under a table whose entry 0 is 0: the
// cells outside the span would stay A. Needs 4 <= from and to + 4 < ringLength.
// Marks and liveCount cover the span only.
void stepSpan(AutomatonState& s, std::int32_t from, std::int32_t to);

}  // namespace ondrix
