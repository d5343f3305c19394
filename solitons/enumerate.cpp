#include "ondrix/solitons/enumerate.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <map>
#include <set>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>

#include "ondrix/automaton/bitslice.h"
#include "ondrix/automaton/shards.h"
#include "ondrix/automaton/workers.h"
#include "ondrix/solitons/catalogue.h"
#include "ondrix/solitons/search.h"

namespace ondrix {

// ---- rows one at a time, exactly, for what the enumeration finds ---------

namespace {

constexpr std::uint8_t stateOfDigit[3] = {stateA, stateB, stateC};

// Where a row's first cell goes: the middle of the longest ring, so that
// nothing a row does in some hundreds of generations comes round its ends.
constexpr std::int32_t origin = ringCapacity / 2;

// A quiet ring of the longest length under the rule, holding cells
// from..to-1 of the row at their places counted from `origin`.
std::unique_ptr<AutomatonState> ringWith(const RuleTable& rule, const Digits& row, std::size_t from, std::size_t to) {
  auto ring = std::make_unique<AutomatonState>();
  ring->ringLength = ringCapacity;
  ring->cells.fill(stateA);
  ring->ruleTable = rule;
  for (std::size_t j = from; j < to; ++j) ring->cells[origin + j] = stateOfDigit[row[j]];
  return ring;
}

// The live cells of the ring from the first to the last, and where the first is.
Digits shapeOf(const AutomatonState& ring, std::int32_t& first) {
  first = firstLiveCell(ring);
  std::int32_t last = ring.ringLength - 1;
  while (last >= first && ring.cells[last] == stateA) --last;
  Digits out;
  for (std::int32_t i = first; i <= last; ++i) {
    out.push_back(ring.cells[i] == stateC ? 2 : ring.cells[i] == stateB ? 1 : 0);
  }
  return out;
}

Digits mirrored(Digits d) {
  std::reverse(d.begin(), d.end());
  return d;
}
}  // namespace

bool codeBelow(const Digits& a, const Digits& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
}

int edgeReach(const RuleTable& rule) {
  int reach = 0;
  for (int sides = 1; sides < 16; ++sides) {  // bit k - 1: a C cell k cells away
    const int nearest = std::countr_zero(static_cast<unsigned>(sides)) + 1;
    const int entry = 27 * (sides & 1) + 9 * ((sides >> 1) & 1) + 3 * ((sides >> 2) & 1) + ((sides >> 3) & 1);
    if (rule[static_cast<std::size_t>(entry)] != 0) reach = std::max(reach, nearest);
  }
  return reach;
}

Digits exchanged(Digits d) {
  for (auto& c : d) c = c == 0 ? 0 : static_cast<std::uint8_t>(3 - c);
  return d;
}

Digits codeDigits(std::int64_t code) {
  Digits out;
  for (; code > 0; code /= 3) out.push_back(static_cast<std::uint8_t>(code % 3));
  return out;
}

Digits codeDigits64(std::uint64_t code) {
  Digits out;
  for (; code > 0; code /= 3) out.push_back(static_cast<std::uint8_t>(code % 3));
  return out;
}

std::uint64_t digitsCode64(const Digits& row) {
  std::uint64_t code = 0;
  for (auto it = row.rbegin(); it != row.rend(); ++it) code = 3 * code + *it;
  return code;
}

std::int64_t Enumeration::shapes() const {
  return std::ssize(solitons) +
         std::count_if(solitons.begin(), solitons.end(), [](const EnumeratedSoliton& s) { return !s.twinCells.empty(); });
}

std::int64_t digitsCode(const Digits& row) {
  std::int64_t code = 0;
  for (auto it = row.rbegin(); it != row.rend(); ++it) code = 3 * code + *it;
  return code;
}

Digits letterDigits(std::string_view letters) {
  Digits out;
  for (const char c : letters) {
    const std::size_t d = std::string_view("ABC").find(static_cast<char>(c & ~0x20));
    if (c == 0 || d == std::string_view::npos) {
      throw std::invalid_argument(std::string("'") + c + "' is not a cell: the cells are A, B and C");
    }
    out.push_back(static_cast<std::uint8_t>(d));
  }
  return out;
}

Digits trimmed(const Digits& row) {
  const auto first = std::find_if(row.begin(), row.end(), [](std::uint8_t d) { return d != 0; });
  const auto last = std::find_if(row.rbegin(), row.rend(), [](std::uint8_t d) { return d != 0; }).base();
  return first < last ? Digits(first, last) : Digits{};
}

std::optional<EnumeratedSoliton> identifySoliton(const RuleTable& rule, const Digits& given, int maxPeriod) {
  if (rule[0] != 0) throw std::invalid_argument("the rule's entry 0 is not 0: the background of A cells does not stay A");
  const Digits row = trimmed(given);
  if (row.empty()) return std::nullopt;
  maxPeriod = std::min(maxPeriod, static_cast<int>((origin - std::ssize(row) - 1) / 4));
  const auto ring = ringWith(rule, row, 0, row.size());
  std::int32_t at = 0;
  for (int t = 1; t <= maxPeriod; ++t) {
    stepGeneration(*ring);
    const Digits shape = shapeOf(*ring, at);
    if (shape.empty()) return std::nullopt;
    if (shape == row) return describeSoliton(rule, row, t, at - origin, true);
  }
  return std::nullopt;
}

Digits twinCells(const Digits& cells) { return exchanged(mirrored(cells)); }

bool isOwnTwin(const RuleTable& rule, const EnumeratedSoliton& s) {
  const Digits twin = twinCells(s.cells);
  const auto ring = ringWith(rule, s.cells, 0, s.cells.size());
  std::int32_t at = 0;
  for (int t = 0; t < s.period; ++t) {
    if (shapeOf(*ring, at) == twin) return true;
    stepGeneration(*ring);
  }
  return false;
}

namespace {

// Whether the row's two parts, cells ..split-1 and split.., run alone give
// the row's own generations for `generations` generations.
bool apartFor(const RuleTable& rule, const Digits& row, std::size_t split, int generations) {
  const auto cut = row.begin() + static_cast<std::ptrdiff_t>(split);
  return runApart(rule, ringCapacity, Digits(row.begin(), cut), origin, Digits(cut, row.end()),
                  origin + static_cast<std::int32_t>(split), generations);
}

// +1 when the soliton moves towards higher cells, -1 when towards lower.
int directionOf(const RuleTable& rule, const Digits& soliton, int period) {
  const auto ring = ringWith(rule, soliton, 0, soliton.size());
  for (int t = 0; t < period; ++t) stepGeneration(*ring);
  std::int32_t at = 0;
  shapeOf(*ring, at);
  return at > origin ? 1 : -1;
}

struct Moving {
  EnumeratedSoliton soliton;
  int direction;
};

// Whether the soliton on the left is no faster to the right than the one on its right: they never meet.
bool neverMeet(const Moving& left, const Moving& right) {
  return std::int64_t{left.direction} * left.soliton.shift * right.soliton.period <=
         std::int64_t{right.direction} * right.soliton.shift * left.soliton.period;
}

// The solitons the row is, side by side, from its first cell on: a soliton
// and then the rest, split at a run of A cells where the two run apart and
// never meet.
std::vector<Moving> solitonsApart(const RuleTable& rule, const Digits& row, int generations, bool whole) {
  if (whole) {
    if (auto alone = identifySoliton(rule, row); alone && !sideBySide(rule, row, alone->period)) {
      return {{*alone, directionOf(rule, row, alone->period)}};
    }
  }
  for (std::size_t a = 1; a + 1 < row.size(); ++a) {
    if (row[a] != 0 || row[a - 1] == 0) continue;  // a: the first A of a run
    std::size_t b = a;
    while (b < row.size() && row[b] == 0) ++b;
    const Digits left(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(a));
    const auto first = identifySoliton(rule, left);
    if (!first) continue;
    auto rest = solitonsApart(rule, Digits(row.begin() + static_cast<std::ptrdiff_t>(b), row.end()), generations, true);
    const Moving moving{*first, directionOf(rule, left, first->period)};
    if (rest.empty() || !neverMeet(moving, rest.front()) || !apartFor(rule, row, b, generations)) continue;
    rest.insert(rest.begin(), moving);
    return rest;
  }
  return {};
}

}  // namespace

PatternIdentity identifyPattern(const RuleTable& rule, const Digits& given, int bound) {
  if (rule[0] != 0) throw std::invalid_argument("the rule's entry 0 is not 0: the background of A cells does not stay A");
  const Digits row = trimmed(given);
  PatternIdentity out;
  out.bound = std::max(0, std::min(bound, static_cast<int>((origin - std::ssize(row) - 1) / 4)));
  if (row.empty()) {
    out.kind = PatternKind::dies;
    return out;
  }
  const auto ring = ringWith(rule, row, 0, row.size());
  std::int32_t at = 0;
  for (int t = 1; t <= out.bound; ++t) {
    stepGeneration(*ring);
    const Digits shape = shapeOf(*ring, at);
    if (shape.empty()) {
      out.kind = PatternKind::dies;
      out.period = t;
      return out;
    }
    if (shape != row) continue;
    out.period = t;
    if (at == origin) {
      out.kind = PatternKind::oscillator;
    } else if (sideBySide(rule, row, t)) {
      out.kind = PatternKind::sideBySide;
      for (const Moving& m : solitonsApart(rule, row, out.bound, false)) {
        out.solitons.push_back(m.soliton);
        out.directions.push_back(m.direction);
      }
    } else {
      // The row is back first after t generations, moved: it is described.
      out.kind = PatternKind::soliton;
      const auto listed = describeSoliton(rule, row, t, at - origin, true);
      if (!listed) throw std::logic_error("a row that comes back moved is not described");
      out.solitons = {*listed};
      out.directions = {at > origin ? 1 : -1};
    }
    return out;
  }
  // Solitons of other speeds side by side never come back as one shape.
  const auto apart = solitonsApart(rule, row, out.bound, false);
  if (apart.size() >= 2) {
    out.kind = PatternKind::sideBySide;
    for (const Moving& m : apart) {
      out.solitons.push_back(m.soliton);
      out.directions.push_back(m.direction);
    }
  }
  return out;
}

bool runApart(const RuleTable& rule, std::int32_t length, const Digits& left, std::int32_t leftAt, const Digits& right,
              std::int32_t rightAt, int generations, std::int32_t margin) {
  const auto ringOf = [&](const Digits* a, const Digits* b) {
    auto ring = std::make_unique<AutomatonState>(quietRing(rule, length));
    for (std::size_t j = 0; a && j < a->size(); ++j) ring->cells[static_cast<std::size_t>(leftAt) + j] = stateOfDigit[(*a)[j]];
    for (std::size_t j = 0; b && j < b->size(); ++j) ring->cells[static_cast<std::size_t>(rightAt) + j] = stateOfDigit[(*b)[j]];
    return ring;
  };
  const auto both = ringOf(&left, &right), l = ringOf(&left, nullptr), r = ringOf(nullptr, &right);
  for (int t = 0; t < generations; ++t) {
    stepGeneration(*both);
    stepGeneration(*l);
    stepGeneration(*r);
    for (std::int32_t i = 0; i < length; ++i) {
      const std::uint8_t x = l->cells[i], y = r->cells[i];
      if ((x != stateA && y != stateA) || both->cells[i] != (x == stateA ? y : x)) return false;
      if ((i < margin || i >= length - margin) && both->cells[i] != stateA) return false;
    }
  }
  return true;
}

namespace {

// Whether the row, run alone, has its own shape after `period` generations.
bool backAfter(const RuleTable& rule, const Digits& row, int period) {
  const auto ring = ringWith(rule, row, 0, row.size());
  for (int t = 0; t < period; ++t) stepGeneration(*ring);
  std::int32_t first = 0;
  return shapeOf(*ring, first) == row;
}

// The first cell of the right part where the row splits into two parts that
// run apart for `period` generations and come back; 0 when it does not.
std::size_t splitPoint(const RuleTable& rule, const Digits& row, int period) {
  const std::size_t n = row.size();
  for (std::size_t a = 0; a + 1 < n; ++a) {
    if (row[a] == 0 || row[a + 1] != 0) continue;  // a: the last cell of a left part
    std::size_t b = a + 1;
    while (b < n && row[b] == 0) ++b;
    const Digits left(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(a + 1)), right(row.begin() + static_cast<std::ptrdiff_t>(b), row.end());
    // Apart for a period, and each part its own shape again after it: two
    // parts that hand cells to each other are one pattern.
    if (runApart(rule, ringCapacity, left, origin, right, origin + static_cast<std::int32_t>(b), period) &&
        backAfter(rule, left, period) && backAfter(rule, right, period)) {
      return b;
    }
  }
  return 0;
}

}  // namespace

bool sideBySide(const RuleTable& rule, const Digits& row, int period) { return splitPoint(rule, row, period) != 0; }

std::optional<Digits> narrowestPhaseApart(const RuleTable& rule, const Digits& row, int period) {
  const auto ring = ringWith(rule, row, 0, row.size());
  std::vector<Digits> phases;
  std::int32_t first = 0;
  for (int t = 0; t < period; ++t) {
    phases.push_back(shapeOf(*ring, first));
    stepGeneration(*ring);
  }
  std::size_t narrowest = row.size();
  for (const Digits& phase : phases) narrowest = std::min(narrowest, phase.size());
  for (const Digits& phase : phases) {
    if (phase.size() == narrowest && sideBySide(rule, phase, period)) return phase;
  }
  return std::nullopt;
}

std::vector<Digits> partsApart(const RuleTable& rule, const Digits& row, int period) {
  const std::size_t b = splitPoint(rule, row, period);
  if (b == 0) return {row};
  std::size_t a = b - 1;
  while (row[a] == 0) --a;
  auto out = partsApart(rule, Digits(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(a + 1)), period);
  for (Digits& part : partsApart(rule, Digits(row.begin() + static_cast<std::ptrdiff_t>(b), row.end()), period)) {
    out.push_back(std::move(part));
  }
  return out;
}

std::optional<EnumeratedSoliton> describeSoliton(const RuleTable& rule, const Digits& row, int period, int shift,
                                                bool anyWidth) {
  if (row.empty() || row.front() == 0 || row.back() == 0 || period < 1 || shift == 0) return std::nullopt;
  if (4 * std::int64_t{period} + std::ssize(row) >= origin) return std::nullopt;  // it would come round the ring
  const auto ring = ringWith(rule, row, 0, row.size());
  std::vector<Digits> phases;
  std::int32_t first = 0;
  for (int t = 0; t < period; ++t) {
    Digits phase = shapeOf(*ring, first);
    if (t > 0 && phase == row) return std::nullopt;  // back sooner: its period is shorter
    phases.push_back(std::move(phase));
    stepGeneration(*ring);
  }
  if (shapeOf(*ring, first) != row || first - origin != shift) return std::nullopt;
  EnumeratedSoliton out;
  out.period = period;
  out.shift = std::abs(shift);
  out.speed = solitonSpeed(out.shift, period);
  // The phases that move towards higher indices: this one's and its
  // twin's, or their mirror images when this one moves the other way; the
  // smallest of each side. A soliton that is its own twin has one side.
  std::optional<Digits> own, twins;
  for (const Digits& phase : phases) {
    out.width = std::max(out.width, static_cast<std::int32_t>(phase.size()));
    out.narrowest = out.narrowest ? std::min(out.narrowest, static_cast<std::int32_t>(phase.size()))
                                  : static_cast<std::int32_t>(phase.size());
    if (!anyWidth && std::ssize(phase) > code64WidthLimit) continue;
    Digits mine = shift > 0 ? phase : mirrored(phase);
    Digits twin = shift > 0 ? exchanged(mirrored(phase)) : exchanged(phase);
    if (!own || codeBelow(mine, *own)) own = std::move(mine);
    if (!twins || codeBelow(twin, *twins)) twins = std::move(twin);
  }
  if (!own) return std::nullopt;
  const bool ownFirst = !codeBelow(*twins, *own);
  out.cells = ownFirst ? *own : *twins;
  if (*own != *twins) out.twinCells = ownFirst ? *twins : *own;
  out.code64 = std::ssize(out.cells) <= code64WidthLimit ? digitsCode64(out.cells) : 0;
  out.code = std::ssize(out.cells) <= codeWidthLimit ? static_cast<std::int32_t>(out.code64) : 0;
  return out;
}

// ---- the enumeration ------------------------------------------------------

namespace {

constexpr int lowDigits = 8;  // the digits of a row a work unit runs through
constexpr int lowCount = 6561;

// Cells 0..7 of the rows 0..6560 (digit j of n is cell j) as C and B bits.
struct LowRows {
  std::array<std::uint16_t, lowCount> x{}, y{};
  LowRows() {
    for (int n = 0; n < lowCount; ++n) {
      for (int j = 0, v = n; j < lowDigits; ++j, v /= 3) {
        x[n] |= static_cast<std::uint16_t>((v % 3 == 2) << j);
        y[n] |= static_cast<std::uint16_t>((v % 3 == 1) << j);
      }
    }
  }
};

std::uint64_t reversed(std::uint64_t v) {
  v = __builtin_bswap64(v);
  v = ((v >> 4) & 0x0F0F0F0F0F0F0F0FULL) | ((v & 0x0F0F0F0F0F0F0F0FULL) << 4);
  v = ((v >> 2) & 0x3333333333333333ULL) | ((v & 0x3333333333333333ULL) << 2);
  return ((v >> 1) & 0x5555555555555555ULL) | ((v & 0x5555555555555555ULL) << 1);
}

// Whether row a's code is at most row b's, both as C and B bits of one
// width: the highest cell where they differ decides.
bool codeAtMost(std::uint64_t ax, std::uint64_t ay, std::uint64_t bx, std::uint64_t by) {
  const std::uint64_t differ = (ax ^ bx) | (ay ^ by);
  if (differ == 0) return true;
  const int top = 63 - std::countl_zero(differ);
  return 2 * ((ax >> top) & 1) + ((ay >> top) & 1) < 2 * ((bx >> top) & 1) + ((by >> top) & 1);
}

// A row, its mirror image, it with B and C exchanged and both: the rule
// treats left and right alike, and exchanging B and C runs it backwards, so
// the four are phases of one soliton and its twin or of none. Only the one
// with the smallest code is run.
bool runsForItsFour(std::uint64_t x, std::uint64_t y, int width) {
  const std::uint64_t mx = reversed(x) >> (64 - width), my = reversed(y) >> (64 - width);
  return codeAtMost(x, y, mx, my) && codeAtMost(x, y, y, x) && codeAtMost(x, y, my, mx);
}

std::int64_t power3(int k) {
  std::int64_t p = 1;
  while (k-- > 0) p *= 3;
  return p;
}

// Rows of `width` cells with live cells at both ends.
std::int64_t rowsOfWidth(int width) { return width == 1 ? 2 : 4 * power3(width - 2); }

// A work unit: the rows of one width whose cells from 8 on read `high`.
// Only rows whose last cell is B can be the smallest of their four, so the
// units of a width run through those.
struct Unit {
  int width;
  std::int64_t high;
};

// The units of every width up to the widest, numbered in order (by width,
// then `high`), not stored: shard i of n takes units i, i + n, i + 2n, ...,
// which spreads each width's units, and so its work, evenly over the shards.
class UnitPlan {
 public:
  UnitPlan(int maxWidth, int shardIndex, int shardCount) : index_(shardIndex), count_(shardCount) {
    first_.push_back(0);
    for (int w = 1; w <= maxWidth; ++w) first_.push_back(first_.back() + unitsOfWidth(w));
  }

