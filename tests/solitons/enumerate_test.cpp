#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/anywidth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>

#include "bench/reference.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/solitons/search.h"
#include "tests/support/shipped.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::shippedRule;

// ---- what the reference step says about a row ---------------------------

// A row run with the reference step on a quiet 768-cell ring from cell 300.
class ReferenceRun {
 public:
  ReferenceRun(const RuleTable& rule, const Digits& row) : ring_(std::make_unique<AutomatonState>()) {
    ring_->ringLength = 768;
    std::copy(rule.begin(), rule.end(), ring_->ruleTable.begin());
    std::fill(ring_->cells.begin(), ring_->cells.end(), stateA);
    for (std::size_t j = 0; j < row.size(); ++j) ring_->cells[300 + j] = stateOf[row[j]];
  }
  void step() { reference::stepGeneration(*ring_); }
  // The live cells from the first to the last, and where the first is.
  Digits shape(std::int32_t* first = nullptr) const {
    std::int32_t a = 0, b = ring_->ringLength - 1;
    while (a <= b && ring_->cells[a] == stateA) ++a;
    while (b >= a && ring_->cells[b] == stateA) --b;
    if (first) *first = a;
    Digits out;
    for (std::int32_t i = a; i <= b; ++i) out.push_back(ring_->cells[i] == stateC ? 2 : ring_->cells[i] == stateB);
    return out;
  }
  const AutomatonState& ring() const { return *ring_; }

 private:
  static constexpr std::uint8_t stateOf[3] = {stateA, stateB, stateC};
  std::unique_ptr<AutomatonState> ring_;
};

struct Orbit {
  int period = 0, shift = 0, widest = 0;  // period 0: no return within the limit
  std::vector<Digits> phases;
};

// Runs a row until it is its own shape again (at most `limit` generations).
Orbit referenceOrbit(const RuleTable& rule, const Digits& row, int limit) {
  ReferenceRun run(rule, row);
  Orbit out;
  std::int32_t first0 = 0, first = 0;
  run.shape(&first0);
  for (int t = 1; t <= limit; ++t) {
    out.phases.push_back(run.shape());
    out.widest = std::max<int>(out.widest, std::ssize(out.phases.back()));
    run.step();
    if (run.shape(&first) == row) {
      out.period = t;
      out.shift = first - first0;
      break;
    }
  }
  return out;
}

Digits mirror(Digits d) {
  std::reverse(d.begin(), d.end());
  return d;
}
Digits exchange(Digits d) {
  for (auto& c : d) c = c == 0 ? 0 : 3 - c;
  return d;
}

std::string key(const Digits& d) { return std::string(d.begin(), d.end()); }

// Every phase of a soliton, its mirror image, its B/C exchange and both.
std::set<std::string> fourfoldPhases(const Orbit& o) {
  std::set<std::string> out;
  for (const Digits& p : o.phases) out.insert({key(p), key(mirror(p)), key(exchange(p)), key(mirror(exchange(p)))});
  return out;
}

// Whether the row is two parts, split at a run of A cells, that run alone
// give its own generations for a period and are their own shapes again
// after it: the reference step on three rings.
bool apartByReference(const RuleTable& rule, const Digits& row, int period) {
  for (std::size_t a = 0; a + 1 < row.size(); ++a) {
    if (row[a] == 0 || row[a + 1] != 0) continue;
    Digits left(row.size(), 0), right = row;
    std::copy(row.begin(), row.begin() + a + 1, left.begin());
    std::fill(right.begin(), right.begin() + a + 1, 0);
    // Both parts are placed where they stand in the row: the right part's
    // leading A cells keep its place.
    ReferenceRun whole(rule, row), l(rule, left), r(rule, right);
    bool apart = true;
    for (int t = 0; t < period && apart; ++t) {
      whole.step(), l.step(), r.step();
      for (std::int32_t i = 0; i < 768 && apart; ++i) {
        const auto cl = l.ring().cells[i], cr = r.ring().cells[i];
        apart = (cl == stateA || cr == stateA) && whole.ring().cells[i] == (cl == stateA ? cr : cl);
      }
    }
    const Digits leftPart = ReferenceRun(rule, left).shape(), rightPart = ReferenceRun(rule, right).shape();
    if (apart && l.shape() == leftPart && r.shape() == rightPart) return true;
  }
  return false;
}

// ---- the rules ----------------------------------------------------------

