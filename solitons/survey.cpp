#include "ondrix/solitons/survey.h"

#include <algorithm>
#include <map>

#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/spacetime.h"

namespace ondrix {

namespace {

constexpr std::int32_t ringCells = startupRingLength;

// Groups of live cells around the ring; a group across the seam is one.
std::vector<std::pair<std::int32_t, std::int32_t>> groupsAround(const AutomatonState& ring) {
  auto groups = clusters(ring, surveyApart + 1);
  if (groups.size() > 1 && groups.front().first + ring.ringLength - groups.back().second <= surveyApart + 1) {
    groups.front().first = groups.back().first - ring.ringLength;  // starts before cell 0
    groups.pop_back();
  }
  return groups;
}

// Where the soliton alone would be after `generations`: its first live cell.
std::int32_t freeFlight(const RuleTable& rule, const SolitonType& t, std::int32_t start, bool swapped,
                        std::int32_t generations) {
  AutomatonState ring = quietRing(rule);
  place(ring, t.code, start, swapped);
  for (std::int32_t g = 0; g < generations; ++g) stepGeneration(ring);
  return firstLiveCell(ring);
}

std::int32_t aroundTheRing(std::int32_t d) {
  d %= ringCells;
  if (d < -ringCells / 2) d += ringCells;
  if (d >= ringCells / 2) d -= ringCells;
  return d;
}

}  // namespace

std::string Collision::text() const {
  auto signedText = [](std::int32_t v) {
    std::string s = v > 0 ? "+" : "";
    s += std::to_string(v);
    return s;
  };
  switch (outcome) {
    case Outcome::passed:
      return "passed " + signedText(shiftA) + " " + signedText(shiftB);
    case Outcome::changed: {
      std::string s = "changed";
      for (const Product& p : products) {
        s += ' ';
        s += std::to_string(p.type);
        s += p.leftward ? '<' : '>';
      }
      return s;
    }
    default:
      return "debris";
  }
}

Collision collide(const RuleTable& rule, const std::vector<SolitonType>& types, int a, int b) {
  std::map<std::int32_t, Product> known;  // phase code -> type and direction, the first type wins
  const int catalogued = std::min<int>(static_cast<int>(types.size()), 11);
  for (int t = catalogued - 1; t >= 0; --t) {
    for (bool leftward : {false, true}) {
      for (std::int32_t code : phaseCodes(rule, types[t], leftward)) known[code] = {t, leftward};
    }
  }

  AutomatonState ring = quietRing(rule);
  place(ring, types[a].code, surveyLeftStart, false);
  place(ring, types[b].code, surveyRightStart, true);
  Collision result;
  bool met = false;
  std::int32_t apart = 0;
  for (std::int32_t g = 1; g <= surveyLimit; ++g) {
    stepGeneration(ring);
    const auto groups = groupsAround(ring);
    if (!met) {
      met = groups.size() < 2;
      continue;
    }
    apart = groups.size() >= 2 ? apart + 1 : 0;
    if (apart < surveySettled && g < surveyLimit) continue;
    result.generations = g;
    std::vector<Product> products;
    std::vector<std::int32_t> starts;
    for (auto [first, last] : groups) {
      constexpr std::int32_t widest = 19;  // a pattern code holds no more
      if (first < 0 || last - first + 1 > widest) return result;
      const auto found = known.find(encodePattern(ring, first, last - first + 1));
      if (found == known.end()) return result;
      products.push_back(found->second);
      starts.push_back(first);
    }
    auto findProduct = [&](int type, bool leftward) {
      for (std::size_t k = 0; k < products.size(); ++k) {
        if (products[k].type == type && products[k].leftward == leftward) return static_cast<int>(k);
      }
      return -1;
    };
    const int outA = findProduct(a, false), outB = findProduct(b, true);
    if (products.size() != 2 || outA < 0 || outB < 0) {
      result.outcome = Outcome::changed;
      result.products = products;
      return result;
    }
    result.outcome = Outcome::passed;
    result.shiftA = aroundTheRing(starts[outA] - freeFlight(rule, types[a], surveyLeftStart, false, g));
    result.shiftB = -aroundTheRing(starts[outB] - freeFlight(rule, types[b], surveyRightStart, true, g));
    return result;
  }
  return result;
}

SurveyTable surveyCollisions(const RuleTable& rule, const std::vector<SolitonType>& types, Poll* poll) {
  SurveyTable table(surveyTypes, std::vector<Collision>(surveyTypes));
  for (int a = 0; a < surveyTypes; ++a) {
    for (int b = 0; b < surveyTypes; ++b) {
      throwIfCancelled(poll);
      table[a][b] = collide(rule, types, a, b);
      if (poll) (*poll)(a * surveyTypes + b + 1, surveyTypes * surveyTypes);
    }
  }
  return table;
}

SurveyPictures surveyPictures(const RuleTable& rule, const std::vector<SolitonType>& types, const SurveyTable& table,
                              const PhaseTables* tables, SpaceTimePalette palette, Poll* poll) {
  constexpr std::int32_t rows = 160;
  SurveyPictures out;
  const auto tileW = static_cast<std::size_t>(ringCells / out.cellsPerPixel), tileH = static_cast<std::size_t>(rows);
  std::int32_t latest = 0;
  for (const auto& row : table) {
    for (const Collision& c : row) {
      if (c.outcome != Outcome::debris) latest = std::max(latest, c.generations);
    }
  }
  if (latest == 0) latest = surveyLimit;
  out.generationsPerRow = std::max<std::int32_t>(1, (latest + rows - 2) / (rows - 1));
  for (int a = 0; a < surveyTypes; ++a) {
    for (int b = 0; b < surveyTypes; ++b) {
      if (poll && !(*poll)(a * surveyTypes + b, surveyTypes * surveyTypes)) throw Cancelled();
      IndexedPicture& tile = out.tiles.emplace_back();
      tile.width = tileW;
      tile.height = tileH;
      tile.pixels.reserve(tileW * tileH);
      AutomatonState ring = quietRing(rule);
      place(ring, types[a].code, surveyLeftStart, false);
      place(ring, types[b].code, surveyRightStart, true);
      stepBackward(ring);  // so that the step into generation 0 leaves its marks
      std::vector<std::uint8_t> full(ringCells);
      for (std::size_t r = 0; r < tileH; ++r) {
        for (std::int32_t k = r == 0 ? 1 : out.generationsPerRow; k > 0; --k) stepGeneration(ring);
        spaceTimeRow(ring, tables, 1, full, palette);
        for (std::size_t c = 0; c < tileW; ++c) {
          std::uint8_t index = spaceTimeBackground;
          for (std::size_t k = 0; k < static_cast<std::size_t>(out.cellsPerPixel) && index == spaceTimeBackground; ++k) {
            index = full[c * out.cellsPerPixel + k];
          }
          tile.pixels.push_back(index);
        }
      }
    }
  }
  return out;
}

}  // namespace ondrix
