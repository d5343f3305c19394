#include "ondrix/solitons/anywidth.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <climits>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "ondrix/automaton/workers.h"

namespace ondrix {

namespace {

// The search runs in a frame that moves with the soliton: row t of column
// j is generation t at cell j + sigma(t), where sigma(t) = floor(t s / p)
// (towards lower cells for a negative s), so that generation p is
// generation 0 again at the same place and the space-time is periodic in
// time. The rule then reads, for generation t + 1 at column j:
//   y[t+1][j] = !y[t][j+d_t] & (y[t-1][j+d_t+d_{t-1}] ^ f(y[t] around j+d_t))
// with d_t = sigma(t+1) - sigma(t), at most 4 either way, and rows taken
// round modulo p. Every such check spans nine columns, so a state is the
// last eight columns: bits k p .. k p + p - 1 column k (0 the oldest), bit t
// of a column row t.
using Key = std::uint64_t;

struct Layout {
  int p, s, a;
  std::array<int, anyWidthPeriodLimit> d{};  // d_t
  Layout(int period, int shift) : p(period), s(shift), a(std::abs(shift)) {
    for (int t = 0; t < p; ++t) d[static_cast<std::size_t>(t)] = (shift < 0 ? -1 : 1) * ((t + 1) * a / p - t * a / p);
  }
  int last() const { return d[static_cast<std::size_t>(p - 1)]; }  // where generation 0's B cells lie in row p - 1
};

constexpr std::uint32_t noState = 0xFFFFFFFFu;

// A search that would take more memory than it may; the message says how
// much its states could take at most.
struct StateSetTooLarge : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::uint64_t hashKey(Key k) {
  std::uint64_t h = k ^ (k >> 33);
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 31;
  h *= 0xBF58476D1CE4E5B9ULL;
  return h ^ (h >> 29);
}

std::string bytesText(double b) {
  const char* units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  int u = 0;
  while (b >= 1024 && u < 6) b /= 1024, ++u;
  char text[48];
  std::snprintf(text, sizeof text, u == 0 ? "%.0f %s" : "%.1f %s", b, units[u]);
  return text;
}

std::uint64_t defaultMemory() {
  const std::uint64_t memory = physicalMemory();
  return memory > 0 ? memory / 2 : std::uint64_t{4} << 30;
}

// The successors of one state: the columns that keep every check they
// complete, and the states they lead to.
class Expander {
 public:
  Expander(const RuleTable& rule, const Layout& l) : l_(l) {
    for (int k = 0; k < ruleHalfSize; ++k) f_[static_cast<std::size_t>(k)] = rule[static_cast<std::size_t>(k)] != 0;
    // Besides its own row the check of generation t + 1 reads the new column
    // for the row after when d_t is -4, for the row before when d_{t-1} is 4.
    for (int t = 0; t < l.p; ++t) {
      other_[t] = l.d[static_cast<std::size_t>(t)] == -4                                   ? (t + 1) % l.p
                  : l.d[static_cast<std::size_t>((t + l.p - 1) % l.p)] == 4 ? (t + l.p - 1) % l.p
                                                                                           : -1;
      if (other_[t] == t) other_[t] = -1;  // period 1: the same row
      const int step = std::max(t, other_[t]);
      checksAt_[step].t[checksAt_[step].n++] = t;
    }
  }

  // Adding column c settles generation t + 1 at column c - 4 - d_t: the
  // check reads columns c - 8 .. c, the new one last.
  template <class Out>
  void successors(Key state, Out&& out) const {
    const int p = l_.p;
    std::uint32_t col[8];
    for (int k = 0; k < 8; ++k) col[k] = static_cast<std::uint32_t>(state >> (k * p)) & ((1u << p) - 1);
    // allow[t] bit 2 b + o: the check of generation t + 1 holds when the new
    // column's row t is b and its row other[t] (when the check reads it) o.
    std::uint8_t allow[anyWidthPeriodLimit];
    for (int t = 0; t < p; ++t) {
      const auto x = [&](int k) { return static_cast<int>((col[k] >> t) & 1); };
      const int dt = l_.d[static_cast<std::size_t>(t)], before = l_.d[static_cast<std::size_t>((t + p - 1) % p)];
      const int base = 27 * (x(3) + x(5)) + 9 * (x(2) + x(6)) + 3 * (x(1) + x(7)) + x(0);
      const int nextRow = (t + 1) % p, prevRow = (t + p - 1) % p;
      std::uint8_t allowed = 0;
      for (int b = 0; b < 2; ++b) {
        for (int o = 0; o < 2; ++o) {
          if (other_[t] < 0 && o == 1) continue;
          const auto at = [&](int k, int row) {
            if (k < 8) return static_cast<int>((col[k] >> row) & 1);
            return row == t ? b : o;  // the new column: row t, or the other row the check reads
          };
          const int next = at(4 - dt, nextRow), prev = at(4 + before, prevRow);
          if (next == ((1 - x(4)) & (prev ^ f_[static_cast<std::size_t>(base + b)]))) {
            allowed |= static_cast<std::uint8_t>(1 << (2 * b + o));
          }
        }
      }
      allow[t] = allowed;
    }
    // The new columns, row by row: each check as soon as its rows are set.
    const Key shifted = state >> p;
    std::uint32_t column = 0;
    const auto fill = [&](auto& self, int k) -> void {
      if (k == p) {
        out(shifted | (Key{column} << (7 * p)), static_cast<std::uint8_t>(column));
        return;
      }
      for (std::uint32_t b = 0; b < 2; ++b) {
        column = (column & ~(1u << k)) | (b << k);
        bool holds = true;
        for (int j = 0; j < checksAt_[k].n && holds; ++j) {
          const int t = checksAt_[k].t[j];
          const int o = other_[t] < 0 ? 0 : static_cast<int>((column >> other_[t]) & 1);
          holds = (allow[t] >> (2 * ((column >> t) & 1) + o)) & 1;
        }
        if (holds) self(self, k + 1);
      }
      column &= ~(1u << k);
    };
    fill(fill, 0);
  }