RuleTable smallSolitonRule() {  // "C B" moves 3 cells in 5 generations
  RuleTable rule{};
  for (int e : {9, 27, 63}) rule[e] = 1;
  return rule;
}


struct SeedFinding {
  std::int32_t code, period, shift;
};

std::vector<SeedFinding> seedSearch(const RuleTable& rule) {
  OndrixState st;
  st.ring.ringLength = 768;
  std::copy(rule.begin(), rule.end(), st.ring.ruleTable.begin());
  clearRing(st.ring);
  NullDisplay display;
  solitonSearch(st, display);
  std::vector<SeedFinding> out;
  for (std::int32_t k = 0; k < st.catalogue.Nsol; ++k) {
    out.push_back({st.catalogue.solitonCode[k], st.catalogue.solitonPeriod[k], st.catalogue.solitonShift[k]});
  }
  return out;
}

// Three quiet random tables, one entry in four set, taken in the order of
// their draw when the seed search finds solitons of period 12 or less
// under them.
const std::vector<RuleTable>& randomSolitonRules() {
  static const std::vector<RuleTable> rules = [] {
    std::vector<RuleTable> out;
    for (unsigned draw = 1; out.size() < 3; ++draw) {
      std::mt19937 rng(draw);
      RuleTable rule{};
      for (int e = 1; e < 81; ++e) rule[e] = rng() % 4 == 0;
      const auto found = seedSearch(rule);
      if (std::count_if(found.begin(), found.end(), [](const SeedFinding& f) { return f.period <= 12; }) >= 2) {
        out.push_back(rule);
      }
    }
    return out;
  }();
  return rules;
}

// ---- checks -------------------------------------------------------------

// Every listed soliton, run again with the reference step: it comes back
// first after its period, moved by its shift, as wide as it says at most,
// and no phase of it or of its twin moving the same way has a smaller code.
void recheckWithReferenceStep(const RuleTable& rule, const Enumeration& e, int maxPeriod, const std::string& what) {
  std::set<std::uint64_t> codes;
  for (const EnumeratedSoliton& s : e.solitons) {
    SCOPED_TRACE(what + " cells " + std::string(s.cells.begin(), s.cells.end()));
    EXPECT_TRUE(codes.insert(s.code64).second) << "listed twice";
    EXPECT_EQ(digitsCode64(s.cells), s.code64);
    EXPECT_EQ(s.code, s.cells.size() <= 19 ? static_cast<std::int32_t>(s.code64) : 0) << "a 32-bit code to 19 cells only";
    const Orbit o = referenceOrbit(rule, s.cells, s.period);
    EXPECT_EQ(o.period, s.period);
    EXPECT_EQ(o.shift, s.shift);
    EXPECT_GT(s.shift, 0);
    EXPECT_LE(s.period, maxPeriod);
    EXPECT_EQ(o.widest, s.width);
    EXPECT_EQ(s.speed, 400 * s.shift / s.period);
    const Orbit twin = referenceOrbit(rule, mirror(exchange(s.cells)), s.period);
    EXPECT_EQ(twin.shift, s.shift) << "the twin moves the same way";
    // The entry is the smallest phase of its side and of the twin's; the
    // twin's smallest is shown when it is another shape.
    const auto least = [](const Orbit& orbit) {
      return *std::min_element(orbit.phases.begin(), orbit.phases.end(),
                               [](const Digits& a, const Digits& b) { return digitsCode64(a) < digitsCode64(b); });
    };
    EXPECT_EQ(least(o), s.cells);
    EXPECT_GE(digitsCode64(least(twin)), s.code64);
    EXPECT_EQ(s.twinCells, least(twin) == s.cells ? Digits{} : least(twin));
    EXPECT_FALSE(apartByReference(rule, s.cells, s.period)) << "two solitons side by side";
  }
}

// The list with the phases of each soliton and of its mirrored and
// exchanged images.
class Listed {
 public:
  Listed(const RuleTable& rule, const Enumeration& e) {
    for (const EnumeratedSoliton& s : e.solitons)
      phases_.emplace_back(&s, fourfoldPhases(referenceOrbit(rule, s.cells, s.period)));
  }
  // The soliton with the row among those phases, or nullptr.
  const EnumeratedSoliton* with(const Digits& row, int period) const {
    for (const auto& [s, phases] : phases_) {
      if (s->period == period && phases.count(key(row))) return s;
    }
    return nullptr;
  }

