// Rules and rows as text: what a user types on a command line or in a
// notebook, and what `ondrix-tool show` prints back, so that the one reads
// what the other writes.
//
// A rule is its entries as digits: the 81 the step reads (the 81 the files
// keep after them are then 0), or all 162. A row is the letters A, B and C
// of its cells from its first, with "A*n" for a run of n A cells; pieces
// placed from given cells of a ring join with "+": "BCAAB@300+CB@700".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ondrix/automaton/automaton.h"

namespace ondrix {

// Whether the text has the shape of a rule: 81 or 162 decimal digits.
bool looksLikeRuleText(std::string_view text);

// The table the text gives; std::invalid_argument says what is wrong.
RuleTable parseRuleText(std::string_view text);

// The table as digits: 81 when its last 81 entries are 0, else 162.
// std::invalid_argument for an entry above 9, which no digit shows.
std::string ruleText(const RuleTable& rule);

// The cells (stateA, stateB, stateC) of a ring of `ringLength` cells that
// the text describes, A wherever no piece stands. A piece without "@" stands
// from cell 0. Pieces that do not fit on the ring or overlap are refused:
// std::invalid_argument names the piece.
std::vector<std::uint8_t> parseRowText(std::string_view text, std::int32_t ringLength);

// The cells as letters from the first, runs of four or more A as "A*n":
// parseRowText gives them back on a ring at least as long.
std::string rowText(std::span<const std::uint8_t> cells);

}  // namespace ondrix
