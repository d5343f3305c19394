#include "tool/inputs.h"

#include <filesystem>
#include <system_error>

#include "datafiles/files.h"

namespace ondrix::tool {

namespace {

// The whole file, or a ToolError that says why not.
std::vector<std::uint8_t> wholeFile(const std::string& path, std::size_t most) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error || !isRegularFile(path)) throw ToolError(exitInput, "cannot read " + path + ": no such file");
  std::vector<std::uint8_t> bytes(std::min<std::uintmax_t>(size, most));
  const auto got = readPrefix(path, bytes);
  if (!got) throw ToolError(exitInput, "cannot read " + path);
  bytes.resize(*got);
  if (size > most) bytes.push_back(0);  // one byte more than allowed: the caller says how many it got
  return bytes;
}

}  // namespace

RuleTable readRule(const std::string& path) {
  const auto bytes = wholeFile(path, ruleTableSize);
  if (bytes.size() != ruleTableSize) {
    const auto size = std::filesystem::file_size(path);
    throw ToolError(exitInput, path + ": a rule file holds 162 bytes, this one " + std::to_string(size));
  }
  RuleTable rule{};
  std::copy(bytes.begin(), bytes.end(), rule.begin());
  return rule;
}

AutomatonState readRow(const std::string& path, std::int32_t ringLength) {
  const auto bytes = wholeFile(path, static_cast<std::size_t>(ringLength));
  AutomatonState ring;
  ring.ringLength = ringLength;
  ring.cells.fill(stateA);
  for (std::size_t i = 0; i < bytes.size() && i < static_cast<std::size_t>(ringLength); ++i) {
    if (bytes[i] > stateA) {
      throw ToolError(exitInput, path + ": cell " + std::to_string(i) + " holds " + std::to_string(bytes[i]) +
                                     ", not a state 0, 1 or 2");
    }
    ring.cells[i] = bytes[i];
  }
  return ring;
}

Catalogue readCatalogue(const std::string& path) {
  wholeFile(path, catalogueImageSize * 2);
  Catalogue c;
  if (!readSolitonFile(path, c)) throw ToolError(exitInput, "cannot read " + path);
  return c;
}

std::vector<SolitonType> typesOf(const Catalogue& c) {
  std::vector<SolitonType> types;
  for (int k = 0; k < catalogueTypes; ++k) types.push_back({c.solitonCode[k], c.solitonPeriod[k], c.solitonShift[k], 0});
  return types;
}

}  // namespace ondrix::tool