 private:
  std::vector<std::pair<const EnumeratedSoliton*, std::set<std::string>>> phases_;
};

struct Case {
  std::string name;
  RuleTable rule;
  int width, period;
  bool expectPairs = false;  // rows of two solitons side by side come back
};

// The random rules at one width and period limit.
std::vector<Case> randomCases(int width, int period) {
  std::vector<Case> out;
  for (std::size_t k = 0; k < randomSolitonRules().size(); ++k) {
    out.push_back({"random " + std::to_string(k), randomSolitonRules()[k], width, period});
  }
  return out;
}

Enumeration enumerate(const Case& c, unsigned threads, bool markSeedSearch, bool ruleReach = true) {
  EnumerateOptions options;
  options.ruleReach = ruleReach;
  options.maxWidth = c.width;
  options.maxPeriod = c.period;
  options.threads = threads;
  options.markSeedSearch = markSeedSearch;
  return enumerateSolitons(c.rule, options);
}

TEST(Enumerate, AgreesWithEveryRowRunPlainly) {
  // Rows of one, two and three words (the width the rows may reach grows
  // with the period).
  std::vector<Case> cases = {{"C B rule", smallSolitonRule(), 9, 10},
                             {"shipped", shippedRule(), 9, 9, true},
                             {"shipped, long periods", shippedRule(), 6, 40},
                             {"random 0, periods to 20", randomSolitonRules()[0], 7, 20}};
  for (const Case& c : randomCases(8, 10)) cases.push_back(c);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // One and two threads, and the rows run without the rule's reach in
    // the widest words: one list.
    const Enumeration one = enumerate(c, 1, false), two = enumerate(c, 2, false), blind = enumerate(c, 2, false, false);
    recheckWithReferenceStep(c.rule, one, c.period, c.name);
    EXPECT_FALSE(one.solitons.empty());
    for (const Enumeration* other : {&two, &blind}) {
      EXPECT_EQ(one.candidates, other->candidates);
      EXPECT_EQ(one.sideBySideCodes, other->sideBySideCodes);
      ASSERT_EQ(one.solitons.size(), other->solitons.size());
      for (std::size_t i = 0; i < one.solitons.size(); ++i) {
        EXPECT_EQ(one.solitons[i].code, other->solitons[i].code);
        EXPECT_EQ(one.solitons[i].cells, other->solitons[i].cells);
        EXPECT_EQ(one.solitons[i].width, other->solitons[i].width);
      }
    }

    std::int64_t rows = 0;
    const auto plain = reference::enumerateRows(c.rule.data(), c.width, c.period, 1, &rows);
    EXPECT_EQ(rows, one.rows);
    EXPECT_LT(one.candidates, rows / 3);  // the four images run once
    const Listed listed(c.rule, one);
    std::set<std::int32_t> seen;
    int apart = 0;
    for (const auto& r : plain) {
      const Digits row = codeDigits(r.code);
      if (const EnumeratedSoliton* s = listed.with(row, r.period)) {
        EXPECT_EQ(s->shift, std::abs(r.shift)) << r.code;
        seen.insert(s->code);
      } else {
        EXPECT_TRUE(apartByReference(c.rule, row, r.period)) << r.code << " comes back but is not listed";
        apart += 1;
      }
    }
    EXPECT_EQ(seen.size(), one.solitons.size()) << "listed, but no row run plainly comes back as it";
    EXPECT_TRUE(!c.expectPairs || apart > 0) << "no two solitons side by side come back";
    if (c.name == "C B rule") {
      const Digits pair = {2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1};
      EXPECT_TRUE(sideBySide(c.rule, pair, 5));
      EXPECT_TRUE(apartByReference(c.rule, pair, 5));
      ASSERT_NE(listed.with({2, 1}, 5), nullptr);
      EXPECT_EQ(listed.with({2, 1}, 5)->code, 5);
      EXPECT_EQ(listed.with({2, 1}, 5)->shift, 3);
    }
  }
}