 private:
  struct Checks {
    int n = 0;
    int t[anyWidthPeriodLimit] = {};
  };
  const Layout& l_;
  std::array<int, ruleHalfSize> f_{};
  int other_[anyWidthPeriodLimit] = {};
  Checks checksAt_[anyWidthPeriodLimit];  // the checks whose rows are all set once row k is
};

// The state graph of one period and shift: every state reachable from the
// quiet state (number 0), numbered in the order found, with its links.
struct Graph {
  std::vector<Key> keys;
  std::vector<std::uint64_t> first{0};  // links of state k: first[k] .. first[k + 1]
  std::vector<std::uint32_t> to;
  std::vector<std::uint8_t> column;
  std::uint64_t peak = 0;
  std::uint64_t bytes() const {
    return keys.capacity() * sizeof(Key) + first.capacity() * 8 + to.capacity() * 4 + column.capacity();
  }
};

class StateTable {
 public:
  explicit StateTable(std::size_t capacity) : slots_(capacity, noState) {}
  std::size_t capacity() const { return slots_.size(); }
  // The number of `key`, adding it as `next` when new.
  std::uint32_t find(Key key, const std::vector<Key>& keys, std::uint32_t next) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hashKey(key) & mask;; i = (i + 1) & mask) {
      if (slots_[i] == noState) return slots_[i] = next;
      if (keys[slots_[i]] == key) return slots_[i];
    }
  }
  void rebuild(const std::vector<Key>& keys) {
    std::fill(slots_.begin(), slots_.end(), noState);
    slots_.resize(slots_.size() * 2, noState);
    const std::size_t mask = slots_.size() - 1;
    for (std::uint32_t k = 0; k < keys.size(); ++k) {
      std::size_t i = hashKey(keys[k]) & mask;
      while (slots_[i] != noState) i = (i + 1) & mask;
      slots_[i] = k;
    }
  }
  std::uint64_t bytes() const { return slots_.capacity() * 4; }

 private:
  std::vector<std::uint32_t> slots_;
};

struct SearchContext {
  const RuleTable& rule;
  const AnyWidthOptions& options;
  std::uint64_t maxMemory;
  unsigned threads;
  Poll* poll;
  int reach;  // the most cells an edge moves a generation, at least 1
  int searchIndex, searches;
  std::int64_t& progressed;  // thousandths of the searches reported so far
};

[[noreturn]] void tooLarge(const Layout& l, std::uint64_t states, std::uint64_t limit) {
  // Each state takes some 60 bytes with its table slot and links.
  const int bits = anyWidthStateBits(l.p);
  const double most = std::ldexp(60.0, bits);
  throw StateSetTooLarge("period " + std::to_string(l.p) + " shift " + std::to_string(l.a) + ": the states would outgrow " +
                         bytesText(static_cast<double>(limit)) + " after " + std::to_string(states) +
                         " of them; a state holds " + std::to_string(bits) + " cells, so there may be up to 2^" +
                         std::to_string(bits) + " states, some " + bytesText(most) +
                         " (give more memory, or search a lower period)");
}

// Thrown by explore when the states pass the cap it was given.
struct CapReached {};

