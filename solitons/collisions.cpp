#include "ondrix/solitons/collisions.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <unordered_map>
#include <memory>
#include <numeric>
#include <stdexcept>
#include <thread>

#include "ondrix/automaton/workers.h"
#include "ondrix/datafiles/textformats.h"

namespace ondrix {

namespace {

constexpr std::uint8_t stateOfDigit[3] = {stateA, stateB, stateC};
inline std::uint8_t digitOf(std::uint8_t cell) { return cell == stateC ? 2 : cell == stateB ? 1 : 0; }

// Groups of live cells this many A cells apart do not act on each other in
// the next generation (the rule reaches four cells each way).
constexpr int reach = 9;
// Products stand apart for good when they are this far apart and none
// runs faster towards its neighbour than the neighbour runs away.
constexpr int apart = 20;
// A group is identified by running it alone for at most this many
// generations on a ring of its own; a wider group is taken as unknown.
constexpr int identifyBound = 256;
constexpr std::int32_t identifyRing = 1536;
constexpr std::size_t identifyWidth = 96;
// A group wider than this is debris: it has grown far past any product.
constexpr std::size_t debrisWidth = 256;
// The collision's ring, and how close to its ends cells may come.
constexpr std::int32_t collisionRing = 2048;
constexpr std::int32_t edge = 16;
// Checks for the verdict come every so many generations.
constexpr int checkEvery = 8;

std::unique_ptr<AutomatonState> ringOf(const RuleTable& rule, std::int32_t length) {
  auto ring = std::make_unique<AutomatonState>();
  ring->ringLength = length;
  ring->cells.fill(stateA);
  ring->ruleTable = rule;
  return ring;
}

void place(AutomatonState& ring, const Digits& d, std::int32_t at) {
  for (std::size_t j = 0; j < d.size(); ++j) ring.cells[static_cast<std::size_t>(at) + j] = stateOfDigit[d[j]];
}

// The live cells from first to last of cells [from, to), and where the first is.
Digits shapeIn(const AutomatonState& ring, std::int32_t from, std::int32_t to, std::int32_t& first) {
  from = std::max(from, 0);
  to = std::min(to, ring.ringLength);
  while (from < to && ring.cells[from] == stateA) ++from;
  while (to > from && ring.cells[to - 1] == stateA) --to;
  first = from;
  Digits out;
  for (std::int32_t i = from; i < to; ++i) out.push_back(digitOf(ring.cells[i]));
  return out;
}

// A soliton's free flight from a phase: each phase as it comes and where
// its first cell stands, counted from the first cell of the phase it
// started from; `shift` a period moves it (negative: towards lower cells).
struct Flight {
  std::vector<Digits> phases;
  std::vector<std::int32_t> offsets;
  int period = 0, shift = 0;
  std::int32_t lowest = 0, highest = 0;  // the cells it covers in a period, from its start
};

Flight flightOf(const RuleTable& rule, const Digits& cells, int period) {
  auto ring = ringOf(rule, identifyRing);
  const std::int32_t at = identifyRing / 2;
  place(*ring, cells, at);
  Flight f;
  f.period = period;
  std::int32_t first = at;
  Digits shape = cells;
  for (int t = 0; t < period; ++t) {
    if (t > 0 && shape == cells) {
      throw std::invalid_argument("its shape comes back after " + std::to_string(t) + " generations: its period is " +
                                  std::to_string(t) + ", not " + std::to_string(period));
    }
    f.phases.push_back(shape);
    f.offsets.push_back(first - at);
    f.lowest = std::min(f.lowest, first - at);
    f.highest = std::max(f.highest, first - at + static_cast<std::int32_t>(shape.size()) - 1);
    stepGeneration(*ring);
    // An edge moves at most 4 cells a generation.
    shape = shapeIn(*ring, first - 4, first + static_cast<std::int32_t>(shape.size()) + 4, first);
  }
  if (shape != cells || first == at) throw std::invalid_argument("not a moving soliton of period " + std::to_string(period));
  f.shift = first - at;
  return f;
}

// What a group of live cells is, run alone.
struct Identity {
  bool known = false;
  CollisionProduct::Kind kind = CollisionProduct::Kind::soliton;
  EnumeratedSoliton entry;
  int direction = 0;
  double velocity = 0;  // cells a generation
};

Identity identifyGroup(const RuleTable& rule, const Digits& cells) {
  Identity id;
  if (cells.size() > identifyWidth) return id;
  auto ring = ringOf(rule, identifyRing);
  const std::int32_t at = identifyRing / 2 - static_cast<std::int32_t>(cells.size()) / 2;
  place(*ring, cells, at);
  std::int32_t first = at;
  Digits shape = cells;
  for (int t = 1; t <= identifyBound; ++t) {
    stepGeneration(*ring);
    // An edge moves at most 4 cells a generation.
    shape = shapeIn(*ring, first - 4, first + static_cast<std::int32_t>(shape.size()) + 4, first);
    if (shape.empty() || first < 8 || first + std::ssize(shape) > identifyRing - 8) return id;
    if (shape != cells) continue;
    const int shift = first - at;
    id.known = true;
    if (shift == 0) {
      id.kind = t == 1 ? CollisionProduct::Kind::still : CollisionProduct::Kind::oscillating;
      id.entry.period = t;
      id.entry.width = static_cast<std::int32_t>(cells.size());
      id.entry.cells = cells;
      return id;
    }
    id.direction = shift > 0 ? 1 : -1;
    id.velocity = static_cast<double>(shift) / t;
    auto listed = describeSoliton(rule, cells, t, shift);
    if (!listed) {  // a phase wider than a code holds: the cells as they are
      listed.emplace();
      listed->period = t;
      listed->shift = std::abs(shift);
      listed->width = static_cast<std::int32_t>(cells.size());
      listed->cells = id.direction > 0 ? cells : exchanged(cells);
    }
    id.entry = *listed;
    return id;
  }
  return id;
}

struct Group {
  std::int32_t first = 0;
  Digits cells;
};

std::vector<Group> groupsOf(const AutomatonState& ring) {
  std::vector<Group> out;
  std::int32_t i = 0;
  const std::int32_t n = ring.ringLength;
  while (i < n) {
    while (i < n && ring.cells[i] == stateA) ++i;
    if (i >= n) break;
    std::int32_t end = i, gap = 0;
    for (std::int32_t j = i; j < n && gap < reach; ++j) {
      if (ring.cells[j] == stateA) {
        ++gap;
      } else {
        gap = 0;
        end = j + 1;
      }
    }
    Group g;
    g.first = i;
    for (std::int32_t j = i; j < end; ++j) g.cells.push_back(digitOf(ring.cells[j]));
    out.push_back(std::move(g));
    i = end;
  }
  return out;
}

// Whether two groups, as they stand, never act on each other: run together
// for `generations` (a whole joint period of the two, which then repeats),
// they give what each gives alone.
bool neverAct(const RuleTable& rule, const Group& left, const Group& right, int generations, std::int64_t travel) {
  const std::int32_t gap = right.first - left.first, span = gap + static_cast<std::int32_t>(right.cells.size());
  const std::int64_t wanted = span + 2 * (travel + edge + 8);
  if (wanted > ringCapacity) return false;
  const auto length = static_cast<std::int32_t>(wanted), at = length / 2 - span / 2;
  return runApart(rule, length, left.cells, at, right.cells, at + gap, generations, edge);
}

// The phase of `flight` the cells are, or -1.
int phaseIn(const Flight& flight, const Digits& cells) {
  const auto at = std::find(flight.phases.begin(), flight.phases.end(), cells);
  return at == flight.phases.end() ? -1 : static_cast<int>(at - flight.phases.begin());
}

class Runner {
 public:
  Runner(const RuleTable& rule, const Flight& a, const Flight& b, const CompleteCollisionOptions& options)
      : rule_(rule), a_(a), b_(b), options_(options) {}