  // The shard's k-th unit (from 0), false past its last.
  bool unit(std::int64_t k, Unit& u) const {
    const std::int64_t n = k * count_ + index_;
    if (n >= first_.back()) return false;
    u.width = static_cast<int>(std::upper_bound(first_.begin(), first_.end(), n) - first_.begin());
    u.high = u.width <= lowDigits ? 0 : power3(u.width - 9) + (n - first_[static_cast<std::size_t>(u.width - 1)]);
    return true;
  }

  // The rows with live cells at both ends that the shard's units hold.
  std::int64_t rows() const { return rowsOfFirst(count()); }

  static std::int64_t unitsOfWidth(int width) { return width <= lowDigits ? 1 : power3(width - 9); }

  // The shard's units, and the rows its first k hold.
  std::int64_t count() const { return mine(first_.back()); }
  std::int64_t rowsOfFirst(std::int64_t k) const {
    std::int64_t rows = 0;
    for (std::size_t w = 1; w < first_.size(); ++w) {
      const auto width = static_cast<int>(w);
      const std::int64_t units = std::min(mine(first_[w]), k) - std::min(mine(first_[w - 1]), k);
      rows += units * (rowsOfWidth(width) / unitsOfWidth(width));
    }
    return rows;
  }

 private:
  // The shard's units below unit n.
  std::int64_t mine(std::int64_t n) const { return n > index_ ? (n - index_ + count_ - 1) / count_ : 0; }