// Every state reachable from the quiet one, breadth first: each level's
// states expanded on the worker threads in pieces, then numbered in order.
Graph explore(const SearchContext& c, const Layout& l, const Expander& expand, std::uint64_t cap) {
  Graph g;
  g.keys.push_back(0);
  StateTable table(1024);
  table.find(0, g.keys, 0);
  struct Piece {
    std::size_t from = 0, to = 0;
    std::vector<std::pair<Key, std::uint8_t>> next;
    std::vector<std::uint16_t> counts;  // successors of each state: up to 2^p
  };
  std::size_t levelFrom = 0, levelTo = 1;
  while (levelFrom < levelTo) {
    const std::size_t size = levelTo - levelFrom;
    const std::size_t pieceCount = std::min<std::size_t>(size, std::max<std::size_t>(1, size / 2048));
    std::vector<Piece> pieces(pieceCount);
    for (std::size_t k = 0; k < pieceCount; ++k) {
      pieces[k].from = levelFrom + size * k / pieceCount;
      pieces[k].to = levelFrom + size * (k + 1) / pieceCount;
    }
    std::atomic<std::size_t> nextPiece{0};
    runOnThreads(std::min<unsigned>(c.threads, static_cast<unsigned>(pieceCount)), [&] {
      for (std::size_t k; (k = nextPiece.fetch_add(1)) < pieceCount;) {
        if (c.poll && c.poll->cancelled()) return;
        Piece& piece = pieces[k];
        for (std::size_t state = piece.from; state < piece.to; ++state) {
          const std::size_t before = piece.next.size();
          const Key key = g.keys[state];
          expand.successors(key, [&](Key next, std::uint8_t column) {
            if (key != 0 || next != 0) piece.next.emplace_back(next, column);
          });
          piece.counts.push_back(static_cast<std::uint16_t>(piece.next.size() - before));
        }
      }
    });
    throwIfCancelled(c.poll);
    for (Piece& piece : pieces) {
      std::size_t link = 0;
      for (const std::uint16_t count : piece.counts) {
        for (std::uint16_t j = 0; j < count; ++j, ++link) {
          const auto [key, column] = piece.next[link];
          if (g.keys.size() >= cap) throw CapReached{};
          if (g.keys.size() == noState) tooLarge(l, g.keys.size(), c.maxMemory);
          const std::uint32_t id = table.find(key, g.keys, static_cast<std::uint32_t>(g.keys.size()));
          if (id == g.keys.size()) {
            if (g.keys.size() == g.keys.capacity() || 2 * g.keys.size() >= table.capacity()) {
              const std::uint64_t grown = g.bytes() + table.bytes() + g.keys.capacity() * sizeof(Key) +
                                          (2 * g.keys.size() >= table.capacity() ? 2 * table.bytes() : 0);
              if (grown > c.maxMemory) tooLarge(l, g.keys.size(), c.maxMemory);
            }
            g.keys.push_back(key);
            if (2 * g.keys.size() >= table.capacity()) table.rebuild(g.keys);
          }
          if (g.to.size() == g.to.capacity() && g.bytes() + table.bytes() + g.to.capacity() * 5 > c.maxMemory) {
            tooLarge(l, g.keys.size(), c.maxMemory);
          }
          g.to.push_back(id);
          g.column.push_back(column);
        }
        g.first.push_back(g.to.size());
      }
      std::vector<std::pair<Key, std::uint8_t>>().swap(piece.next);
      g.peak = std::max(g.peak, g.bytes() + table.bytes());
    }
    levelFrom = levelTo;
    levelTo = g.keys.size();
    // Thousandths of the searches: this one's share as the states explored
    // of those found so far.
    const std::int64_t at = 1000 * c.searchIndex + static_cast<std::int64_t>(900.0 * static_cast<double>(levelFrom) /
                                                                            static_cast<double>(std::max<std::size_t>(levelTo, 1)));
    c.progressed = std::max(c.progressed, at);  // never back, when a search starts again from the other edge
    if (c.poll && !(*c.poll)(c.progressed, 1000 * std::int64_t{c.searches})) throw Cancelled();
  }
  g.peak = std::max(g.peak, g.bytes() + table.bytes());
  return g;
}

// The states on some path back to the quiet state, and which of them lie on
// a cycle (a strongly connected part with more than one state, or a state
// that leads to itself), with a number for each such part.
struct Shape {
  std::vector<std::uint32_t> part;  // noState outside cycles
  std::vector<std::int64_t> partStates;
  std::vector<std::uint32_t> toQuiet;  // links from each live state to the quiet state, at the fewest; noState when none
  bool live(std::uint32_t k) const { return toQuiet[k] != noState; }
};