// The enumeration's cut rests on this: run plainly, no edge of a row's
// live cells moves farther than the rule's reach in a generation, out or
// in, and some row moves that far; the shipped rule's reach is 2.
TEST(Enumerate, EdgesMoveNoFartherThanTheRulesReach) {
  RuleTable everything{};
  everything.fill(1);
  everything[0] = 0;
  std::vector<Case> cases = {{"shipped", shippedRule(), 0, 0}, {"C B rule", smallSolitonRule(), 0, 0},
                             {"every entry 1", everything, 0, 0}};
  for (const Case& c : randomCases(0, 0)) cases.push_back(c);
  EXPECT_EQ(edgeReach(shippedRule()), 2);
  EXPECT_EQ(edgeReach(everything), 4);
  std::mt19937 random(7);
  std::set<int> reaches;
  for (const Case& c : cases) {
    const int reach = edgeReach(c.rule);
    reaches.insert(reach);
    int farthest = 0;
    for (int trial = 0; trial < 300; ++trial) {
      auto ring = std::make_unique<AutomatonState>(quietRing(c.rule, 400));
      for (int j = 0; j < 12; ++j) ring->cells[194 + j] = std::array{stateA, stateB, stateC}[random() % 3];
      ring->cells[194] = ring->cells[205] = stateC;
      const auto edges = [&] {
        std::int32_t first = 0, last = ring->ringLength - 1;
        while (first < ring->ringLength && ring->cells[first] == stateA) ++first;
        while (last >= 0 && ring->cells[last] == stateA) --last;
        return std::pair{first, last};
      };
      for (int t = 0; t < 40; ++t) {
        const auto [first, last] = edges();
        reference::stepGeneration(*ring);
        const auto [nextFirst, nextLast] = edges();
        if (nextFirst > nextLast || nextFirst == 0 || nextLast == ring->ringLength - 1) break;
        farthest = std::max({farthest, std::abs(nextFirst - first), std::abs(nextLast - last)});
      }
    }
    EXPECT_EQ(farthest, reach) << c.name << ": no farther, and as far";
  }
  EXPECT_GE(reaches.size(), 2u) << "rules of more than one reach";
}

TEST(Enumerate, ListsWhatTheSeedSearchFinds) {
  std::vector<Case> cases = randomCases(12, 12);
  cases.insert(cases.begin(), {"shipped", shippedRule(), 16, 12});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Enumeration e = enumerate(c, 0, true);
    EXPECT_EQ(e.shapes(), std::ssize(e.solitons) + std::count_if(e.solitons.begin(), e.solitons.end(), [](const auto& s) {
                            return !s.twinCells.empty();
                          }));
    const Listed listed(c.rule, e);
    std::set<std::int32_t> found;
    int compared = 0;
    for (const SeedFinding& f : seedSearch(c.rule)) {
      const Digits row = codeDigits(f.code);
      const Orbit o = referenceOrbit(c.rule, row, f.period);
      EXPECT_EQ(o.period, f.period) << f.code;
      if (o.widest > c.width || f.period > c.period) continue;
      compared += 1;
      if (const EnumeratedSoliton* s = listed.with(row, f.period)) {
        EXPECT_EQ(s->shift, f.shift);
        EXPECT_TRUE(s->seedSearch) << s->code;
        // What the search reports is one of the entry's two shapes.
        EXPECT_TRUE(row == s->cells || row == s->twinCells) << f.code << " is neither shape of entry " << s->code;
        found.insert(s->code);
      } else {
        EXPECT_TRUE(apartByReference(c.rule, row, f.period)) << f.code << " missing";
        std::printf("%s: the seed search's %d (period %d) is two solitons side by side\n", c.name.c_str(), f.code,
                    f.period);
      }
    }
    EXPECT_GT(compared, 1);
    for (const EnumeratedSoliton& s : e.solitons) EXPECT_EQ(s.seedSearch, found.count(s.code) > 0) << s.code;
  }
}