  std::int64_t index_, count_;
  std::vector<std::int64_t> first_;  // the first unit of each width, and the end
};

using Found = EnumerationCheckpoint::Row;

// A row on its way: its cells now (K words, its first live cell at bit
// `home`), where it started and how far it has run.
constexpr int home = 4;
constexpr int widestWords = 3;

struct InFlight {
  std::array<std::uint64_t, widestWords> x{}, y{};
  std::uint64_t startX = 0, startY = 0;
  int startWidth = 0, generations = 0;
  std::int64_t offset = 0;
};

// Hands out the rows of the units to the lanes, one worker's share.
class RowSource {
 public:
  // The units from `nextUnit` on, up to unit `end` of the shard.
  RowSource(const UnitPlan& units, std::atomic<std::int64_t>& nextUnit, std::int64_t end, const LowRows& low,
            const std::function<void(std::int64_t)>& covered, const Poll* poll)
      : units_(units), nextUnit_(nextUnit), end_(end), low_(low), covered_(covered), poll_(poll) {}

  // The next row to run, from its start, false when there is none.
  template <class Row>
  bool next(Row& row) {
    for (;;) {
      while (n_ < nEnd_) {
        const int n = n_++;
        const std::uint64_t x = highX_ | low_.x[n], y = highY_ | low_.y[n];
        if (((x | y) & 1) == 0) continue;
        if (!runsForItsFour(x, y, width_)) continue;
        row = Row{};
        row.x[0] = row.startX = x << home;
        row.y[0] = row.startY = y << home;
        row.startWidth = width_;
        row.offset = -home;
        candidates += 1;
        return true;
      }
      if (!takeUnit()) return false;
    }
  }

