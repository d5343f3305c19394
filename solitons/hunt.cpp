#include "ondrix/solitons/hunt.h"

#include <algorithm>

#include "ondrix/automaton/reversal.h"
#include "ondrix/solitons/search.h"

namespace ondrix {

void place(AutomatonState& ring, std::int32_t code, std::int32_t at, bool swapped) {
  ring.currentSoliton = code;
  ring.insertPos = at;
  swapped ? placePatternSwapped(ring) : placePattern(ring);
}

std::vector<std::pair<std::int32_t, std::int32_t>> clusters(const AutomatonState& ring, std::int32_t gap) {
  std::vector<std::pair<std::int32_t, std::int32_t>> out;
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    if (ring.cells[i] == stateA) continue;
    if (!out.empty() && i - out.back().second <= gap) {
      out.back().second = i;
    } else {
      out.emplace_back(i, i);
    }
  }
  return out;
}

std::vector<std::int32_t> phaseCodes(const RuleTable& rule, const SolitonType& t, bool swapped) {
  AutomatonState ring = quietRing(rule);
  place(ring, t.code, 300, swapped);
  std::vector<std::int32_t> codes;
  for (std::int32_t j = 0; j < t.period; ++j) {
    stepGeneration(ring);
    codes.push_back(encodePattern(ring, firstLiveCell(ring), codeWindow));
  }
  return codes;
}

std::int32_t solitonWidth(const RuleTable& rule, std::int32_t code, std::int32_t period, std::int32_t shift) {
  std::int32_t widest = 0;
  for (bool swapped : {false, true}) {
    AutomatonState ring = quietRing(rule);
    place(ring, code, 300, swapped);
    const std::int32_t start = firstLiveCell(ring);
    const std::int32_t startCode = encodePattern(ring, start, codeWindow);
    for (std::int32_t j = 0; j < period; ++j) {
      stepGeneration(ring);
      const std::int32_t first = firstLiveCell(ring);
      if (first == ring.ringLength) return 0;
      ring.codeLastOffset = -1;
      encodePattern(ring, first, codeWindow);
      // Cells past the window would be a second part: not one soliton.
      const auto parts = clusters(ring, 5);
      if (parts.size() != 1) return 0;
      widest = std::max(widest, parts[0].second - parts[0].first + 1);
    }
    const std::int32_t moved = firstLiveCell(ring) - start;
    if (encodePattern(ring, firstLiveCell(ring), codeWindow) != startCode || moved != (swapped ? -shift : shift)) return 0;
  }
  return widest;
}

std::vector<SolitonType> usableSolitons(const RuleTable& rule) {
  std::vector<SolitonType> out;
  for (const FoundSoliton& f : findSolitons(rule).solitons) {
    SolitonType t{f.code, f.period, f.shift, 0};
    if (t.period < 1 || t.period > maxPhases || t.shift < 1) continue;
    t.width = solitonWidth(rule, t.code, t.period, t.shift);
    if (t.width >= 1 && t.width <= 19) out.push_back(t);
  }
  return out;
}

bool passThrough(const RuleTable& rule, const SolitonType& a, const SolitonType& b) {
  AutomatonState ring = quietRing(rule);
  place(ring, a.code, 200, false);
  place(ring, b.code, 500, true);
  // Long enough to meet and part by some 60 cells, at their own speeds.
  const double closing = static_cast<double>(a.shift) / a.period + static_cast<double>(b.shift) / b.period;
  const auto generations = static_cast<std::int32_t>((300.0 + 60.0 + a.width + b.width) / closing);
  if (generations > 4000) return false;
  for (std::int32_t g = 0; g < generations; ++g) stepGeneration(ring);
  const auto parts = clusters(ring, 8);
  if (parts.size() != 2) return false;
  const auto forward = phaseCodes(rule, a, false), backward = phaseCodes(rule, b, true);
  const std::int32_t left = encodePattern(ring, parts[0].first, codeWindow);
  const std::int32_t right = encodePattern(ring, parts[1].first, codeWindow);
  // b went through to the left, a to the right.
  return std::count(backward.begin(), backward.end(), left) && std::count(forward.begin(), forward.end(), right);
}

std::vector<SolitonType> chooseCatalogue(const RuleTable& rule, const std::vector<SolitonType>& usable,
                                         int* passingPairs) {
  const std::size_t n = usable.size();
  std::vector<int> partners(n, 0);
  std::vector<std::vector<bool>> passes(n, std::vector<bool>(n, false));
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      passes[i][j] = passThrough(rule, usable[i], usable[j]);
      partners[i] += passes[i][j];
    }
  }
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return partners[x] > partners[y]; });

  // Eleven narrow types, new speeds first, each group by partners.
  std::vector<std::size_t> narrow;
  for (bool newSpeedsOnly : {true, false}) {
    for (std::size_t i : order) {
      if (usable[i].width > tagWindow || narrow.size() == 11) continue;
      if (std::find(narrow.begin(), narrow.end(), i) != narrow.end()) continue;
      const bool newSpeed = std::none_of(narrow.begin(), narrow.end(),
                                         [&](std::size_t k) { return usable[k].speed() == usable[i].speed(); });
      if (newSpeed || !newSpeedsOnly) narrow.push_back(i);
    }
  }
  if (narrow.size() < 11) return {};
  const auto twelfth = std::find_if(order.begin(), order.end(), [&](std::size_t i) {
    return std::find(narrow.begin(), narrow.end(), i) == narrow.end();
  });
  if (twelfth == order.end()) return {};
  std::stable_sort(narrow.begin(), narrow.end(),
                   [&](std::size_t x, std::size_t y) { return usable[x].speed() > usable[y].speed(); });
  std::vector<std::size_t> chosen = narrow;
  chosen.push_back(*twelfth);
  if (passingPairs) {
    *passingPairs = 0;
    for (std::size_t i : chosen) {
      for (std::size_t j : chosen) *passingPairs += passes[i][j];
    }
  }
  std::vector<SolitonType> out;
  for (std::size_t i : chosen) out.push_back(usable[i]);
  return out;
}

}  // namespace ondrix