Shape shapeOf(const Graph& g, std::uint64_t& peak, const SearchContext& c, const Layout& l) {
  const std::size_t n = g.keys.size();
  const std::uint64_t extra = n * (8 + 4 + 4 + 4 + 1) + g.to.size() * 4;
  if (g.bytes() + extra > c.maxMemory) tooLarge(l, n, c.maxMemory);
  peak = std::max(peak, g.bytes() + extra);
  // Links backwards, then the distance of each state to the quiet one.
  std::vector<std::uint64_t> firstBack(n + 1, 0);
  for (std::uint32_t t : g.to) ++firstBack[t + 1];
  for (std::size_t k = 0; k < n; ++k) firstBack[k + 1] += firstBack[k];
  std::vector<std::uint32_t> from(g.to.size());
  {
    std::vector<std::uint64_t> fill(firstBack.begin(), firstBack.end() - 1);
    for (std::uint32_t k = 0; k < n; ++k) {
      for (std::uint64_t e = g.first[k]; e < g.first[k + 1]; ++e) from[fill[g.to[e]]++] = k;
    }
  }
  Shape out;
  out.toQuiet.assign(n, noState);
  out.toQuiet[0] = 0;
  std::vector<std::uint32_t> queue{0};
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const std::uint32_t k = queue[head];
    for (std::uint64_t e = firstBack[k]; e < firstBack[k + 1]; ++e) {
      if (out.toQuiet[from[e]] == noState) out.toQuiet[from[e]] = out.toQuiet[k] + 1, queue.push_back(from[e]);
    }
  }
  throwIfCancelled(c.poll);

  // Strongly connected parts of the live states other than the quiet one
  // (Tarjan's, without recursion).
  out.part.assign(n, noState);
  std::vector<std::uint32_t> index(n, noState), low(n, 0), stack;
  std::vector<bool> onStack(n, false);
  std::vector<std::pair<std::uint32_t, std::uint64_t>> calls;
  std::uint32_t counter = 0;
  for (std::uint32_t root = 1; root < n; ++root) {
    if (!out.live(root) || index[root] != noState) continue;
    calls.emplace_back(root, g.first[root]);
    index[root] = low[root] = counter++;
    stack.push_back(root), onStack[root] = true;
    while (!calls.empty()) {
      auto& [k, e] = calls.back();
      if (e < g.first[k + 1]) {
        const std::uint32_t t = g.to[e++];
        if (t == 0 || !out.live(t)) continue;
        if (index[t] == noState) {
          index[t] = low[t] = counter++;
          stack.push_back(t), onStack[t] = true;
          calls.emplace_back(t, g.first[t]);
        } else if (onStack[t]) {
          low[k] = std::min(low[k], index[t]);
        }
        continue;
      }
      const std::uint32_t done = k;
      calls.pop_back();
      if (!calls.empty()) low[calls.back().first] = std::min(low[calls.back().first], low[done]);
      if (low[done] != index[done]) continue;
      std::vector<std::uint32_t> members;
      std::uint32_t m;
      do {
        m = stack.back();
        stack.pop_back(), onStack[m] = false;
        members.push_back(m);
      } while (m != done);
      bool cyclic = members.size() > 1;
      for (std::uint64_t e2 = g.first[done]; !cyclic && e2 < g.first[done + 1]; ++e2) cyclic = g.to[e2] == done;
      if (!cyclic) continue;
      for (std::uint32_t s : members) out.part[s] = static_cast<std::uint32_t>(out.partStates.size());
      out.partStates.push_back(std::ssize(members));
    }
  }
  return out;
}

// The rows of a space-time given by its columns from its left edge:
// generation t of column j is bit t; the row before the first is the last
// moved back by s. Cell j of the result is column j - s.
struct SpaceTime {
  const Layout& l;
  const std::vector<std::uint8_t>& columns;
  int cell(int t, int j) const {  // generation t (-1 .. p - 1) at column j
    if (t < 0) t = l.p - 1, j += l.last();
    return j >= 0 && j < std::ssize(columns) ? (columns[static_cast<std::size_t>(j)] >> t) & 1 : 0;
  }
  // Generation 0 from the first column any of its cells reads, untrimmed:
  // 2 for C, 1 for B, 0 for A.
  Digits firstRow() const {
    Digits out;
    for (int j = -std::max(l.last(), 0); j < std::ssize(columns) + std::max(-l.last(), 0); ++j) {
      out.push_back(static_cast<std::uint8_t>(cell(0, j) ? 2 : cell(-1, j)));
    }
    return out;
  }
  // The cells of the narrowest generation (with the B cells of the one
  // before), in the frame at rest: row t lies sigma(t) cells further on.
  int narrowest() const {
    std::vector<int> sigma(static_cast<std::size_t>(l.p) + 1, 0), lo(sigma.size(), INT_MAX), hi(sigma.size(), INT_MIN);
    for (int t = 1; t <= l.p; ++t) sigma[static_cast<std::size_t>(t)] = sigma[static_cast<std::size_t>(t - 1)] + l.d[static_cast<std::size_t>(t - 1)];
    for (int j = 0; j < std::ssize(columns); ++j) {
      for (int t = 0; t < l.p; ++t) {
        if ((columns[static_cast<std::size_t>(j)] >> t) & 1) {
          lo[static_cast<std::size_t>(t)] = std::min(lo[static_cast<std::size_t>(t)], j);
          hi[static_cast<std::size_t>(t)] = std::max(hi[static_cast<std::size_t>(t)], j);
        }
      }
    }
    int best = INT_MAX;
    for (int t = 0; t < l.p; ++t) {
      // Generation t, and the one before (row p - 1 a period back for t = 0).
      const auto u = static_cast<std::size_t>(t), v = static_cast<std::size_t>((t + l.p - 1) % l.p);
      const int before = t == 0 ? sigma[v] - l.s : sigma[v];
      int from = INT_MAX, to = INT_MIN;
      if (lo[u] <= hi[u]) from = lo[u] + sigma[u], to = hi[u] + sigma[u];
      if (lo[v] <= hi[v]) from = std::min(from, lo[v] + before), to = std::max(to, hi[v] + before);
      if (from <= to) best = std::min(best, to - from + 1);
    }
    return best;
  }
};

// Rows in the order of their codes (any total order would do for the sets
// here; this one keeps the compiler's memcmp warnings of vector<> away).
struct ByCode {
  bool operator()(const Digits& a, const Digits& b) const { return codeBelow(a, b); }
};