  std::int64_t candidates = 0;

 private:
  bool takeUnit() {
    if (width_ > 0) covered_(rowsOfWidth(width_) / UnitPlan::unitsOfWidth(width_));
    // A cancelled run takes no more units; the rows in the lanes end within
    // their period bound.
    Unit unit{};
    const std::int64_t k = poll_ && poll_->cancelled() ? end_ : nextUnit_.fetch_add(1, std::memory_order_relaxed);
    if (k >= end_ || !units_.unit(k, unit)) {
      width_ = 0;
      return false;
    }
    width_ = unit.width;
    highX_ = highY_ = 0;
    if (width_ <= lowDigits) {
      n_ = static_cast<int>(power3(width_ - 1));  // the last cell B
      nEnd_ = 2 * n_;
    } else {
      std::int64_t v = unit.high;
      for (int j = lowDigits; j < width_; ++j, v /= 3) {
        highX_ |= std::uint64_t{v % 3 == 2} << j;
        highY_ |= std::uint64_t{v % 3 == 1} << j;
      }
      n_ = 0;
      nEnd_ = lowCount;
    }
    return true;
  }

  const UnitPlan& units_;
  std::atomic<std::int64_t>& nextUnit_;
  std::int64_t end_;
  const LowRows& low_;
  const std::function<void(std::int64_t)>& covered_;
  const Poll* poll_;
  int width_ = 0, n_ = 0, nEnd_ = 0;
  std::uint64_t highX_ = 0, highY_ = 0;
};

// Runs rows `lanes` at a time in K-word rows. After every generation a row
// is moved back so that its first live cell is at bit `home`. A row stops
// when it is its start row again (a soliton when it has moved), when it is
// narrower than it started (a soliton it is a phase of is then found from
// its narrowest phase, or from the one of that phase's four that is run),
// when it is too wide to come back to its width by the last generation, and
// after `maxPeriod` generations. Each edge of a row moves at most `reach`
// cells a generation, out or in (in, since the step backwards is the step
// forwards with B and C exchanged, so it reaches as far): a row narrows by
// at most 2 reach a generation. A row that no longer fits K words with room
// for its next generation goes to `wider`, to go on in more words.
template <int K>
class Runner {
 public:
  Runner(const RuleTable& rule, int maxPeriod, int reach)
      : rule_(rule.data()), step_(bitslice::bestWideStep<K>()), maxPeriod_(maxPeriod), reach_(reach) {}