// A soliton, its mirror image, its B/C exchange and both are one entry,
// whichever of them the list is asked about.
TEST(Enumerate, TwinsAreOneEntry) {
  const RuleTable rule = shippedRule();
  const Enumeration e = enumerate({"shipped", rule, 13, 3}, 0, false);
  int distinctTwins = 0;
  for (const EnumeratedSoliton& s : e.solitons) {
    const Orbit own = referenceOrbit(rule, s.cells, s.period);
    const Digits twin = mirror(exchange(s.cells));
    distinctTwins += std::none_of(own.phases.begin(), own.phases.end(), [&](const Digits& p) { return p == twin; });
    EXPECT_EQ(s.twinCells.empty(), !std::none_of(own.phases.begin(), own.phases.end(), [&](const Digits& p) { return p == twin; }));
    std::vector<std::pair<Digits, int>> images = {{mirror(s.cells), -s.shift}, {exchange(s.cells), -s.shift}, {twin, s.shift}};
    if (!s.twinCells.empty()) images.emplace_back(s.twinCells, s.shift);
    for (const auto& [row, shift] : images) {
      const auto d = describeSoliton(rule, row, s.period, shift);
      ASSERT_TRUE(d) << s.code;
      EXPECT_EQ(d->code, s.code);
      EXPECT_EQ(d->cells, s.cells);
      EXPECT_EQ(d->width, s.width);
      const auto found = identifySoliton(rule, row);  // the period found by running it
      ASSERT_TRUE(found) << s.code;
      EXPECT_EQ(found->period, s.period);
      EXPECT_EQ(found->code, s.code);
    }
  }
  EXPECT_GT(distinctTwins, 0) << "no soliton here whose twin is another soliton";
}

// Entries wider than a 32-bit code holds (20 and 21 cells, in a shard of
// the shipped rule's rows that holds some): a 64-bit code only, each as the
// plain step runs it, on one thread and two.
TEST(Enumerate, EntriesWiderThanAThirtyTwoBitCode) {
  EnumerateOptions options;
  options.maxWidth = 21;
  options.maxPeriod = 12;
  options.shardIndex = 393;
  options.shardCount = 729;
  options.markSeedSearch = false;
  options.threads = 1;
  const Enumeration one = enumerateSolitons(shippedRule(), options);
  options.threads = 2;
  const Enumeration two = enumerateSolitons(shippedRule(), options);
  recheckWithReferenceStep(shippedRule(), one, 12, "W21 P12, shard 393 of 729");
  std::set<std::size_t> widths;
  for (const EnumeratedSoliton& s : one.solitons) {
    if (s.cells.size() > 19) widths.insert(s.cells.size());
  }
  EXPECT_EQ(widths, (std::set<std::size_t>{20, 21}));
  ASSERT_EQ(one.solitons.size(), two.solitons.size());
  for (std::size_t k = 0; k < one.solitons.size(); ++k) {
    EXPECT_EQ(std::tie(one.solitons[k].code64, one.solitons[k].cells, one.solitons[k].twinCells),
              std::tie(two.solitons[k].code64, two.solitons[k].cells, two.solitons[k].twinCells));
  }
  EXPECT_EQ(one.candidates, two.candidates);
}

// What a pattern is: a soliton, solitons side by side (alike and apart, or
// slower behind faster), an oscillator, nothing, or unknown within the bound.
TEST(Enumerate, IdentifiesPatterns) {
  struct Case {
    const char* letters;
    PatternKind kind;
    std::int32_t period;
    std::vector<std::int32_t> codes;
  };
  const Case cases[] = {
      {"CCABB", PatternKind::soliton, 5, {116}},
      {"AACCABBA", PatternKind::soliton, 5, {116}},
      {"CCABBAAAAAAAAAAAAAAAAAAAACCABB", PatternKind::sideBySide, 5, {116, 116}},
      {"BBABBCAAAAAAAAAAAAAAAACCABB", PatternKind::sideBySide, 0, {598, 116}},
      {"BCBCBCBC", PatternKind::oscillator, 2, {}},
      {"CBBCCBCB", PatternKind::unknown, 0, {}},
      {"CCABBAAAAAAAAAAAAAAAAAAAABBACC", PatternKind::unknown, 0, {}},  // head-on: they meet
      {"BCAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAACCABB", PatternKind::unknown, 0, {}},  // the faster behind
      {"AAA", PatternKind::dies, 0, {}},
  };
  for (const Case& c : cases) {
    const PatternIdentity id = identifyPattern(shippedRule(), letterDigits(c.letters), 900);
    EXPECT_EQ(id.kind, c.kind) << c.letters;
    EXPECT_EQ(id.period, c.period) << c.letters;
    std::vector<std::int32_t> codes;
    for (const auto& s : id.solitons) codes.push_back(s.code);
    EXPECT_EQ(codes, c.codes) << c.letters;
  }
  // CCABB's twin is one of its phases; the bound stops where the row could
  // come round the longest ring.
  EXPECT_TRUE(isOwnTwin(shippedRule(), *identifySoliton(shippedRule(), letterDigits("CCABB"))));
  EXPECT_LE(identifyPattern(shippedRule(), Digits(3000, 1), 900).bound, (ringCapacity / 2 - 3000) / 4);
}

