#include "ondrix/datafiles/textformats.h"

#include <algorithm>
#include <stdexcept>

namespace ondrix {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A piece as a message quotes it: a long one cut short.
std::string quoted(std::string_view piece) {
  if (piece.size() <= 40) return "'" + std::string(piece) + "'";
  return "'" + std::string(piece.substr(0, 30)) + "...' (" + std::to_string(piece.size()) + " characters)";
}

// A whole number of at most nine digits from text[at], or -1.
std::int64_t number(std::string_view text, std::size_t& at) {
  const std::size_t from = at;
  std::int64_t n = 0;
  while (at < text.size() && isDigit(text[at]) && at - from < 9) n = 10 * n + (text[at++] - '0');
  if (at == from || (at < text.size() && isDigit(text[at]))) return -1;
  return n;
}

std::uint8_t stateOfLetter(char c) {
  switch (c) {
    case 'A': case 'a': return stateA;
    case 'B': case 'b': return stateB;
    case 'C': case 'c': return stateC;
    default: return 255;
  }
}

// The cells of one piece's letters, at most `most` of them.
std::vector<std::uint8_t> pieceCells(std::string_view letters, std::size_t most, std::string_view piece) {
  std::vector<std::uint8_t> cells;
  const auto fail = [&](const std::string& why) {
    throw std::invalid_argument(quoted(piece) + ": " + why);
  };
  for (std::size_t at = 0; at < letters.size();) {
    const std::uint8_t s = stateOfLetter(letters[at]);
    if (s == 255) fail(std::string("'") + letters[at] + "' is not a cell: the cells are A, B and C, and A*n for n A cells");
    ++at;
    std::int64_t count = 1;
    if (at < letters.size() && letters[at] == '*') {
      if (s != stateA) fail("only A takes a count (A*n)");
      ++at;
      count = number(letters, at);
      if (count < 1) fail("A* takes a whole number of cells");
    }
    if (static_cast<std::size_t>(count) > most - std::min(most, cells.size())) fail("longer than the ring");
    cells.insert(cells.end(), static_cast<std::size_t>(count), s);
  }
  if (cells.empty()) fail("no cells");
  return cells;
}

}  // namespace

bool looksLikeRuleText(std::string_view text) {
  return (text.size() == std::size_t{ruleHalfSize} || text.size() == std::size_t{ruleTableSize}) && std::all_of(text.begin(), text.end(), isDigit);
}

RuleTable parseRuleText(std::string_view text) {
  if (!looksLikeRuleText(text)) {
    throw std::invalid_argument("a rule as text is 81 or 162 digits, not " + std::to_string(text.size()) + " characters");
  }
  RuleTable rule{};
  for (std::size_t i = 0; i < text.size(); ++i) rule[i] = static_cast<std::uint8_t>(text[i] - '0');
  return rule;
}

std::string ruleText(const RuleTable& rule) {
  const bool half = std::all_of(rule.begin() + ruleHalfSize, rule.end(), [](std::uint8_t e) { return e == 0; });
  std::string out;
  for (std::size_t i = 0; i < static_cast<std::size_t>(half ? ruleHalfSize : ruleTableSize); ++i) {
    if (rule[i] > 9) {
      throw std::invalid_argument("entry " + std::to_string(i) + " is " + std::to_string(rule[i]) + ": no digit shows it");
    }
    out += static_cast<char>('0' + rule[i]);
  }
  return out;
}

std::vector<std::uint8_t> parseRowText(std::string_view text, std::int32_t ringLength) {
  const auto length = static_cast<std::size_t>(std::max(ringLength, 0));
  std::vector<std::uint8_t> ring(length, stateA);
  std::vector<bool> taken(length, false);
  if (text.empty()) throw std::invalid_argument("an empty row");
  for (std::size_t from = 0; from <= text.size();) {
    const std::size_t plus = std::min(text.find('+', from), text.size());
    const std::string_view piece = text.substr(from, plus - from);
    from = plus + 1;
    const std::size_t atSign = piece.find('@');
    std::size_t start = 0;
    if (atSign != std::string_view::npos) {
      std::size_t at = atSign + 1;
      const std::int64_t cell = number(piece, at);
      if (cell < 0 || at != piece.size()) {
        throw std::invalid_argument(quoted(piece) + ": '@' takes the whole number of a cell");
      }
      start = static_cast<std::size_t>(cell);
    }
    const auto cells = pieceCells(piece.substr(0, atSign), length, piece);
    if (start >= length || cells.size() > length - start) {
      throw std::invalid_argument(quoted(piece) + ": cells " + std::to_string(start) + " to " +
                                  std::to_string(start + cells.size() - 1) + " do not fit on a ring of " +
                                  std::to_string(length) + " cells");
    }
    for (std::size_t k = 0; k < cells.size(); ++k) {
      if (taken[start + k]) {
        throw std::invalid_argument(quoted(piece) + ": cell " + std::to_string(start + k) +
                                    " is taken by an earlier piece");
      }
      taken[start + k] = true;
      ring[start + k] = cells[k];
    }
  }
  return ring;
}

std::string rowText(std::span<const std::uint8_t> cells) {
  std::string out;
  for (std::size_t i = 0; i < cells.size();) {
    std::size_t run = 0;
    while (i + run < cells.size() && cells[i + run] == stateA) ++run;
    if (run >= 4) {
      out += "A*" + std::to_string(run);
    } else if (run > 0) {
      out.append(run, 'A');
    } else {
      out += cells[i] == stateB ? 'B' : 'C';
      run = 1;
    }
    i += run;
  }
  return out;
}

}  // namespace ondrix