  template <class Source>
  void run(Source& source, std::vector<Found>& found, std::vector<InFlight>* wider) {
    int active = 0;
    for (int k = 0; k < lanes; ++k) active += fill(k, source);
    while (active > 0) {
      step_(rule_, batch_);
      for (int k = 0; k < lanes; ++k) {
        if (!busy_[k] || goesOn(k, found, wider)) continue;
        active -= 1 - fill(k, source);
      }
    }
  }

 private:
  static constexpr int lanes = bitslice::lanes;

  template <class Source>
  bool fill(int k, Source& source) {
    InFlight& row = rows_[k];
    busy_[k] = source.next(row);
    for (int w = 0; w < K; ++w) {
      batch_.x[w * lanes + k] = busy_[k] ? row.x[w] : 0;
      batch_.y[w * lanes + k] = busy_[k] ? row.y[w] : 0;
    }
    return busy_[k];
  }

  bool goesOn(int k, std::vector<Found>& found, std::vector<InFlight>* wider) {
    InFlight& row = rows_[k];
    if constexpr (K == 1) return goesOnInOneWord(k, row, found, wider);
    std::uint64_t x[K], y[K];
    int low = -1, high = -1;
    for (int w = 0; w < K; ++w) {
      x[w] = batch_.x[w * lanes + k];
      y[w] = batch_.y[w * lanes + k];
      const std::uint64_t live = x[w] | y[w];
      if (live == 0) continue;
      if (low < 0) low = 64 * w + std::countr_zero(live);
      high = 64 * w + 63 - std::countl_zero(live);
    }
    if (low < 0) return false;  // a quiet rule never empties a row; no soliton either way
    const int t = ++row.generations;
    const int width = high - low + 1;
    const int by = low - home;
    if (by != 0) {
      moveRow(x, by);
      moveRow(y, by);
      row.offset += by;
    }
    bool back = width == row.startWidth && x[0] == row.startX && y[0] == row.startY;
    for (int w = 1; w < K; ++w) back = back && x[w] == 0 && y[w] == 0;
    if (back) {
      if (row.offset + home != 0) found.push_back({row.startX >> home, row.startY >> home, row.startWidth, t, row.offset + home});
      return false;
    }
    if (width < row.startWidth || width > row.startWidth + 2 * reach_ * (maxPeriod_ - t) || t >= maxPeriod_) return false;
    if (home + width + reach_ > 64 * K) {
      if (!wider) throw std::logic_error("a row outgrew the widest words of the enumeration");
      std::copy(x, x + K, row.x.begin());
      std::copy(y, y + K, row.y.begin());
      wider->push_back(row);
      return false;
    }
    for (int w = 0; w < K; ++w) {
      batch_.x[w * lanes + k] = x[w];
      batch_.y[w * lanes + k] = y[w];
    }
    return true;
  }

