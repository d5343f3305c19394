// The "Show RCA" grid: block 0 of the rule table as 9 x 9 squares of 20
// pixels, column 3 s1 + s2 and row 3 s3 + s4 for the neighbourhood class
// (s1, s2, s3, s4), each 0..2.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace ondrix {

inline constexpr int gridSquare = 20;
inline constexpr int gridSide = 9 * gridSquare;  // 180 pixels

struct RuleClass {
  std::array<int, 4> s;  // s1..s4: C cells at distance 1..4
  int entry() const { return 27 * s[0] + 9 * s[1] + 3 * s[2] + s[3]; }
};

// The class whose square holds the press at (x, y); nothing outside the
// 180 x 180 grid.
std::optional<RuleClass> classAtPress(int x, int y);

// Top-left pixel of the square of rule entry 0..80.
struct GridPlace {
  int x, y;
};
constexpr GridPlace squareOfEntry(int entry) {
  const int s1 = entry / 27, s2 = entry / 9 % 3, s3 = entry / 3 % 3, s4 = entry % 3;
  return {60 * s1 + 20 * s2, 60 * s3 + 20 * s4};
}

// A press on the grid: the entry becomes 1 when it is 0, else 0. Returns the
// class pressed, or nothing (and no change) outside the grid.
std::optional<RuleClass> toggleRuleEntryAt(std::span<std::uint8_t> ruleTable, int x, int y);

}  // namespace ondrix
