#include "ondrix/solitons/anywidth.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
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

// A state: full columns 0 (oldest) .. F-1 of p bits each, bit t of a column
// the cell of generation t; above them, the generation-0 cells of the E
// columns before (oldest first).
using Key = unsigned __int128;

// Where the search of period p and shift s reads its cells. Adding column c
// settles the rule at column i = c - R for every generation: that needs the
// columns i - 4 .. i + 4, generation 0 at i - s (the row after the last,
// moved) and generation p - 1 at i + s (the row before the first).
struct Layout {
  int p, s, R, F, E, bits;
  Layout(int period, int shift)
      : p(period), s(shift), R(std::max(4, shift)), F(R + 4), E(R - 4), bits(F * p + E) {}
};

constexpr std::uint32_t noState = 0xFFFFFFFFu;

std::uint64_t hashKey(Key k) {
  auto h = static_cast<std::uint64_t>(k) * 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint64_t>(k >> 64) * 0xC2B2AE3D27D4EB4FULL;
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
  const long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || size <= 0) return std::uint64_t{4} << 30;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size) / 2;
}

// The successors of one state: the columns that keep the rule at column
// i = c - R, for every generation, and the states they lead to.
class Expander {
 public:
  Expander(const RuleTable& rule, const Layout& l) : l_(l) {
    for (int k = 0; k < ruleHalfSize; ++k) f_[static_cast<std::size_t>(k)] = rule[static_cast<std::size_t>(k)] != 0;
  }

  template <class Out>
  void successors(Key state, Out&& out) const {
    const int p = l_.p, s = l_.s, F = l_.F, E = l_.E;
    const Key columnMask = (Key{1} << p) - 1;
    std::uint32_t col[40];
    for (int k = 0; k < F; ++k) col[k] = static_cast<std::uint32_t>((state >> (k * p)) & columnMask);
    const std::uint32_t extra0 = E > 0 ? static_cast<std::uint32_t>(state >> (F * p)) & 1 : 0;
    const bool countsNew = l_.R == 4;  // the new column is i + 4
    const bool prevNew = s == l_.R;    // the row before the first, at i, is the new column's last generation
    // allow[t] bit 2b + q: the rule holds for generation t when the new
    // column's cell of generation t is b and of generation p - 1 is q.
    std::uint8_t allow[anyWidthPeriodLimit];
    for (int t = 0; t < p; ++t) {
      const auto x = [&](int k) { return static_cast<int>((col[k] >> t) & 1); };
      const int base = 27 * (x(3) + x(5)) + 9 * (x(2) + x(6)) + 3 * (x(1) + x(7)) + x(0) + (countsNew ? 0 : x(8));
      const int here = x(4);
      const int next = t + 1 < p ? static_cast<int>((col[4] >> (t + 1)) & 1)
                                 : (s <= 4 ? static_cast<int>(col[4 - s] & 1) : static_cast<int>(extra0));
      std::uint8_t a = 0;
      for (int b = 0; b < 2; ++b) {
        for (int q = 0; q < 2; ++q) {
          if (t == p - 1 && b != q) continue;
          const int index = base + (countsNew ? b : 0);
          const int prev = t >= 1 ? static_cast<int>((col[4] >> (t - 1)) & 1)
                                  : (prevNew ? q : static_cast<int>((col[4 + s] >> (p - 1)) & 1));
          if (next == ((1 - here) & (prev ^ f_[static_cast<std::size_t>(index)]))) a |= static_cast<std::uint8_t>(1 << (2 * b + q));
        }
      }
      allow[t] = a;
    }
    const Key shifted = (state & ((Key{1} << (F * p)) - 1)) >> p;
    const Key extras = E > 0 ? ((state >> (F * p)) >> 1) | (Key{col[0] & 1} << (E - 1)) : 0;
    for (std::uint32_t q = 0; q < 2; ++q) {
      // Every column with generation p - 1 equal to q that each generation allows.
      std::uint32_t columns[256];
      int n = 1;
      columns[0] = 0;
      for (int t = 0; t < p && n > 0; ++t) {
        const bool zero = allow[t] >> q & 1, one = allow[t] >> (2 + q) & 1;
        if (one && zero) {
          for (int j = 0; j < n; ++j) columns[n + j] = columns[j] | (1u << t);
          n *= 2;
        } else if (one) {
          for (int j = 0; j < n; ++j) columns[j] |= 1u << t;
        } else if (!zero) {
          n = 0;
        }
      }
      for (int j = 0; j < n; ++j) {
        if ((columns[j] >> (p - 1) & 1) != q) continue;
        out(shifted | (Key{columns[j]} << ((F - 1) * p)) | (extras << (F * p)), static_cast<std::uint8_t>(columns[j]));
      }
    }
  }

