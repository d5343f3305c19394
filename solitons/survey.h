// The collision survey: every ordered pair of catalogue types sent head-on
// at each other, and what comes out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ondrix/automaton/poll.h"
#include "ondrix/mainwindow/spacetime.h"
#include "ondrix/solitons/hunt.h"

namespace ondrix {

inline constexpr std::int32_t surveyLeftStart = 200;   // type a, towards higher indices
inline constexpr std::int32_t surveyRightStart = 500;  // type b's twin, towards lower indices
inline constexpr std::int32_t surveyApart = 20;        // groups closer than this still interact
inline constexpr std::int32_t surveySettled = 40;      // generations apart before the verdict
inline constexpr std::int32_t surveyLimit = 4000;

enum class Outcome {
  passed,   // the same two solitons came out, each on its way
  changed,  // other catalogued solitons came out
  debris,   // something uncatalogued is left, or nothing settled in time
};

struct Product {
  int type;       // catalogue type
  bool leftward;  // the swapped twin, travelling towards lower indices
};

struct Collision {
  Outcome outcome = Outcome::debris;
  std::int32_t generations = 0;           // when the verdict was reached
  std::int32_t shiftA = 0, shiftB = 0;    // passed: cells gained on free flight (positive: further on its way)
  std::vector<Product> products;          // changed: what came out, by position
  std::string text() const;               // "passed +2 -3", "changed 3> 5<", "debris"
};

// Type a from cell 200 travelling right and type b's twin from cell 500
// travelling left, on a 768-cell ring under the rule, run until they have met
// and every group of live cells has stood more than 20 cells from the others
// for 40 generations (at most 4000), then classified by the phase codes of
// the types 0..10 of `types`.
Collision collide(const RuleTable& rule, const std::vector<SolitonType>& types, int a, int b);

inline constexpr int surveyTypes = 11;  // types 0..10 meet each other

// table[a][b]: the collision of every ordered pair of types 0..10. The poll
// hears every pair done (of 121) and may cancel between pairs.
using SurveyTable = std::vector<std::vector<Collision>>;
SurveyTable surveyCollisions(const RuleTable& rule, const std::vector<SolitonType>& types, Poll* poll = nullptr);

// A picture as palette indices of spaceTimePalette, row by row.
struct IndexedPicture {
  std::size_t width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
};

// The survey as small space-time pictures on one time scale: tile a * 11 + b
// draws the collision of a and b from its start (generation 0, the top row),
// a row every `generationsPerRow` generations, chosen so that the latest
// verdict of a pair that settled (passed or changed) is drawn (4000 when
// none did), and a column for
// every `cellsPerPixel` cells (the first live one of them), solitons tagged
// with the tables when given, in the palette's colours. The poll hears
// tiles done and may cancel between them (Cancelled).
struct SurveyPictures {
  std::int32_t generationsPerRow = 1, cellsPerPixel = 4;
  std::vector<IndexedPicture> tiles;
};
SurveyPictures surveyPictures(const RuleTable& rule, const std::vector<SolitonType>& types, const SurveyTable& table,
                              const PhaseTables* tables, SpaceTimePalette palette, Poll* poll = nullptr);

}  // namespace ondrix