struct Found {
  std::map<Digits, AnyWidthSoliton, ByCode> solitons;  // by cells, of one period
  std::set<Digits, ByCode> apart;                    // solitons side by side, by cells
};

void list(Found& found, const EnumeratedSoliton& entry, bool onCycle) {
  auto [at, added] = found.solitons.try_emplace(entry.cells, AnyWidthSoliton{entry, onCycle});
  if (!added) at->second.onCycle = at->second.onCycle && onCycle;
}

// The solitons of a pattern of solitons apart, each listed: the parts of
// `phase`, its narrowest phase that splits.
void listParts(const SearchContext& c, const Layout& l, const Digits& phase, Found& found) {
  for (const Digits& part : partsApart(c.rule, phase, l.p)) {
    // Its own path, when it runs through no cycle, lists it unmarked.
    if (const auto entry = describeSoliton(c.rule, part, l.p, l.s, true)) list(found, *entry, true);
  }
}

// What one space-time is: a soliton of the period (listed), solitons apart
// (counted, and each of them listed), or something of a shorter period
// (left to that period's search).
void take(const SearchContext& c, const Layout& l, const std::vector<std::uint8_t>& columns, bool onCycle,
          Found& found, std::map<Digits, std::optional<EnumeratedSoliton>, ByCode>& seen) {
  const SpaceTime st{l, columns};
  if (onCycle && st.narrowest() > c.options.listWidth) return;  // wider than the list goes
  const Digits row = trimmed(st.firstRow());
  auto [at, isNew] = seen.try_emplace(row);
  if (isNew) {
    if (const auto entry = describeSoliton(c.rule, row, l.p, l.s, true)) {
      // Solitons apart, as the enumeration tells them: in a narrowest phase.
      if (const auto phase = narrowestPhaseApart(c.rule, row, l.p)) {
        found.apart.insert(entry->cells);
        listParts(c, l, *phase, found);
      } else {
        at->second = *entry;
      }
    }
  }
  if (at->second && (!onCycle || at->second->narrowest <= c.options.listWidth)) list(found, *at->second, onCycle);
}

// Every quiet-to-quiet path of live states, depth first; a path through a
// cycle only while it is at most `deepest` columns long, and its soliton
// listed only up to the list width.
std::int64_t followPaths(const SearchContext& c, const Layout& l, const Graph& g, const Shape& shape, int deepest,
                         Found& found) {
  std::map<Digits, std::optional<EnumeratedSoliton>, ByCode> seen;
  std::vector<std::uint8_t> columns;
  std::vector<std::pair<std::uint32_t, std::uint64_t>> stack{{0, g.first[0]}};
  int cyclic = 0;  // states on the path that lie on a cycle
  std::int64_t paths = 0;
  constexpr std::int64_t pathLimit = 10'000'000;
  while (!stack.empty()) {
    auto& [k, e] = stack.back();
    if (e == g.first[k + 1]) {
      cyclic -= shape.part[k] != noState;
      stack.pop_back();
      if (!columns.empty()) columns.pop_back();
      continue;
    }
    const std::uint32_t t = g.to[e];
    const std::uint8_t column = g.column[e++];
    if (t == 0) {
      columns.push_back(column);
      if (++paths % 4096 == 0) throwIfCancelled(c.poll);
      if (paths > pathLimit) {
        throw StateSetTooLarge("period " + std::to_string(l.p) + " shift " + std::to_string(l.a) + ": more than " +
                               std::to_string(pathLimit) + " space-times to describe (list fewer family members)");
      }
      take(c, l, columns, cyclic > 0, found, seen);
      columns.pop_back();
      continue;
    }
    if (!shape.live(t)) continue;
    if ((cyclic > 0 || shape.part[t] != noState) && std::ssize(columns) + 1 > deepest) continue;
    columns.push_back(column);
    cyclic += shape.part[t] != noState;
    stack.emplace_back(t, g.first[t]);
  }
  return paths;
}

// The columns of the links from the quiet state to `target` along a
// shortest path of live states.
std::vector<std::uint8_t> pathFromQuiet(const Graph& g, const Shape& shape, std::uint32_t target) {
  std::unordered_map<std::uint32_t, std::pair<std::uint32_t, std::uint8_t>> parent;
  std::vector<std::uint32_t> queue{0};
  bool reached = false;
  for (std::size_t head = 0; head < queue.size() && !reached; ++head) {
    const std::uint32_t k = queue[head];
    for (std::uint64_t e = g.first[k]; e < g.first[k + 1]; ++e) {
      const std::uint32_t t = g.to[e];
      if (t == 0 || !shape.live(t) || parent.contains(t)) continue;
      parent.emplace(t, std::make_pair(k, g.column[e]));
      if (t == target) {
        reached = true;
        break;
      }
      queue.push_back(t);
    }
  }
  std::vector<std::uint8_t> out;
  for (std::uint32_t k = target; reached;) {
    const auto [p, column] = parent.at(k);
    out.push_back(column);
    k = p;
    if (k == 0) break;
  }
  std::reverse(out.begin(), out.end());
  return out;
}