  PairCollision run(int phaseB, std::int32_t startB) {
    PairCollision out;
    out.phaseB = phaseB;
    out.startB = startB;
    const Digits& bCells = b_.phases[static_cast<std::size_t>(phaseB)];
    {
      std::vector<std::uint8_t> row(static_cast<std::size_t>(startB) + bCells.size(), stateA);
      for (std::size_t j = 0; j < a_.phases[0].size(); ++j) row[j] = stateOfDigit[a_.phases[0][j]];
      for (std::size_t j = 0; j < bCells.size(); ++j) row[static_cast<std::size_t>(startB) + j] = stateOfDigit[bCells[j]];
      out.start = rowText(row);
    }
    const std::int32_t span = startB + static_cast<std::int32_t>(bCells.size());
    const std::int32_t origin = collisionRing / 2 - span / 2;
    auto ring = ringOf(rule_, collisionRing);
    place(*ring, a_.phases[0], origin);
    place(*ring, bCells, origin + startB);
    const int settled = std::max(options_.settled, 2 * std::max(a_.period, b_.period));
    int apartSince = -1;
    std::vector<Group> groups;
    std::vector<const Identity*> ids;
    for (int t = 1; t <= options_.limit; ++t) {
      stepGeneration(*ring);
      if (t % checkEvery != 0 && t != options_.limit) continue;
      out.generations = t;
      groups = groupsOf(*ring);
      if (groups.empty()) {
        out.outcome = CollisionOutcome::annihilated;
        return out;
      }
      if (groups.front().first < edge || groups.back().first + std::ssize(groups.back().cells) > collisionRing - edge) break;
      if (std::any_of(groups.begin(), groups.end(), [](const Group& g) { return g.cells.size() > debrisWidth; })) {
        out.outcome = CollisionOutcome::debris;
        return out;
      }
      ids.clear();
      bool known = true;
      for (const Group& g : groups) {
        ids.push_back(&identity(g.cells));
        known = known && ids.back()->known;
      }
      // Neighbours stand apart when they are far apart and the left one is
      // no faster to the right, or when they move alike (solitons of one
      // velocity, or things in place) and run together for a joint period
      // as each runs alone: then they never meet.
      bool standApart = known;
      std::vector<std::pair<std::size_t, int>> alike;  // neighbours k - 1 and k, their joint period
      for (std::size_t k = 1; standApart && k < groups.size(); ++k) {
        const std::int32_t gap = groups[k].first - (groups[k - 1].first + static_cast<std::int32_t>(groups[k - 1].cells.size()));
        const Identity &l = *ids[k - 1], &r = *ids[k];
        const bool sameVelocity = std::int64_t{l.direction} * l.entry.shift * r.entry.period ==
                                  std::int64_t{r.direction} * r.entry.shift * l.entry.period;
        if (gap >= apart && l.velocity <= r.velocity) continue;
        standApart = sameVelocity;
        if (sameVelocity) alike.emplace_back(k, static_cast<int>(std::lcm(l.entry.period, r.entry.period)));
      }
      if (!standApart) {
        apartSince = -1;
        continue;
      }
      if (apartSince < 0) apartSince = t;
      if (t - apartSince >= settled) {
        if (!std::all_of(alike.begin(), alike.end(), [&](const auto& n) {
              const EnumeratedSoliton& e = ids[n.first]->entry;
              const std::int64_t travel = std::int64_t{e.shift} * n.second / e.period + 1;
              return n.second <= options_.limit && neverAct(rule_, groups[n.first - 1], groups[n.first], n.second, travel);
            })) {
          apartSince = -1;
          continue;
        }
        finish(out, groups, ids, origin, phaseB, startB, t);
        return out;
      }
    }
    // Out of time or room: debris when something unknown is there.
    out.outcome = CollisionOutcome::unresolved;
    for (const Group& g : groupsOf(*ring)) {
      if (!identity(g.cells).known) out.outcome = CollisionOutcome::debris;
    }
    return out;
  }