 private:
  const Layout& l_;
  std::array<int, ruleHalfSize> f_{};
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
  void release() { std::vector<std::uint32_t>().swap(slots_); }

 private:
  std::vector<std::uint32_t> slots_;
};

struct SearchContext {
  const RuleTable& rule;
  const AnyWidthOptions& options;
  std::uint64_t maxMemory;
  unsigned threads;
  Poll* poll;
  int searchIndex, searches;
};

[[noreturn]] void tooLarge(const Layout& l, std::uint64_t states, std::uint64_t limit) {
  // Each state takes some 45 bytes with its table slot and links.
  const double most = std::ldexp(45.0, l.bits);
  throw StateSetTooLarge("period " + std::to_string(l.p) + " shift " + std::to_string(l.s) + ": the states outgrew " +
                         bytesText(static_cast<double>(limit)) + " after " + std::to_string(states) +
                         " of them; a state holds " + std::to_string(l.bits) + " cells, so there may be up to 2^" +
                         std::to_string(l.bits) + " states, some " + bytesText(most) +
                         " (give more memory, or search a lower period)");
}

// Every state reachable from the quiet one, breadth first.
Graph explore(const SearchContext& c, const Layout& l, const Expander& expand) {
  Graph g;
  g.keys.push_back(0);
  StateTable table(1024);
  table.find(0, g.keys, 0);
  struct Piece {
    std::size_t from = 0, to = 0;
    std::vector<std::pair<Key, std::uint8_t>> next;
    std::vector<std::uint8_t> counts;
  };
  std::size_t levelFrom = 0, levelTo = 1;
  std::int64_t progressed = 0;
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
          piece.counts.push_back(static_cast<std::uint8_t>(piece.next.size() - before));
        }
      }
    });
    throwIfCancelled(c.poll);
    for (Piece& piece : pieces) {
      std::size_t link = 0;
      for (std::uint8_t count : piece.counts) {
        for (std::uint8_t j = 0; j < count; ++j, ++link) {
          const auto [key, column] = piece.next[link];
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
    progressed = std::max(progressed, at);
    if (c.poll && !(*c.poll)(progressed, 1000 * std::int64_t{c.searches})) throw Cancelled();
  }
  g.peak = std::max(g.peak, g.bytes() + table.bytes());
  return g;
}

// The states on some path back to the quiet state, and which of them lie on
// a cycle (a strongly connected part with more than one state, or a state
// that leads to itself), with a number for each such part.
struct Shape {
  std::vector<bool> live;
  std::vector<std::uint32_t> part;  // noState outside cycles
  std::vector<std::int64_t> partStates;
  std::vector<std::uint32_t> toQuiet;  // links from each live state to the quiet state, at the fewest
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
  out.live.assign(n, false);
  for (std::size_t k = 0; k < n; ++k) out.live[k] = out.toQuiet[k] != noState;
  throwIfCancelled(c.poll);

  // Strongly connected parts of the live states other than the quiet one
  // (Tarjan's, without recursion).
  out.part.assign(n, noState);
  std::vector<std::uint32_t> index(n, noState), low(n, 0), stack;
  std::vector<bool> onStack(n, false);
  std::vector<std::pair<std::uint32_t, std::uint64_t>> calls;
  std::uint32_t counter = 0;
  for (std::uint32_t root = 1; root < n; ++root) {
    if (!out.live[root] || index[root] != noState) continue;
    calls.emplace_back(root, g.first[root]);
    index[root] = low[root] = counter++;
    stack.push_back(root), onStack[root] = true;
    while (!calls.empty()) {
      auto& [k, e] = calls.back();
      if (e < g.first[k + 1]) {
        const std::uint32_t t = g.to[e++];
        if (t == 0 || !out.live[t]) continue;
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
    if (t < 0) t = l.p - 1, j += l.s;
    return j >= 0 && j < std::ssize(columns) ? (columns[static_cast<std::size_t>(j)] >> t) & 1 : 0;
  }
  // Generation 0 from column -s on, untrimmed: 2 for C, 1 for B, 0 for A.
  Digits firstRow() const {
    Digits out;
    for (int j = -l.s; j < std::ssize(columns); ++j) out.push_back(static_cast<std::uint8_t>(cell(0, j) ? 2 : cell(-1, j)));
    return out;
  }
};

Digits trimmed(const Digits& d) {
  auto a = std::find_if(d.begin(), d.end(), [](std::uint8_t x) { return x != 0; });
  auto b = std::find_if(d.rbegin(), d.rend(), [](std::uint8_t x) { return x != 0; }).base();
  return a < b ? Digits(a, b) : Digits{};
}

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

// The solitons of a pattern of solitons apart, each listed.
void listParts(const SearchContext& c, const Layout& l, const Digits& row, Found& found) {
  for (const Digits& part : partsApart(c.rule, row, l.p)) {
    if (const auto entry = describeSoliton(c.rule, part, l.p, l.s, true)) list(found, *entry, false);
  }
}

// What one space-time is: a soliton of the period (listed), solitons apart
// (counted, and each of them listed), or something of a shorter period
// (left to that period's search).
void take(const SearchContext& c, const Layout& l, const std::vector<std::uint8_t>& columns, bool onCycle,
          Found& found, std::map<Digits, std::optional<EnumeratedSoliton>, ByCode>& seen) {
  const Digits row = trimmed(SpaceTime{l, columns}.firstRow());
  auto [at, isNew] = seen.try_emplace(row);
  if (isNew) {
    if (const auto entry = describeSoliton(c.rule, row, l.p, l.s, true)) {
      if (sideBySide(c.rule, row, l.p)) {
        found.apart.insert(entry->cells);
        listParts(c, l, row, found);
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
  constexpr std::int64_t pathLimit = 50'000'000;
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
        throw StateSetTooLarge("period " + std::to_string(l.p) + " shift " + std::to_string(l.s) + ": more than " +
                               std::to_string(pathLimit) + " space-times to describe (list fewer family members)");
      }
      take(c, l, columns, cyclic > 0, found, seen);
      columns.pop_back();
      continue;
    }
    if (!shape.live[t]) continue;
    if ((cyclic > 0 || shape.part[t] != noState) && std::ssize(columns) + 1 > deepest) continue;
    columns.push_back(column);
    cyclic += shape.part[t] != noState;
    stack.emplace_back(t, g.first[t]);
  }
  return paths;
}

// The columns of the links from the quiet state to `target` along a
// shortest path of live states (within part `part` when it is not noState,
// starting from `start`), and its states.
std::vector<std::uint8_t> shortestPath(const Graph& g, const Shape& shape, std::uint32_t start, std::uint32_t target,
                                       std::uint32_t part) {
  std::unordered_map<std::uint32_t, std::pair<std::uint32_t, std::uint8_t>> parent;
  std::vector<std::uint32_t> queue{start};
  bool reached = false;
  for (std::size_t head = 0; head < queue.size() && !reached; ++head) {
    const std::uint32_t k = queue[head];
    for (std::uint64_t e = g.first[k]; e < g.first[k + 1]; ++e) {
      const std::uint32_t t = g.to[e];
      if (t == 0 || !shape.live[t] || (part != noState && shape.part[t] != part) || parent.contains(t)) continue;
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
    if (k == start) break;
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

// The members of the family that goes in to state v, round `cycle` and out
// again, as described by `families`; nothing when they are of a shorter
// period.
std::optional<SolitonFamily> familyOf(const SearchContext& c, const Layout& l, const std::vector<std::uint8_t>& in,
                                      const std::vector<std::uint8_t>& cycle, const std::vector<std::uint8_t>& outWay,
                                      std::vector<Digits>& rows) {
  const int a = static_cast<int>(in.size()), L = static_cast<int>(cycle.size());
  const int m = std::max(1, (l.s + L - 1) / L);
  SolitonFamily f;
  f.period = l.p, f.shift = l.s;
  rows.clear();  // untrimmed generation 0 with m, m + 1 and m + 2 cycles
  for (int k = m; k < m + 3; ++k) {
    std::vector<std::uint8_t> columns = in;
    for (int j = 0; j < k; ++j) columns.insert(columns.end(), cycle.begin(), cycle.end());
    columns.insert(columns.end(), outWay.begin(), outWay.end());
    rows.push_back(SpaceTime{l, columns}.firstRow());
    const Digits row = trimmed(rows.back());
    const auto entry = describeSoliton(c.rule, row, l.p, l.s, true);
    if (!entry) return std::nullopt;
    f.sideBySide = f.sideBySide || sideBySide(c.rule, row, l.p);
    f.members.push_back({*entry, true});
  }
  // Cells before column a read the first columns of the cycles for their B
  // cells, the same from m cycles on; so the rows differ only by whole
  // repeats from column a on.
  const auto split = static_cast<std::ptrdiff_t>(a + l.s);
  f.left.assign(rows[0].begin(), rows[0].begin() + split);
  f.repeat.assign(rows[1].begin() + split, rows[1].begin() + split + L);
  f.right.assign(rows[0].begin() + split, rows[0].end());
  for (std::size_t n = 1; n < 3; ++n) {
    Digits joined = f.left;
    for (std::size_t j = 0; j < n; ++j) joined.insert(joined.end(), f.repeat.begin(), f.repeat.end());
    joined.insert(joined.end(), f.right.begin(), f.right.end());
    if (joined != rows[n]) throw std::logic_error("a family's rows do not repeat");
  }
  f.left.erase(f.left.begin(), std::find_if(f.left.begin(), f.left.end(), [](std::uint8_t x) { return x != 0; }));
  while (!f.right.empty() && f.right.back() == 0) f.right.pop_back();
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
  std::vector<Digits> rows;
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
          if (!ways) in = shortestPath(g, shape, 0, v, noState), outWay = pathToQuiet(g, shape, v), ways = true;
          if (auto f = familyOf(c, l, in, cycle, outWay, rows)) {
            if (f->sideBySide) {
              for (const Digits& row : rows) listParts(c, l, trimmed(row), found);
            }
            const bool known = std::any_of(f->members.begin(), f->members.end(),
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

AnyWidthSearch searchOne(const SearchContext& c, const Layout& l, Found& found, std::vector<SolitonFamily>& familiesOut) {
  const auto started = std::chrono::steady_clock::now();
  const Expander expand(c.rule, l);
  AnyWidthSearch out;
  out.period = l.p, out.shift = l.s, out.stateBits = l.bits;
  Graph g = explore(c, l, expand);
  std::uint64_t peak = g.peak;
  const Shape shape = shapeOf(g, peak, c, l);
  out.states = std::ssize(g.keys);
  out.liveStates = std::count(shape.live.begin(), shape.live.end(), true);
  std::vector<Key>().swap(g.keys);
  const int reach = std::max(1, edgeReach(c.rule));
  const int deepest = c.options.listWidth + 2 * reach * (l.p - 1) + l.F + l.E;
  families(c, l, g, shape, found, familiesOut, out.cycles);
  out.paths = followPaths(c, l, g, shape, deepest, found);
  out.bytes = peak;
  out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return out;
}

}  // namespace

int anyWidthStateBitsFor(int period, int shift) { return Layout(period, shift).bits; }

AnyWidthEnumeration enumerateAnyWidth(const RuleTable& rule, const AnyWidthOptions& options) {
  if (options.maxPeriod < 1 || options.maxPeriod > anyWidthPeriodLimit) {
    throw std::invalid_argument("the period must be 1.." + std::to_string(anyWidthPeriodLimit));
  }
  if (options.shift < 0 || options.shift > 4 * options.maxPeriod) {
    throw std::invalid_argument("the shift must be 1.." + std::to_string(4 * options.maxPeriod) +
                                " (a soliton moves at most 4 cells a generation)");
  }
  if (options.listWidth < 1 || options.listWidth > 200) throw std::invalid_argument("the list width must be 1..200");
  if (rule[0] != 0) throw std::invalid_argument("entry 0 of the rule is not 0: the background itself changes");
  const int reach = edgeReach(rule);
  std::vector<Layout> layouts;
  for (int p = 1; p <= options.maxPeriod; ++p) {
    for (int s = 1; s <= reach * p; ++s) {
      if (options.shift == 0 || options.shift == s) layouts.emplace_back(p, s);
    }
    if (options.shift > reach * p && options.shift <= 4 * p) layouts.emplace_back(p, options.shift);
  }
  for (const Layout& l : layouts) {
    if (l.bits > anyWidthStateBits) {
      throw std::invalid_argument("period " + std::to_string(l.p) + " shift " + std::to_string(l.s) + " needs states of " +
                                  std::to_string(l.bits) + " cells; the search holds at most " +
                                  std::to_string(anyWidthStateBits));
    }
  }
  const unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  AnyWidthEnumeration out;
  out.rule = rule;
  out.maxPeriod = options.maxPeriod, out.shift = options.shift, out.listWidth = options.listWidth;
  std::set<Digits, ByCode> apart;
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    const SearchContext c{rule, options, options.maxMemory ? options.maxMemory : defaultMemory(), threads, options.poll,
                          static_cast<int>(i), static_cast<int>(layouts.size())};
    Found found;
    out.searches.push_back(searchOne(c, layouts[i], found, out.families));
    for (auto& [cells, s] : found.solitons) out.solitons.push_back(std::move(s));
    apart.insert(found.apart.begin(), found.apart.end());
  }
  if (options.poll && !(*options.poll)(1000 * std::ssize(layouts), 1000 * std::ssize(layouts))) throw Cancelled();
  std::stable_sort(out.solitons.begin(), out.solitons.end(), [](const AnyWidthSoliton& a, const AnyWidthSoliton& b) {
    return a.entry.period != b.entry.period ? a.entry.period < b.entry.period : codeBelow(a.entry.cells, b.entry.cells);
  });
  out.sideBySide = std::ssize(apart);
  std::stable_sort(out.families.begin(), out.families.end(), [](const SolitonFamily& a, const SolitonFamily& b) {
    return std::tuple(a.period, a.shift, a.members[0].entry.width) < std::tuple(b.period, b.shift, b.members[0].entry.width);
  });
  return out;
}

}  // namespace ondrix