// The columns from `k` back to the quiet state along the fewest links.
std::vector<std::uint8_t> pathToQuiet(const Graph& g, const Shape& shape, std::uint32_t k) {
  std::vector<std::uint8_t> out;
  while (k != 0) {
    for (std::uint64_t e = g.first[k];; ++e) {
      const std::uint32_t t = g.to[e];
      if (shape.toQuiet[t] + 1 == shape.toQuiet[k]) {
        out.push_back(g.column[e]);
        k = t;
        break;
      }
    }
  }
  return out;
}

// Member n of the family, put together from its parts, when it is one
// soliton of the family's period and shift (moving right).
std::optional<EnumeratedSoliton> member(const SearchContext& c, const SolitonFamily& f, const Digits& left, int n,
                                        const Digits& right) {
  Digits row = left;
  for (int j = 0; j < n; ++j) row.insert(row.end(), f.repeat.begin(), f.repeat.end());
  row.insert(row.end(), right.begin(), right.end());
  row = trimmed(row);
  auto entry = describeSoliton(c.rule, row, f.period, f.shift, true);
  if (!entry || narrowestPhaseApart(c.rule, row, f.period)) return std::nullopt;
  return entry;
}

// Takes repeats off the family's left part (from its end) and off its right
// part (from its start) while what is left is still a member, so that
// member 0 is as small as the way in and out allows.
void peel(const SearchContext& c, SolitonFamily& f) {
  const auto L = static_cast<std::ptrdiff_t>(f.repeat.size());
  for (bool peeled = true; peeled;) {
    peeled = false;
    if (std::ssize(f.left) >= L && std::equal(f.left.end() - L, f.left.end(), f.repeat.begin())) {
      const Digits shorter(f.left.begin(), f.left.end() - L);
      if (member(c, f, shorter, 0, f.right)) f.left = trimmed(shorter).empty() ? Digits{} : shorter, peeled = true;
    }
    if (!peeled && std::ssize(f.right) >= L && std::equal(f.right.begin(), f.right.begin() + L, f.repeat.begin())) {
      const Digits shorter(f.right.begin() + L, f.right.end());
      if (member(c, f, f.left, 0, shorter)) f.right = shorter, peeled = true;
    }
  }
  f.left.erase(f.left.begin(), std::find_if(f.left.begin(), f.left.end(), [](std::uint8_t x) { return x != 0; }));
  for (int n = 0; n < 3; ++n) {
    const auto entry = member(c, f, f.left, n, f.right);
    if (!entry) throw std::logic_error("a family member is no soliton after peeling");
    f.members[static_cast<std::size_t>(n)].entry = *entry;
  }
}

// The family whose members take the way `in`, then `cycle` some times, then
// `outWay`; nothing when they are of a shorter period. When its members are
// solitons apart (a train), `apart` gets their narrowest phases that split.
std::optional<SolitonFamily> familyOf(const SearchContext& c, const Layout& l, const std::vector<std::uint8_t>& in,
                                      const std::vector<std::uint8_t>& cycle, const std::vector<std::uint8_t>& outWay,
                                      std::vector<Digits>& apart) {
  const int a = static_cast<int>(in.size()), L = static_cast<int>(cycle.size());
  const int m = std::max(1, (std::abs(l.last()) + L - 1) / L);
  SolitonFamily f;
  f.period = l.p, f.shift = l.a;
  apart.clear();
  std::vector<Digits> rows;  // untrimmed generation 0 with m, m + 1 and m + 2 cycles
  for (int k = m; k < m + 3; ++k) {
    std::vector<std::uint8_t> columns = in;
    for (int j = 0; j < k; ++j) columns.insert(columns.end(), cycle.begin(), cycle.end());
    columns.insert(columns.end(), outWay.begin(), outWay.end());
    rows.push_back(SpaceTime{l, columns}.firstRow());
    const Digits row = trimmed(rows.back());
    const auto entry = describeSoliton(c.rule, row, l.p, l.s, true);
    if (!entry) return std::nullopt;
    if (auto phase = narrowestPhaseApart(c.rule, row, l.p)) {
      f.sideBySide = true;
      apart.push_back(std::move(*phase));
    }
    f.members.push_back({*entry, true});
  }
  // Moving right, the cells before column a read the first columns of the
  // cycles for their B cells, the same from m cycles on; so the rows differ
  // only by whole repeats from column a on (cell a + s of the row). Moving
  // left, the first cells after the m cycles read only cycles for theirs.
  const auto split = static_cast<std::ptrdiff_t>(l.last() > 0 ? a + l.last() : a + m * L);
  f.left.assign(rows[0].begin(), rows[0].begin() + split);
  f.repeat.assign(rows[1].begin() + split, rows[1].begin() + split + L);
  f.right.assign(rows[0].begin() + split, rows[0].end());
  for (std::size_t n = 1; n < 3; ++n) {
    Digits joined = f.left;
    for (std::size_t j = 0; j < n; ++j) joined.insert(joined.end(), f.repeat.begin(), f.repeat.end());
    joined.insert(joined.end(), f.right.begin(), f.right.end());
    if (joined != rows[n]) throw std::logic_error("a family's rows do not repeat");
  }
  if (l.s < 0) {  // the mirror image, which moves right
    std::swap(f.left, f.right);
    for (Digits* d : {&f.left, &f.repeat, &f.right}) std::reverse(d->begin(), d->end());
  }
  f.left.erase(f.left.begin(), std::find_if(f.left.begin(), f.left.end(), [](std::uint8_t x) { return x != 0; }));
  while (!f.right.empty() && f.right.back() == 0) f.right.pop_back();
  if (!f.sideBySide) peel(c, f);
  return f;
}