 private:
  const Identity& identity(const Digits& cells) {
    std::string key(cells.begin(), cells.end());
    auto at = known_.find(key);
    if (at == known_.end()) at = known_.emplace(std::move(key), identifyGroup(rule_, cells)).first;
    return at->second;
  }

  void finish(PairCollision& out, const std::vector<Group>& groups, const std::vector<const Identity*>& ids,
              std::int32_t origin, int phaseB, std::int32_t startB, int t) {
    for (std::size_t k = 0; k < groups.size(); ++k) {
      CollisionProduct p;
      p.kind = ids[k]->kind;
      p.entry = ids[k]->entry;
      p.direction = ids[k]->direction;
      p.cells = groups[k].cells;
      p.position = groups[k].first - origin;
      if (p.kind == CollisionProduct::Kind::soliton) offsets(p, phaseB, startB, t);
      out.products.push_back(std::move(p));
    }
    const bool passed = out.products.size() == 2 && out.products[0].continues == "b" && out.products[1].continues == "a";
    out.outcome = passed ? CollisionOutcome::passed : CollisionOutcome::changed;
  }

  // dx and dt of a product that is a or b in one of its own phases.
  void offsets(CollisionProduct& p, int phaseB, std::int32_t startB, int t) {
    const Flight* f = p.direction > 0 ? &a_ : &b_;
    const int phase = phaseIn(*f, p.cells);
    if (phase < 0) return;
    const bool isA = p.direction > 0;
    p.continues = std::string(1, isA ? 'a' : 'b');
    // Free flight: at time s the flight is in phase (start + s) mod period,
    // its first cell at `base` + the phase's offset + shift per period.
    const int start = isA ? 0 : phaseB;
    const std::int64_t base = isA ? 0 : startB - f->offsets[static_cast<std::size_t>(phaseB)];
    const auto firstAt = [&](std::int64_t s) {
      const std::int64_t g = start + s;
      const std::int64_t periods = g >= 0 ? g / f->period : -((-g + f->period - 1) / f->period);
      return base + periods * f->shift + f->offsets[static_cast<std::size_t>(g - periods * f->period)];
    };
    // The free-flight times in that phase: s = phase - start + k period; the nearest to t.
    const std::int64_t s0 = phase - start, diff = t - s0;
    std::int64_t k = diff / f->period;
    const std::int64_t rest = diff - k * f->period;
    if (2 * rest > f->period) ++k;
    if (2 * rest < -f->period) --k;
    const std::int64_t s = s0 + k * f->period;
    p.dt = static_cast<std::int32_t>(t - s);
    p.dx = static_cast<std::int32_t>((p.position - firstAt(s)) * p.direction);
  }

