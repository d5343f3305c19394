#include "ondrix/solitons/collisions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <set>

#include "bench/reference.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/datafiles/textformats.h"
#include "ondrix/solitons/survey.h"
#include "tests/support/shipped.h"

namespace ondrix {
namespace {

constexpr std::uint8_t stateOfDigit[3] = {stateA, stateB, stateC};

EnumeratedSoliton catalogued(const Catalogue& c, int k) {
  EnumeratedSoliton s;
  s.code = c.solitonCode[k];
  s.period = c.solitonPeriod[k];
  s.shift = c.solitonShift[k];
  s.cells = codeDigits(s.code);
  s.width = static_cast<std::int32_t>(s.cells.size());
  return s;
}

std::unique_ptr<AutomatonState> quiet(const RuleTable& rule, std::int32_t length) {
  return std::make_unique<AutomatonState>(quietRing(rule, length));
}

// The pair's joint row when a (phase 0) and b's twin run apart, each alone
// with the plain step, for `generations` from a start: the superposition
// of two free flights.
std::vector<std::uint8_t> freeFlight(const RuleTable& rule, const Digits& a, const Digits& b, std::int32_t startB,
                                     int generations, std::int32_t length, std::int32_t origin) {
  auto left = quiet(rule, length), right = quiet(rule, length);
  for (std::size_t j = 0; j < a.size(); ++j) left->cells[origin + j] = stateOfDigit[a[j]];
  for (std::size_t j = 0; j < b.size(); ++j) right->cells[origin + startB + j] = stateOfDigit[b[j]];
  for (int t = 0; t < generations; ++t) {
    reference::stepGeneration(*left);
    reference::stepGeneration(*right);
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(length));
  for (std::int32_t i = 0; i < length; ++i) row[i] = left->cells[i] != stateA ? left->cells[i] : right->cells[i];
  return row;
}

// Every collision of two solitons, listed once: the count one beat holds
// (two for the "C B" soliton against its own twin, sa pb + sb pa for a
// shipped pair); no two listed starts are carried into each other by free
// flight; each, run again from its stated start with the plain step, ends
// in its stated products at their stated places; and the list does not
// depend on the thread count.
TEST(CompleteCollisions, EachDistinctCollisionOnceAndAsStated) {
  const RuleTable rule = testing::shippedRule();
  const Catalogue c = testing::shippedCatalogue();
  struct Case {
    int a, b;
    std::int64_t count;
  };
  // 0 against 7 leaves two BC side by side at one speed, 14 cells apart:
  // they settle, though never 20 cells apart.
  for (const Case& pair : {Case{0, 0, 2}, Case{2, 6, 2 * 20 + 3 * 5}, Case{1, 3, 2 * 3 + 1 * 4}, Case{0, 7, 1 * 7 + 1 * 1}}) {
    SCOPED_TRACE(std::to_string(pair.a) + " against " + std::to_string(pair.b));
    const EnumeratedSoliton a = catalogued(c, pair.a), b = catalogued(c, pair.b);
    CompleteCollisionOptions options;
    options.threads = 1;
    const PairCollisions one = completeCollisions(rule, a, b, options);
    options.threads = 2;
    const PairCollisions two = completeCollisions(rule, a, b, options);
    ASSERT_EQ(std::ssize(one.collisions), pair.count);
    ASSERT_EQ(one.collisions.size(), two.collisions.size());
    EXPECT_TRUE(std::none_of(one.collisions.begin(), one.collisions.end(),
                             [](const PairCollision& x) { return x.outcome == CollisionOutcome::unresolved; }));

    const Digits twin = exchanged(b.cells);
    constexpr std::int32_t length = 4096, origin = 1000;
    std::set<std::string> seen;  // each start after its beat of free flight, moved to a's place
    for (std::size_t k = 0; k < one.collisions.size(); ++k) {
      const PairCollision& x = one.collisions[k];
      const PairCollision& y = two.collisions[k];
      EXPECT_EQ(std::tie(x.phaseB, x.startB, x.start, x.outcome, x.generations),
                std::tie(y.phaseB, y.startB, y.start, y.outcome, y.generations));
      ASSERT_EQ(x.products.size(), y.products.size());

      // Free flight over every multiple of a's period within a beat brings
      // a back to phase 0; the rows it passes through, moved back to a's
      // place, belong to this collision alone.
      Digits bPhase = twin;
      {
        auto ring = quiet(rule, length);
        for (std::size_t j = 0; j < twin.size(); ++j) ring->cells[2000 + j] = stateOfDigit[twin[j]];
        for (int t = 0; t < x.phaseB; ++t) reference::stepGeneration(*ring);
        std::int32_t first = 0;
        while (ring->cells[first] == stateA) ++first;
        std::int32_t last = length - 1;
        while (ring->cells[last] == stateA) --last;
        bPhase.clear();
        for (std::int32_t i = first; i <= last; ++i) bPhase.push_back(ring->cells[i] == stateC ? 2 : ring->cells[i] == stateB);
      }
      const int beat = std::lcm(a.period, b.period);
      for (int t = 0; t < beat; t += a.period) {
        auto row = freeFlight(rule, a.cells, bPhase, x.startB, t, length, origin);
        const int moved = (t / a.period) * a.shift;
        std::rotate(row.begin(), row.begin() + moved, row.end());
        EXPECT_TRUE(seen.insert(std::string(row.begin(), row.end())).second) << "collision " << k << " after " << t << " generations of free flight";
      }

      // Run again from its start with the plain step.
      if (x.outcome != CollisionOutcome::passed && x.outcome != CollisionOutcome::changed) continue;
      auto ring = quiet(rule, length);
      const auto cells = parseRowText(x.start, length - origin);
      std::copy(cells.begin(), cells.end(), ring->cells.begin() + origin);
      for (int t = 0; t < x.generations; ++t) reference::stepGeneration(*ring);
      for (std::size_t p = 0; p < x.products.size(); ++p) {
        const CollisionProduct& q = x.products[p];
        EXPECT_EQ(std::tie(q.cells, q.position, q.direction, q.dx, q.dt, q.continues),
                  std::tie(y.products[p].cells, y.products[p].position, y.products[p].direction, y.products[p].dx,
                           y.products[p].dt, y.products[p].continues));
        for (std::size_t j = 0; j < q.cells.size(); ++j) {
          ASSERT_EQ(ring->cells[origin + q.position + static_cast<std::int64_t>(j)], stateOfDigit[q.cells[j]])
              << "collision " << k << ", product " << p << ", cell " << j;
        }
        if (q.continues.empty()) continue;
        // Free flight reaches the same phase dt generations earlier, dx
        // cells short of it.
        const bool isA = q.continues == "a";
        const auto alone = isA ? freeFlight(rule, a.cells, {}, 0, x.generations - *q.dt, length, origin)
                               : freeFlight(rule, {}, bPhase, x.startB, x.generations - *q.dt, length, origin);
        const std::int64_t at = origin + q.position - q.direction * *q.dx;
        for (std::size_t j = 0; j < q.cells.size(); ++j) {
          ASSERT_EQ(alone[at + static_cast<std::int64_t>(j)], stateOfDigit[q.cells[j]]) << "collision " << k << ", free flight";
        }
        EXPECT_EQ(alone[at - 1], stateA);
      }
    }
  }
}

// A soliton given with a multiple of its period would count each collision
// more than once: refused, as are solitons that do not move as given.
TEST(CompleteCollisions, RefusesSolitonsNotAsGiven) {
  const RuleTable rule = testing::shippedRule();
  const Catalogue c = testing::shippedCatalogue();
  EnumeratedSoliton doubled = catalogued(c, 3), slow = catalogued(c, 3);
  doubled.period *= 2;
  doubled.shift *= 2;
  slow.shift += 1;
  for (const EnumeratedSoliton& s : {doubled, slow}) {
    EXPECT_THROW(completeCollisions(rule, s, catalogued(c, 0), {}), std::invalid_argument);
    EXPECT_THROW(completeCollisions(rule, catalogued(c, 0), s, {}), std::invalid_argument);
  }
}

// The survey's pictures share one time scale, the smallest that reaches the
// latest settled verdict; each tile's row r is the plain run of its pair
// after r rows' worth of generations (generation 0, the start, on top),
// every fourth cell, and the tagged types take their research colours.
TEST(SurveyPictures, OneTimeScaleFromTheStart) {
  const RuleTable rule = testing::shippedRule();
  const Catalogue c = testing::shippedCatalogue();
  std::vector<SolitonType> types;
  for (int k = 0; k < catalogueTypes; ++k) types.push_back({c.solitonCode[k], c.solitonPeriod[k], c.solitonShift[k], 0});
  const SurveyTable table = surveyCollisions(rule, types);
  std::int32_t latest = 0;
  for (const auto& row : table) {
    for (const Collision& x : row) latest = std::max(latest, x.outcome == Outcome::debris ? 0 : x.generations);
  }
  auto scratch = quiet(rule, startupRingLength);
  const PhaseTables tables = solitonPhaseTables(*scratch, c);
  const SurveyPictures p = surveyPictures(rule, types, table, &tables, SpaceTimePalette::research);
  ASSERT_EQ(p.tiles.size(), std::size_t{surveyTypes * surveyTypes});
  const auto rows = static_cast<std::int32_t>(p.tiles[0].height);
  EXPECT_GE(p.generationsPerRow * (rows - 1), latest);
  EXPECT_LT((p.generationsPerRow - 1) * (rows - 1), latest);
  for (const auto& [a, b] : {std::pair{2, 6}, {0, 2}, {10, 10}}) {
    const IndexedPicture& tile = p.tiles[static_cast<std::size_t>(a * surveyTypes + b)];
    auto ring = quiet(rule, startupRingLength);
    place(*ring, types[a].code, surveyLeftStart, false);
    place(*ring, types[b].code, surveyRightStart, true);
    std::set<std::uint8_t> colours;
    for (std::int32_t r = 0; r < rows; ++r) {
      for (std::int32_t g = 0; r > 0 && g < p.generationsPerRow; ++g) reference::stepGeneration(*ring);
      for (std::size_t x = 0; x < tile.width; ++x) {
        const std::uint8_t* cells = ring->cells.data() + x * p.cellsPerPixel;
        const bool live = std::any_of(cells, cells + p.cellsPerPixel, [](std::uint8_t s) { return s != stateA; });
        const std::uint8_t pixel = tile.pixels[static_cast<std::size_t>(r) * tile.width + x];
        ASSERT_EQ(pixel != spaceTimeBackground, live) << a << " against " << b << ", row " << r << ", column " << x;
        colours.insert(pixel);
      }
    }
    EXPECT_TRUE(colours.contains(static_cast<std::uint8_t>(a))) << a << " against " << b;
  }
}

}  // namespace
}  // namespace ondrix