TEST(Enumerate, RefusesWhatItCannotDo) {
  EnumerateOptions options;
  const std::pair<int, int> limits[] = {{0, 5}, {25, 5}, {5, 0}, {5, 41}};
  for (const auto& [width, period] : limits) {
    options.maxWidth = width;
    options.maxPeriod = period;
    EXPECT_THROW(enumerateSolitons(smallSolitonRule(), options), std::invalid_argument) << width << " " << period;
  }
  RuleTable restless = smallSolitonRule();
  restless[0] = 1;
  options.maxWidth = options.maxPeriod = 5;
  EXPECT_THROW(enumerateSolitons(restless, options), std::invalid_argument);
  EXPECT_EQ(letterDigits("aBcA"), (Digits{0, 1, 2, 0}));
  for (const char* bad : {"AB D", "AB\tC", "ABCD"}) EXPECT_THROW(letterDigits(bad), std::invalid_argument) << bad;
  const auto alone = identifySoliton(shippedRule(), letterDigits("CCABB"));
  const auto padded = identifySoliton(shippedRule(), letterDigits("AACCABBA"));  // A cells at the ends are not its
  ASSERT_TRUE(alone && padded);
  EXPECT_EQ(padded->code, alone->code);
  for (const char* none : {"", "AAA"}) EXPECT_FALSE(identifySoliton(shippedRule(), letterDigits(none))) << none;
  EXPECT_THROW(identifySoliton(restless, letterDigits("CCABB")), std::invalid_argument);
}