  // The same for a row of one word, with fewer branches: most rows run in
  // one word, and this is the enumeration's inner loop.
  bool goesOnInOneWord(int k, InFlight& row, std::vector<Found>& found, std::vector<InFlight>* wider) {
    std::uint64_t x = batch_.x[k], y = batch_.y[k];
    const std::uint64_t live = x | y;
    if (live == 0) return false;
    const int low = std::countr_zero(live), width = 64 - std::countl_zero(live) - low;
    const int t = ++row.generations, by = low - home;
    const int right = by > 0 ? by : 0, left = by < 0 ? -by : 0;
    x = (x >> right) << left;
    y = (y >> right) << left;
    row.offset += by;
    if (x == row.startX && y == row.startY) {  // the start row again, so of its width
      if (row.offset + home != 0) found.push_back({row.startX >> home, row.startY >> home, row.startWidth, t, row.offset + home});
      return false;
    }
    if ((width < row.startWidth) | (width > row.startWidth + 2 * reach_ * (maxPeriod_ - t)) | (t >= maxPeriod_)) return false;
    if (home + width + reach_ > 64) {
      if (!wider) throw std::logic_error("a row outgrew the widest words of the enumeration");
      row.x[0] = x;
      row.y[0] = y;
      wider->push_back(row);
      return false;
    }
    batch_.x[k] = x;
    batch_.y[k] = y;
    return true;
  }

  // Moves the cells of a row `by` bits towards bit 0 (away from it when
  // negative).
  static void moveRow(std::uint64_t (&v)[K], int by) {
    std::uint64_t out[K] = {};
    for (int w = 0; w < K; ++w) {
      const int from = 64 * w + by;  // bit `from` of the old row is bit 64 w of the new one
      const int word = from >= 0 ? from / 64 : -1 - (-from - 1) / 64;
      const int bit = from - 64 * word;
      const auto at = [&](int i) { return i >= 0 && i < K ? v[i] : std::uint64_t{0}; };
      out[w] = bit == 0 ? at(word) : (at(word) >> bit) | (at(word + 1) << (64 - bit));
    }
    std::copy(out, out + K, v);
  }

  bitslice::SliceRule rule_;
  bitslice::WideStep<K> step_;
  int maxPeriod_, reach_;
  bitslice::WideBatch<K> batch_;
  std::array<bool, lanes> busy_{};
  std::array<InFlight, lanes> rows_{};
};

// Rows handed on from a narrower runner, in the order they came.
class Handed {
 public:
  explicit Handed(std::vector<InFlight>& rows) : rows_(rows) {}
  bool next(InFlight& row) {
    if (at_ == rows_.size()) return false;
    row = rows_[at_++];
    return true;
  }

