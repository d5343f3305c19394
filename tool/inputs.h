// What the tool reads, checked: the program's rule, row and soliton files.
// A file that cannot be read or does not hold what it should ends the tool
// with one line on standard error and exit code 2.
#pragma once

#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/solitons/catalogue.h"
#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/hunt.h"

namespace ondrix::tool {

// A failure the tool reports as one line, with its exit code.
struct ToolError : std::runtime_error {
  int code;
  bool io;  // the system could not read or write what was named (Python: OSError)
  ToolError(int exitCode, const std::string& what, bool io = false)
      : std::runtime_error(what), code(exitCode), io(io) {}
};

inline constexpr int exitUsage = 1;
inline constexpr int exitInput = 2;
inline constexpr int exitCheckFailed = 3;

// Up to `most` bytes of a file the user named (a pipe or a device too), or
// of standard input for "-"; or a ToolError with the cause.
std::vector<std::uint8_t> readInput(const std::string& path, std::size_t most);

// A rule file of exactly 162 bytes, "-" for standard input, or the rule
// written out as 81 or 162 digits (in place of a name, or in the file).
RuleTable readRule(const std::string& path);

// Exactly 54 bytes.
AuxRuleTable readAuxRule(const std::string& path);

// A row on a ring of A cells: a file of 1..7680 bytes, each 0, 1 or 2 ("-"
// for standard input), or a pattern in letters ("BCAAB@300+CB@700", in
// place of a name or in the file). Live cells past the ring are refused
// unless `crop` drops them.
inline constexpr std::size_t rowTextLimit = 1 << 20;
// `remedy` follows the refusal of cells past the ring.
AutomatonState readRow(const std::string& path, std::int32_t ringLength, bool crop = false,
                       const std::string& remedy = "(--ring, or --crop to drop the cells past it)");

// The twelve catalogue types of a soliton file, which must be exactly what
// the program writes for them, or of the same as JSON. A JSON catalogue
// that names the rule it was made under must have been made under `rule`.
Catalogue readCatalogue(const std::string& path, const RuleTable* rule = nullptr);

// Standard input can be read once: at most one of the inputs may be "-".
void requireOneStandardInput(std::initializer_list<const std::string*> inputs);

// Types 0..10 must be solitons with codes above 0 and periods 1..40.
void requireSurveyable(const std::string& path, const std::vector<SolitonType>& types);

// Types 0..11 of the catalogue as soliton types (width left 0).
std::vector<SolitonType> typesOf(const Catalogue& c);

// Type k as the complete collisions take it: its cells as catalogued, its
// widest phase from a run. Refused, naming the file and the type, when it
// is not a soliton of its period and shift under the rule (a multiple of
// its period, say).
EnumeratedSoliton collidingSoliton(const RuleTable& rule, const std::vector<SolitonType>& types, int k,
                                   const std::string& path);

// The list entry of each of the types 0..n-1 that are solitons, by the
// entry's code: what a product of a collision is in the catalogue.
std::map<std::uint64_t, int> catalogueEntries(const RuleTable& rule, const std::vector<SolitonType>& types, int n);

}  // namespace ondrix::tool