// Shards of any count merge to the single run, field by field; what is not
// one complete set of one enumeration is refused.
TEST(Enumerate, ShardsMergeToTheSingleRun) {
  EnumerateOptions options;
  options.maxWidth = 12;
  options.maxPeriod = 12;
  options.threads = 2;
  const Enumeration whole = enumerateSolitons(shippedRule(), options);
  const auto same = [](const Enumeration& a, const Enumeration& b) {
    ASSERT_EQ(a.solitons.size(), b.solitons.size());
    for (std::size_t k = 0; k < a.solitons.size(); ++k) {
      const auto &x = a.solitons[k], &y = b.solitons[k];
      EXPECT_EQ(std::tie(x.code, x.period, x.shift, x.speed, x.width, x.cells, x.seedSearch),
                std::tie(y.code, y.period, y.shift, y.speed, y.width, y.cells, y.seedSearch));
    }
    EXPECT_EQ(std::tie(a.rows, a.candidates, a.sideBySide, a.sideBySideCodes, a.rule, a.maxWidth, a.maxPeriod),
              std::tie(b.rows, b.candidates, b.sideBySide, b.sideBySideCodes, b.rule, b.maxWidth, b.maxPeriod));
  };
  std::vector<Enumeration> seven;
  for (int n : {1, 3, 7}) {
    std::vector<Enumeration> shards;
    for (int i = n - 1; i >= 0; --i) {  // in any order
      options.shardIndex = i;
      options.shardCount = n;
      shards.push_back(enumerateSolitons(shippedRule(), options));
    }
    if (n == 7) seven = shards;
    SCOPED_TRACE(n);
    same(mergeEnumerations(shards), whole);
  }
  EXPECT_GT(seven[0].rows, 0);
  EXPECT_LT(seven[0].rows, whole.rows);
  const auto refused = [&](std::vector<Enumeration> shards, const std::string& why) {
    try {
      mergeEnumerations(std::move(shards));
      ADD_FAILURE() << "merged: " << why;
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
  };
  refused({seven.begin(), seven.end() - 1}, "shard 0 of 7 is missing");
  refused({seven[0], seven[0]}, "is given twice");
  auto other = seven;
  other[2].rule[5] ^= 1;
  refused(other, "another rule");
  other = seven;
  other[1].maxPeriod = 11;
  refused(other, "bounds");
  refused({seven[0], whole}, "not one of 7 shards");
  options.shardIndex = 3;
  options.shardCount = 3;
  EXPECT_THROW(enumerateSolitons(shippedRule(), options), std::invalid_argument);
}

// ---- solitons of any width ------------------------------------------------

AnyWidthEnumeration anyWidth(const RuleTable& rule, int period, unsigned threads, int listWidth = 19, int side = 0) {
  AnyWidthOptions o;
  o.side = side;
  o.maxPeriod = period;
  o.threads = threads;
  o.listWidth = listWidth;
  return enumerateAnyWidth(rule, o);
}

// An entry as period, shift, width and cells, to compare lists by.
std::string entryKey(const EnumeratedSoliton& s) {
  return std::to_string(s.period) + "/" + std::to_string(s.shift) + "/" + std::to_string(s.width) + " " + key(s.cells);
}

TEST(AnyWidth, AgreesWithTheRowsUpToAWidthAndRunsPlainly) {
  std::vector<Case> cases = {{"shipped", shippedRule(), 12, 3}};
  for (const Case& c : randomCases(12, 2)) cases.push_back(c);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AnyWidthEnumeration any = anyWidth(c.rule, c.period, 1);
    std::vector<std::string> narrow, rows, anyKeys;
    for (const AnyWidthSoliton& s : any.solitons) {
      anyKeys.push_back(entryKey(s.entry));
      if (s.entry.narrowest <= c.width) narrow.push_back(entryKey(s.entry));
      // Every entry, of any width, comes back after its period moved by its
      // shift under the plain step, and its narrowest phase is as said.
      const Orbit o = referenceOrbit(c.rule, s.entry.cells, s.entry.period);
      EXPECT_EQ(o.period, s.entry.period) << key(s.entry.cells);
      EXPECT_EQ(o.shift, s.entry.shift) << key(s.entry.cells);
      EXPECT_EQ(o.widest, s.entry.width) << key(s.entry.cells);
      std::size_t least = o.phases.empty() ? 0 : o.phases[0].size();
      for (const Digits& p : o.phases) least = std::min(least, p.size());
      EXPECT_EQ(static_cast<std::size_t>(s.entry.narrowest), least) << key(s.entry.cells);
      EXPECT_FALSE(apartByReference(c.rule, s.entry.cells, s.entry.period)) << key(s.entry.cells);
    }
    // Two threads, and the space-times built from either edge: one list.
    // Each family's members are its parts put together, and they come back
    // moved under the plain step.
    for (const auto& [threads, side] : std::vector<std::pair<unsigned, int>>{{2, 0}, {2, 1}, {2, -1}}) {
      const AnyWidthEnumeration other = anyWidth(c.rule, c.period, threads, 19, side);
      std::vector<std::string> keys;
      for (const AnyWidthSoliton& s : other.solitons) keys.push_back(entryKey(s.entry));
      EXPECT_EQ(keys, anyKeys) << threads << " threads, side " << side;
      for (const SolitonFamily& f : other.families) {
        for (std::size_t n = 0; n < f.members.size(); ++n) {
          Digits row = f.left;
          for (std::size_t j = 0; j < n; ++j) row.insert(row.end(), f.repeat.begin(), f.repeat.end());
          row.insert(row.end(), f.right.begin(), f.right.end());
          while (row.back() == 0) row.pop_back();
          const Orbit o = referenceOrbit(c.rule, row, f.period);
          EXPECT_EQ(o.period, f.period) << key(row) << " side " << side;
          EXPECT_EQ(o.shift, f.shift) << key(row) << " side " << side;
        }
      }
    }
    for (const EnumeratedSoliton& s : enumerate(c, 2, false).solitons) rows.push_back(entryKey(s));
    EXPECT_EQ(narrow, rows) << "the rows up to " << c.width << " cells";
    EXPECT_FALSE(rows.empty());
  }
  // The shipped rule has solitons of periods 1 and 3, none of period 2.
  std::set<int> periods;
  for (const AnyWidthSoliton& s : anyWidth(shippedRule(), 3, 2).solitons) periods.insert(s.entry.period);
  EXPECT_EQ(periods, (std::set<int>{1, 3}));
}