 private:
  std::vector<InFlight>& rows_;
  std::size_t at_ = 0;
};

// The rows of the source, in one word while they fit and then in `words`.
void runRows(const RuleTable& rule, int maxPeriod, int reach, int words, bool narrowFirst, RowSource& source,
             std::vector<Found>& found) {
  if (!narrowFirst) {
    if (words == 1) Runner<1>(rule, maxPeriod, reach).run(source, found, nullptr);
    if (words == 2) Runner<2>(rule, maxPeriod, reach).run(source, found, nullptr);
    if (words == 3) Runner<3>(rule, maxPeriod, reach).run(source, found, nullptr);
    return;
  }
  std::vector<InFlight> wider;
  Runner<1> narrow(rule, maxPeriod, reach);
  const auto widen = [&]<int K>() {
    Runner<K> runner(rule, maxPeriod, reach);
    Handed rows(wider);
    runner.run(rows, found, nullptr);
    wider.clear();
  };
  // A source that hands out its rows in batches, so that the rows that
  // outgrow one word go on in wider runners a few thousand at a time.
  struct Batches {
    RowSource& source;
    std::size_t limit;
    std::vector<InFlight>& wider;
    bool next(InFlight& row) { return wider.size() < limit && source.next(row); }
  } batches{source, 4096, wider};
  for (;;) {
    narrow.run(batches, found, &wider);
    if (wider.empty()) break;
    if (words <= 2) {
      widen.operator()<2>();
    } else {
      widen.operator()<3>();
    }
  }
}

Digits rowDigits(std::uint64_t x, std::uint64_t y, int width) {
  Digits d(width);
  for (int j = 0; j < width; ++j) d[j] = static_cast<std::uint8_t>(((x >> j) & 1) ? 2 : (y >> j) & 1);
  return d;
}

bool listOrder(const EnumeratedSoliton& a, const EnumeratedSoliton& b) {
  return std::pair(a.period, a.code64) < std::pair(b.period, b.code64);
}

// Marks the solitons the seed search of a 768-cell ring finds.
void markSeedSearch(const RuleTable& rule, unsigned threads, std::vector<EnumeratedSoliton>& list, const Poll* poll) {
  Poll quiet(poll);  // the enumeration's report counts rows only
  SearchOptions options;
  options.threads = threads;
  options.poll = &quiet;
  for (const FoundSoliton& f : findSolitons(rule, startupRingLength, options).solitons) {
    const auto seen = describeSoliton(rule, codeDigits(f.code), f.period, f.shift);
    if (!seen) continue;
    for (auto& s : list) s.seedSearch = s.seedSearch || s.code64 == seen->code64;
  }
}

}  // namespace

Enumeration enumerateSolitons(const RuleTable& rule, const EnumerateOptions& options) {
  const int maxWidth = options.maxWidth, maxPeriod = options.maxPeriod;
  if (maxWidth < 1 || maxWidth > enumerateWidthLimit) {
    throw std::invalid_argument("the width must be 1.." + std::to_string(enumerateWidthLimit));
  }
  if (maxPeriod < 1 || maxPeriod > enumeratePeriodLimit) {
    throw std::invalid_argument("the period must be 1.." + std::to_string(enumeratePeriodLimit));
  }
  if (rule[0] != 0) {
    throw std::invalid_argument("the rule's entry 0 is not 0: the background of A cells does not stay A");
  }
  if (options.shardCount < 1 || options.shardIndex < 0 || options.shardIndex >= options.shardCount) {
    throw std::invalid_argument("shard " + std::to_string(options.shardIndex) + " of " +
                                std::to_string(options.shardCount) + ": the shard must be 0..count-1 of a count of 1 or more");
  }
  Enumeration out;
  out.rule = rule;
  out.maxWidth = maxWidth;
  out.maxPeriod = maxPeriod;
  out.shardIndex = options.shardIndex;
  out.shardCount = options.shardCount;
  const UnitPlan units(maxWidth, options.shardIndex, options.shardCount);
  out.rows = units.rows();
  // A row that can still come back is at most maxWidth + reach maxPeriod
  // cells wide, and it needs `home` cells of A before it and `reach` after
  // it for its next generation.
  const int reach = options.ruleReach ? edgeReach(rule) : 4;
  const int words = (maxWidth + reach * maxPeriod + home + reach + 63) / 64;
  const unsigned threads = options.threads > 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());

  // What is done: from a checkpoint of this run, or nothing.
  EnumerationCheckpoint done{.rule = rule, .maxWidth = maxWidth, .maxPeriod = maxPeriod, .shardIndex = options.shardIndex,
                             .shardCount = options.shardCount, .unitsDone = 0, .units = units.count(), .candidates = 0,
                             .rows = {}};
  if (const EnumerationCheckpoint* r = options.resume) {
    if (r->rule != rule || r->maxWidth != maxWidth || r->maxPeriod != maxPeriod || r->shardIndex != options.shardIndex ||
        r->shardCount != options.shardCount || r->units != done.units || r->unitsDone < 0 || r->unitsDone > r->units) {
      throw std::invalid_argument("the checkpoint is of another run: another rule, other bounds or another shard");
    }
    done = *r;
  }

  // The units in stretches of a few hundred, every thread on each: between
  // stretches nothing is in flight, and what is done can be written down.
  constexpr std::int64_t stretch = 256;
  const LowRows low;
  std::mutex mutex;
  std::int64_t covered = units.rowsOfFirst(done.unitsDone);
  const std::function<void(std::int64_t)> report = [&](std::int64_t rows) {
    if (!options.poll) return;
    std::lock_guard lock(mutex);
    covered += rows;
    (*options.poll)(covered, out.rows);
  };
  auto written = std::chrono::steady_clock::now();
  while (done.unitsDone < done.units) {
    const std::int64_t end = std::min(done.units, done.unitsDone + stretch);
    std::atomic<std::int64_t> nextUnit{done.unitsDone};
    runOnThreads(threads, [&] {
      RowSource source(units, nextUnit, end, low, report, options.poll);
      std::vector<Found> mine;
      runRows(rule, maxPeriod, reach, words, options.ruleReach, source, mine);
      std::lock_guard lock(mutex);
      done.candidates += source.candidates;
      done.rows.insert(done.rows.end(), mine.begin(), mine.end());
    });
    throwIfCancelled(options.poll);
    done.unitsDone = end;
    if (options.checkpoint && (done.unitsDone == done.units ||
                               std::chrono::steady_clock::now() - written >= options.checkpointEvery)) {
      // In one order whatever the threads did.
      std::sort(done.rows.begin(), done.rows.end(), [](const Found& a, const Found& b) {
        return std::tie(a.width, a.x, a.y, a.period) < std::tie(b.width, b.x, b.y, b.period);
      });
      options.checkpoint(done);
      written = std::chrono::steady_clock::now();
    }
  }
  out.candidates = done.candidates;
  const std::vector<Found>& found = done.rows;
  throwIfCancelled(options.poll);