// Families from the short cycles of each cyclic part: for every cycle of
// at most `longestCycle` links (from its lowest-numbered state, so each
// once), the shortest way in to its first state and out again. A cycle
// whose members are trains of solitons apart has its solitons listed.
void families(const SearchContext& c, const Layout& l, const Graph& g, const Shape& shape, Found& found,
              std::vector<SolitonFamily>& out, std::int64_t& cycles) {
  constexpr int longestCycle = 12;
  constexpr std::int64_t cyclesPerPart = 400;
  constexpr std::size_t familiesPerSearch = 200;
  std::vector<std::vector<std::uint32_t>> members(shape.partStates.size());
  for (std::uint32_t k = 0; k < shape.part.size(); ++k) {
    if (shape.part[k] != noState) members[shape.part[k]].push_back(k);
  }
  std::set<Digits, ByCode> claimed;
  std::vector<Digits> apart;
  for (std::size_t part = 0; part < members.size(); ++part) {
    std::int64_t tried = 0;
    for (const std::uint32_t v : members[part]) {
      if (tried >= cyclesPerPart) break;
      throwIfCancelled(c.poll);
      std::vector<std::uint8_t> in, outWay, cycle;
      bool ways = false;
      // Cycles through v over states numbered above it, depth first.
      std::vector<std::pair<std::uint32_t, std::uint64_t>> stack{{v, g.first[v]}};
      while (!stack.empty() && tried < cyclesPerPart) {
        auto& [k, e] = stack.back();
        if (e == g.first[k + 1]) {
          stack.pop_back();
          if (!cycle.empty()) cycle.pop_back();
          continue;
        }
        const std::uint32_t t = g.to[e];
        const std::uint8_t column = g.column[e++];
        if (t == v) {
          ++tried, ++cycles;
          cycle.push_back(column);
          if (!ways) in = pathFromQuiet(g, shape, v), outWay = pathToQuiet(g, shape, v), ways = true;
          if (auto f = familyOf(c, l, in, cycle, outWay, apart)) {
            for (const Digits& phase : apart) listParts(c, l, phase, found);
            // Another phase of the same family gives the same members.
            const bool known = std::all_of(f->members.begin(), f->members.end(),
                                           [&](const AnyWidthSoliton& s) { return claimed.contains(s.entry.cells); });
            for (const auto& s : f->members) claimed.insert(s.entry.cells);
            if (!known && out.size() < familiesPerSearch) {
              f->states = shape.partStates[part];
              out.push_back(std::move(*f));
            }
          }
          cycle.pop_back();
          continue;
        }
        if (t < v || shape.part[t] != part || std::ssize(cycle) + 1 >= longestCycle) continue;
        cycle.push_back(column);
        stack.emplace_back(t, g.first[t]);
      }
    }
  }
}

// The graph of period p and shift s, built from the left edge or, as the
// mirror image that moves left, from the right: first each with a cap on
// its states that grows eightfold, so the side with fewer states is the
// one kept, then each with only the memory bound.
Graph exploreSmallerSide(const SearchContext& c, int p, int s, std::optional<Layout>& chosen) {
  std::vector<int> sides = {1, -1};
  if (c.options.side != 0) sides = {c.options.side};
  constexpr std::uint64_t bytesPerState = 80;
  std::optional<StateSetTooLarge> tooMany;
  for (std::uint64_t cap = std::uint64_t{1} << 20;; cap *= 8) {
    const bool last = sides.size() == 1 || cap * bytesPerState >= c.maxMemory;
    for (int side : sides) {
      const Layout l(p, side * s);
      try {
        Graph g = explore(c, l, Expander(c.rule, l), last ? std::numeric_limits<std::uint64_t>::max() : cap);
        chosen.emplace(l);
        return g;
      } catch (const CapReached&) {
      } catch (const StateSetTooLarge& big) {
        if (!tooMany) tooMany.emplace(big);
      }
    }
    if (last) throw *tooMany;
  }
}

