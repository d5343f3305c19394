// What the tool reads, checked: the program's rule, row and soliton files.
// A file that cannot be read or does not hold what it should ends the tool
// with one line on standard error and exit code 2.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "automaton/automaton.h"
#include "solitons/catalogue.h"
#include "solitons/hunt.h"

namespace ondrix::tool {

// A failure the tool reports as one line, with its exit code.
struct ToolError : std::runtime_error {
  int code;
  ToolError(int exitCode, const std::string& what) : std::runtime_error(what), code(exitCode) {}
};

inline constexpr int exitUsage = 1;
inline constexpr int exitInput = 2;
inline constexpr int exitCheckFailed = 3;

// Exactly 162 bytes.
RuleTable readRule(const std::string& path);

// Up to ringLength bytes of 0, 1 or 2 over a ring of A cells.
AutomatonState readRow(const std::string& path, std::int32_t ringLength);

// The twelve catalogue types of a soliton file.
Catalogue readCatalogue(const std::string& path);

// Types 0..11 of the catalogue as soliton types (width left 0).
std::vector<SolitonType> typesOf(const Catalogue& c);

}  // namespace ondrix::tool