TEST(AnyWidth, FamiliesOfEveryWidthAndRulesWithNone) {
  // Entry 30 (C at distances 1 and 3 on one side) is 1, all others 0. In
  // B C B C ... B C each C becomes B, a B between two C cells (entry 54, 57
  // or 60) becomes C, and the B at the back and the A in front of the last
  // C (entry 30) become A and C: it moves one cell a generation at any
  // length. A lone B C would need entry 27, so it is no soliton.
  RuleTable pairs{};
  pairs[30] = 1;
  const AnyWidthEnumeration any = anyWidth(pairs, 2, 2, 10);
  ASSERT_FALSE(any.families.empty());
  const SolitonFamily& f = any.families[0];
  EXPECT_EQ(f.period, 1);
  EXPECT_EQ(f.shift, 1);
  EXPECT_FALSE(f.sideBySide);
  ASSERT_EQ(f.members.size(), 3u);
  for (std::size_t n = 0; n < f.members.size(); ++n) {
    Digits row = f.left;
    for (std::size_t j = 0; j < n; ++j) row.insert(row.end(), f.repeat.begin(), f.repeat.end());
    row.insert(row.end(), f.right.begin(), f.right.end());
    const Orbit o = referenceOrbit(pairs, row, 1);
    EXPECT_EQ(o.period, 1) << key(row);
    EXPECT_EQ(o.shift, 1) << key(row);
    EXPECT_EQ(f.members[n].entry.width, std::ssize(row) - (row.front() == 0) - (row.back() == 0));
  }
  EXPECT_EQ(f.members[1].entry.width - f.members[0].entry.width, std::ssize(f.repeat));
  // Its members to 10 cells are listed, and no other soliton.
  std::vector<std::string> listed;
  for (const AnyWidthSoliton& s : any.solitons) listed.push_back(key(s.entry.cells));
  EXPECT_EQ(listed, (std::vector<std::string>{"\1\2\1\2", "\1\2\1\2\1\2", "\1\2\1\2\1\2\1\2", "\1\2\1\2\1\2\1\2\1\2"}));
  EXPECT_TRUE(any.solitons.back().onCycle);

  // C becomes B and B becomes C again, in place: nothing moves.
  const AnyWidthEnumeration none = anyWidth(RuleTable{}, 3, 2);
  EXPECT_TRUE(none.solitons.empty());
  EXPECT_TRUE(none.families.empty());
  EXPECT_EQ(none.searches.size(), 0u) << "no edge moves under it, so no shift is searched";
}

TEST(AnyWidth, RefusesWhatItCannotHoldAndStopsWhenCancelled) {
  AnyWidthOptions o;
  for (const auto& [period, shift, listWidth] : std::vector<std::tuple<int, int, int>>{{0, 0, 19}, {9, 0, 19}, {2, 9, 19}, {2, 5, 19}, {2, 0, 0}, {2, 0, 33}}) {
    o.maxPeriod = period, o.shift = shift, o.listWidth = listWidth;
    EXPECT_THROW(enumerateAnyWidth(shippedRule(), o), std::invalid_argument) << period << " " << shift << " " << listWidth;
  }
  RuleTable moving = shippedRule();
  moving[0] = 1;
  o = AnyWidthOptions{};
  EXPECT_THROW(enumerateAnyWidth(moving, o), std::invalid_argument);

  // A search that would outgrow its memory is refused, the others done.
  o.maxPeriod = 3;
  o.maxMemory = 256 << 10;
  const AnyWidthEnumeration part = enumerateAnyWidth(shippedRule(), o);
  EXPECT_FALSE(part.complete());
  for (const AnyWidthSearch& s : part.searches) {
    if (s.period < 3) {
      EXPECT_EQ(s.refused, "") << s.period << " " << s.shift;
    }
    if (s.period == 3 && s.shift == 1) {
      EXPECT_NE(s.refused.find("period 3 shift 1: the states would outgrow 256.0 KiB"), std::string::npos) << s.refused;
      EXPECT_NE(s.refused.find("2^24 states"), std::string::npos) << s.refused;
    }
  }
  ASSERT_FALSE(part.solitons.empty());
  EXPECT_EQ(part.solitons[0].entry.cells, (Digits{1, 2})) << "B C, of period 1";

  o.maxMemory = 0;
  std::int64_t lastDone = -1, reports = 0;
  Poll poll([&](std::int64_t done, std::int64_t total) {
    EXPECT_EQ(total, 12000);
    EXPECT_GE(done, lastDone);
    lastDone = done, ++reports;
  });
  o.poll = &poll;
  enumerateAnyWidth(shippedRule(), o);
  EXPECT_EQ(lastDone, 12000);
  Poll stopped;
  stopped.cancel();
  o.poll = &stopped;
  EXPECT_THROW(enumerateAnyWidth(shippedRule(), o), Cancelled);
}

}  // namespace
}  // namespace ondrix