AnyWidthSearch searchOne(const SearchContext& c, int p, int s, Found& found, std::vector<SolitonFamily>& familiesOut) {
  const auto started = std::chrono::steady_clock::now();
  std::optional<Layout> chosen;
  Graph g = exploreSmallerSide(c, p, s, chosen);
  const Layout& l = *chosen;
  AnyWidthSearch out;
  out.period = p, out.shift = s, out.stateBits = anyWidthStateBits(p), out.fromRight = l.s < 0;
  std::uint64_t peak = g.peak;
  const Shape shape = shapeOf(g, peak, c, l);
  out.states = std::ssize(g.keys);
  out.liveStates = std::count_if(shape.toQuiet.begin(), shape.toQuiet.end(), [](std::uint32_t d) { return d != noState; });
  std::vector<Key>().swap(g.keys);
  // A soliton whose narrowest phase has w cells spans at most w + 2 reach
  // (p - 1) columns in the moving frame, its phases moved by up to its
  // shift, then the eight quiet columns that end its path.
  const int deepest = c.options.listWidth + 2 * c.reach * (l.p - 1) + l.a + 8;
  families(c, l, g, shape, found, familiesOut, out.cycles);
  out.paths = followPaths(c, l, g, shape, deepest, found);
  out.bytes = peak;
  out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return out;
}

}  // namespace

int anyWidthStateBits(int period) { return 8 * period; }

bool AnyWidthEnumeration::complete() const {
  return std::all_of(searches.begin(), searches.end(), [](const AnyWidthSearch& s) { return s.refused.empty(); });
}

AnyWidthEnumeration enumerateAnyWidth(const RuleTable& rule, const AnyWidthOptions& options) {
  if (options.maxPeriod < 1 || options.maxPeriod > anyWidthPeriodLimit) {
    throw std::invalid_argument("the period must be 1.." + std::to_string(anyWidthPeriodLimit));
  }
  if (options.shift < 0 || options.shift > 4 * options.maxPeriod) {
    throw std::invalid_argument("the shift must be 1.." + std::to_string(4 * options.maxPeriod) +
                                " (a soliton moves at most 4 cells a generation)");
  }
  if (options.listWidth < 1 || options.listWidth > anyWidthListLimit) {
    throw std::invalid_argument("the list width must be 1.." + std::to_string(anyWidthListLimit));
  }
  if (rule[0] != 0) throw std::invalid_argument("entry 0 of the rule is not 0: the background itself changes");
  const int reach = edgeReach(rule);
  if (options.shift > reach * options.maxPeriod) {
    throw std::invalid_argument("no soliton of period up to " + std::to_string(options.maxPeriod) + " moves " +
                                std::to_string(options.shift) + " cells under this rule: an edge moves at most " +
                                std::to_string(reach) + (reach == 1 ? " cell" : " cells") + " a generation");
  }
  std::vector<std::pair<int, int>> searches;  // period and shift
  for (int p = 1; p <= options.maxPeriod; ++p) {
    for (int s = 1; s <= reach * p; ++s) {
      if (options.shift == 0 || options.shift == s) searches.emplace_back(p, s);
    }
  }
  const unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  AnyWidthEnumeration out;
  out.rule = rule;
  out.maxPeriod = options.maxPeriod, out.shift = options.shift, out.listWidth = options.listWidth;
  std::set<Digits, ByCode> apart;
  std::int64_t progressed = 0;
  int refusedPeriod = 0;
  for (std::size_t i = 0; i < searches.size(); ++i) {
    const SearchContext c{rule, options, options.maxMemory ? options.maxMemory : defaultMemory(), threads, options.poll,
                          std::max(1, reach), static_cast<int>(i), static_cast<int>(searches.size()), progressed};
    const auto [p, s] = searches[i];
    const auto refuse = [&, p = p, s = s](std::string why) {
      AnyWidthSearch refused;
      refused.period = p, refused.shift = s, refused.stateBits = anyWidthStateBits(p);
      refused.refused = std::move(why);
      out.searches.push_back(std::move(refused));
    };
    if (refusedPeriod > 0 && p > refusedPeriod) {
      refuse("not searched: period " + std::to_string(refusedPeriod) + " did not fit");
      continue;
    }
    Found found;
    try {
      out.searches.push_back(searchOne(c, p, s, found, out.families));
    } catch (const StateSetTooLarge& big) {
      // The other shifts of the period may fit; longer periods take more.
      refuse(big.what());
      refusedPeriod = p;
      continue;
    }
    for (auto& [cells, soliton] : found.solitons) out.solitons.push_back(std::move(soliton));
    apart.insert(found.apart.begin(), found.apart.end());
  }
  if (options.poll && !(*options.poll)(1000 * std::ssize(searches), 1000 * std::ssize(searches))) throw Cancelled();
  std::stable_sort(out.solitons.begin(), out.solitons.end(), [](const AnyWidthSoliton& a, const AnyWidthSoliton& b) {
    return a.entry.period != b.entry.period ? a.entry.period < b.entry.period : codeBelow(a.entry.cells, b.entry.cells);
  });
  out.sideBySide = std::ssize(apart);
  std::stable_sort(out.families.begin(), out.families.end(), [](const SolitonFamily& a, const SolitonFamily& b) {
    return std::tuple(a.period, a.shift, a.sideBySide, a.members[0].entry.width) <
           std::tuple(b.period, b.shift, b.sideBySide, b.members[0].entry.width);
  });
  return out;
}

}  // namespace ondrix
