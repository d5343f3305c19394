#include "tool/inputs.h"

#include <filesystem>
#include <system_error>

#include "ondrix/datafiles/files.h"
#include "ondrix/datafiles/rulefiles.h"

namespace ondrix::tool {

std::vector<std::uint8_t> readInput(const std::string& path, std::size_t most) {
  std::vector<std::uint8_t> bytes(most);
  std::string failure;
  const auto got = readPrefix(path, bytes, &failure);
  if (!got) throw ToolError(exitInput, "cannot read " + path + ": " + failure);
  bytes.resize(*got);
  return bytes;
}

namespace {

std::uintmax_t sizeOf(const std::string& path) {
  std::error_code error;
  return std::filesystem::file_size(path, error);
}

}  // namespace

namespace {

// A table file of exactly N bytes.
template <std::size_t N>
std::array<std::uint8_t, N> fixedTable(const std::string& path, const std::string& what) {
  const auto bytes = readInput(path, N);
  if (sizeOf(path) != N) {
    throw ToolError(exitInput, path + ": " + what + " holds " + std::to_string(N) + " bytes, this one " +
                                   std::to_string(sizeOf(path)));
  }
  std::array<std::uint8_t, N> table{};
  std::copy(bytes.begin(), bytes.end(), table.begin());
  return table;
}

}  // namespace

RuleTable readRule(const std::string& path) { return fixedTable<ruleTableSize>(path, "a rule file"); }

AuxRuleTable readAuxRule(const std::string& path) { return fixedTable<auxRuleTableSize>(path, "an auxiliary table"); }

AutomatonState readRow(const std::string& path, std::int32_t ringLength) {
  const auto bytes = readInput(path, ringCapacity + 1);
  if (bytes.empty()) throw ToolError(exitInput, path + ": an empty row");
  if (bytes.size() > static_cast<std::size_t>(ringCapacity)) {
    throw ToolError(exitInput, path + ": a row holds at most 7680 cells, this one " + std::to_string(sizeOf(path)));
  }
  AutomatonState ring;
  ring.ringLength = ringLength;
  ring.cells.fill(stateA);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] > stateA) {
      throw ToolError(exitInput, path + ": cell " + std::to_string(i) + " holds " + std::to_string(bytes[i]) +
                                     ", not a state 0, 1 or 2");
    }
    if (i < static_cast<std::size_t>(ringLength)) ring.cells[i] = bytes[i];
  }
  return ring;
}

Catalogue readCatalogue(const std::string& path) {
  const auto stored = readInput(path, 2 * catalogueImageSize + 1);
  Catalogue c;
  if (!readSolitonFile(path, c) || translateLineEnds(catalogueImage(c)) != stored) {
    throw ToolError(exitInput, path + ": not a soliton file (144 bytes of codes, periods and shifts, each byte 0x0A "
                                      "stored as 0x0D 0x0A)");
  }
  return c;
}

void requireSurveyable(const std::string& path, const std::vector<SolitonType>& types) {
  for (int k = 0; k < 11; ++k) {
    const SolitonType& t = types[static_cast<std::size_t>(k)];
    if (t.code <= 0 || t.period < 1 || t.period > 40) {
      throw ToolError(exitInput, path + ": type " + std::to_string(k) + " (code " + std::to_string(t.code) +
                                     ", period " + std::to_string(t.period) +
                                     ") is no soliton the survey can follow: codes above 0, periods 1..40");
    }
  }
}

std::vector<SolitonType> typesOf(const Catalogue& c) {
  std::vector<SolitonType> types;
  for (int k = 0; k < catalogueTypes; ++k) types.push_back({c.solitonCode[k], c.solitonPeriod[k], c.solitonShift[k], 0});
  return types;
}

}  // namespace ondrix::tool