  std::map<std::uint64_t, EnumeratedSoliton> solitons, pairs;
  for (const Found& f : found) {
    const Digits row = rowDigits(f.x, f.y, f.width);
    const auto entry = describeSoliton(rule, row, f.period, static_cast<int>(f.shift));
    if (!entry)
      throw std::logic_error("a row the enumeration found does not come back: " + std::to_string(digitsCode(row)));
    auto& into = sideBySide(rule, row, f.period) ? pairs : solitons;
    into.emplace(entry->code64, *entry);
  }
  for (const auto& [code, s] : pairs) out.sideBySideCodes.push_back(code);
  out.sideBySide = std::ssize(out.sideBySideCodes);
  for (auto& [code, s] : solitons) out.solitons.push_back(s);
  std::sort(out.solitons.begin(), out.solitons.end(), listOrder);
  if (options.markSeedSearch) markSeedSearch(rule, threads, out.solitons, options.poll);
  return out;
}

Enumeration mergeEnumerations(std::vector<Enumeration> shards) {
  if (shards.empty()) throw std::invalid_argument("no shards to merge");
  const Enumeration& first = shards.front();
  const auto bounds = [](const Enumeration& e) {
    return "width " + std::to_string(e.maxWidth) + ", period " + std::to_string(e.maxPeriod);
  };
  const auto name = [](const Enumeration& e) {
    return "shard " + std::to_string(e.shardIndex) + " of " + std::to_string(e.shardCount);
  };
  std::vector<std::pair<int, int>> split;
  for (const Enumeration& e : shards) split.emplace_back(e.shardIndex, e.shardCount);
  if (const std::string problem = shardSetProblem(split); !problem.empty()) throw std::invalid_argument(problem);
  Enumeration out;
  out.rule = first.rule;
  out.maxWidth = first.maxWidth;
  out.maxPeriod = first.maxPeriod;
  std::map<std::uint64_t, EnumeratedSoliton> solitons;
  std::set<std::uint64_t> pairs;
  for (const Enumeration& e : shards) {
    if (e.rule != first.rule) throw std::invalid_argument(name(e) + " was made under another rule than " + name(first));
    if (e.maxWidth != first.maxWidth || e.maxPeriod != first.maxPeriod) {
      throw std::invalid_argument(name(e) + " has the bounds " + bounds(e) + ", " + name(first) + " " + bounds(first));
    }
    // What a shard holds can be checked without running it: its rows, and
    // each entry as the rule runs it.
    if (e.rows != UnitPlan(e.maxWidth, e.shardIndex, e.shardCount).rows()) {
      throw std::invalid_argument(name(e) + " counts " + std::to_string(e.rows) + " rows, not the rows of that shard");
    }
    for (const EnumeratedSoliton& s : e.solitons) {
      const auto again = describeSoliton(e.rule, s.cells, s.period, s.shift);
      if (!again || again->code64 != s.code64 || again->width != s.width || again->twinCells != s.twinCells ||
          std::ssize(s.cells) > e.maxWidth || s.period > e.maxPeriod) {
        throw std::invalid_argument(name(e) + " lists " + std::to_string(s.code64) + ", which is no soliton of its bounds as listed");
      }
    }
    out.rows += e.rows;
    out.candidates += e.candidates;
    pairs.insert(e.sideBySideCodes.begin(), e.sideBySideCodes.end());
    for (const EnumeratedSoliton& s : e.solitons) {
      const auto [at, added] = solitons.emplace(s.code64, s);
      const EnumeratedSoliton& had = at->second;
      if (!added && (had.period != s.period || had.shift != s.shift || had.width != s.width ||
                     had.cells != s.cells || had.twinCells != s.twinCells || had.seedSearch != s.seedSearch)) {
        throw std::invalid_argument(name(e) + " and another shard disagree on the soliton of code " +
                                    std::to_string(s.code64));
      }
    }
  }
  out.sideBySideCodes.assign(pairs.begin(), pairs.end());
  out.sideBySide = std::ssize(out.sideBySideCodes);
  for (auto& [code, s] : solitons) out.solitons.push_back(s);
  std::sort(out.solitons.begin(), out.solitons.end(), listOrder);
  return out;
}

Catalogue enumeratedCatalogue(const Enumeration& e) {
  Catalogue c;
  for (const EnumeratedSoliton& s : e.solitons) {
    if (c.Nsol == static_cast<std::int32_t>(catalogueCapacity)) break;
    if (s.code == 0) continue;  // wider than a 32-bit code holds
    c.solitonCode[c.Nsol] = s.code;
    c.solitonPeriod[c.Nsol] = s.period;
    c.solitonShift[c.Nsol] = s.shift;
    c.Nsol += 1;
  }
  return c;
}

}  // namespace ondrix