  const RuleTable& rule_;
  const Flight &a_, &b_;
  const CompleteCollisionOptions& options_;
  std::unordered_map<std::string, Identity> known_;
};

}  // namespace

const char* collisionOutcomeName(CollisionOutcome o) {
  switch (o) {
    case CollisionOutcome::passed: return "passed";
    case CollisionOutcome::changed: return "changed";
    case CollisionOutcome::annihilated: return "annihilated";
    case CollisionOutcome::debris: return "debris";
    case CollisionOutcome::unresolved: return "unresolved";
  }
  return "?";
}

PairCollisions completeCollisions(const RuleTable& rule, const EnumeratedSoliton& a, const EnumeratedSoliton& b,
                                  const CompleteCollisionOptions& options) {
  if (rule[0] != 0) throw std::invalid_argument("the rule's entry 0 is not 0: the background of A cells does not stay A");
  if (a.period < 1 || b.period < 1 || a.shift <= 0 || b.shift <= 0) {
    throw std::invalid_argument("both solitons must move: a period of 1 or more and a shift above 0");
  }
  PairCollisions out;
  out.a = a;
  out.b = b;
  const Flight fa = flightOf(rule, a.cells, a.period);
  const Flight fb = flightOf(rule, exchanged(b.cells), b.period);
  if (fa.shift != a.shift || fb.shift != -b.shift) throw std::invalid_argument("a soliton does not move by its listed shift");
  const std::int64_t pa = a.period, pb = b.period, sa = a.shift, sb = b.shift;
  const std::int64_t beat = std::lcm(pa, pb);
  const std::int64_t closing = sa * (beat / pa) + sb * (beat / pb);  // cells the two close in a beat
  out.expected = sa * pb + sb * pa;

  // A start: a's phase 0 from cell 0, b's twin in flight phase tau with
  // its flight's origin x cells on. pa generations of free flight bring a
  // back to phase 0, sa cells on; starts that this carries into each other
  // are the same collision, and a beat carries x to x - closing: the
  // collisions are the orbits of that map on (tau, x mod closing).
  const std::int64_t clear = fa.highest - fb.lowest + reach + 1;  // b's twin clear of a in every phase
  std::vector<bool> seen(static_cast<std::size_t>(pb * closing), false);
  std::vector<std::pair<int, std::int32_t>> starts;
  for (std::int64_t tau = 0; tau < pb; ++tau) {
    for (std::int64_t r = 0; r < closing; ++r) {
      if (seen[static_cast<std::size_t>(tau * closing + r)]) continue;
      starts.emplace_back(static_cast<int>(tau), static_cast<std::int32_t>(clear + r + fb.offsets[static_cast<std::size_t>(tau)]));
      std::int64_t t2 = tau, x = r;
      do {
        seen[static_cast<std::size_t>(t2 * closing + x)] = true;
        const std::int64_t wraps = (t2 + pa) / pb;
        t2 = (t2 + pa) % pb;
        x = ((x - sa - sb * wraps) % closing + closing) % closing;
      } while (t2 != tau || x != r);
    }
  }
  if (static_cast<std::int64_t>(starts.size()) != out.expected) {
    throw std::logic_error("the starts of a collision were not counted as sa pb + sb pa");
  }

  out.collisions.resize(starts.size());
  std::atomic<std::size_t> next{0}, done{0};
  const unsigned threads = options.threads > 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  runOnThreads(threads, [&] {
    Runner runner(rule, fa, fb, options);
    for (std::size_t k = next++; k < starts.size(); k = next++) {
      if (options.poll && options.poll->cancelled()) return;
      out.collisions[k] = runner.run(starts[k].first, starts[k].second);
      const std::size_t finished = ++done;
      if (options.poll) (*options.poll)(static_cast<std::int64_t>(finished), static_cast<std::int64_t>(starts.size()));
    }
  });
  throwIfCancelled(options.poll);
  return out;
}

}  // namespace ondrix
