#include "tool/inputs.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <climits>
#include <filesystem>

#include <nlohmann/json.hpp>
#include <system_error>

#include "ondrix/datafiles/files.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/datafiles/sha256.h"
#include "ondrix/datafiles/textformats.h"
#include "ondrix/solitons/shipdata.h"

namespace ondrix::tool {

std::vector<std::uint8_t> readInput(const std::string& path, std::size_t most) {
  // Room for what there is, not for the most that is taken: a large limit
  // costs nothing for a small file.
  std::vector<std::uint8_t> bytes;
  if (path == "-") {
    std::size_t done = 0;
    while (done < most) {
      if (done == bytes.size()) bytes.resize(std::min(most, std::max<std::size_t>(65536, 2 * bytes.size())));
      const ssize_t n = ::read(STDIN_FILENO, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw ToolError(exitInput, std::string("cannot read standard input: ") + std::strerror(errno), true);
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
  }
  std::error_code unknown;
  const std::uintmax_t size = std::filesystem::is_regular_file(path, unknown) ? std::filesystem::file_size(path, unknown) : most;
  // Files of /proc say 0 and hold more: those get the whole limit.
  bytes.resize(unknown || size == 0 ? most : static_cast<std::size_t>(std::min<std::uintmax_t>(most, size + 1)));
  std::string failure;
  const auto got = readPrefix(path, bytes, &failure, true);
  if (!got) throw ToolError(exitInput, "cannot read " + path + ": " + failure, true);
  bytes.resize(*got);
  return bytes;
}

namespace {

// The size of a file the user named, or of what was read from "-".
std::uintmax_t sizeOf(const std::string& path, std::size_t read) {
  std::error_code error;
  const auto size = path == "-" ? read : std::filesystem::file_size(path, error);
  return error ? read : size;
}

// Whether the argument names something, a file or anything else; what does
// not may be a rule or a row written out.
bool names(const std::string& arg) {
  std::error_code error;
  return arg == "-" || std::filesystem::exists(std::filesystem::symlink_status(arg, error));
}

// A text shown in a message, cut short when it is long.
std::string brief(std::string_view text) {
  return text.size() <= 100 ? std::string(text) : std::string(text.substr(0, 80)) + "... (" + std::to_string(text.size()) + " characters)";
}

// The text of what was read, without the line end or spaces around it.
std::string_view textOf(const std::vector<std::uint8_t>& bytes) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

namespace {

// A table file of exactly N bytes.
template <std::size_t N>
std::array<std::uint8_t, N> fixedTable(const std::string& path, const std::string& what) {
  const auto bytes = readInput(path, N + 1);
  if (sizeOf(path, bytes.size()) != N) {
    throw ToolError(exitInput, path + ": " + what + " holds " + std::to_string(N) + " bytes, this one " +
                                   std::to_string(sizeOf(path, bytes.size())) + (path == "-" && bytes.size() > N ? " or more" : ""));
  }
  std::array<std::uint8_t, N> table{};
  std::copy(bytes.begin(), bytes.end(), table.begin());
  return table;
}

// The twelve types of a catalogue written as JSON (catalogueJson); cells,
// when given, must be those of the code.
Catalogue catalogueFromJson(const std::string& path, std::string_view text, const RuleTable* rule) {
  Catalogue c;
  try {
    const auto j = nlohmann::json::parse(text);
    const auto made = j.find("provenance");
    if (rule && made != j.end() && made->contains("rule_sha256") &&
        made->at("rule_sha256") != sha256Hex(std::span<const std::uint8_t>(rule->data(), rule->size()))) {
      throw ToolError(exitInput, path + ": made under another rule (SHA-256 " + made->at("rule_sha256").get<std::string>() +
                                     "): its codes mean other solitons here");
    }
    const auto& types = j.at("types");
    if (!types.is_array() || types.size() != static_cast<std::size_t>(catalogueTypes)) {
      throw ToolError(exitInput, path + ": a catalogue holds twelve types");
    }
    for (int k = 0; k < catalogueTypes; ++k) {
      const auto& t = types[static_cast<std::size_t>(k)];
      const auto whole = [&](const char* key) {
        const auto& v = t.at(key);
        if (!v.is_number_integer() || v.get<std::int64_t>() < INT32_MIN || v.get<std::int64_t>() > INT32_MAX) {
          throw ToolError(exitInput, path + ": type " + std::to_string(k) + ": \"" + key + "\" must be a whole number");
        }
        return v.get<std::int32_t>();
      };
      c.solitonCode[k] = whole("code");
      c.solitonPeriod[k] = whole("period");
      c.solitonShift[k] = whole("shift");
      if (t.contains("cells") && t["cells"] != codeLetters(c.solitonCode[k])) {
        throw ToolError(exitInput, path + ": type " + std::to_string(k) + ": the cells are not those of code " +
                                       std::to_string(c.solitonCode[k]));
      }
    }
  } catch (const nlohmann::json::exception& e) {
    throw ToolError(exitInput, path + ": not a soliton file or catalogue (" + std::string(e.what()) + ")");
  }
  c.Nsol = catalogueTypes;
  return c;
}

}  // namespace

RuleTable readRule(const std::string& path) {
  if (path.empty()) throw ToolError(exitUsage, "an empty rule: give a rule file, - or the rule's digits");
  if (!names(path) && looksLikeRuleText(path)) return parseRuleText(path);
  if (!names(path) && path.find_first_not_of("0123456789") == std::string::npos) {
    throw ToolError(exitInput, brief(path) + ": no such file, and not a rule: a rule as text is 81 or 162 digits, not " +
                                   std::to_string(path.size()));
  }
  const auto bytes = readInput(path, 2 * ruleTableSize + 3);  // 162 digits and a line end, or 162 bytes
  if (const auto text = textOf(bytes); looksLikeRuleText(text)) return parseRuleText(text);
  if (bytes.size() != ruleTableSize) {
    throw ToolError(exitInput, path + ": a rule file holds 162 bytes, this one " +
                                   std::to_string(sizeOf(path, bytes.size())) + " (or write the rule as 81 or 162 digits)");
  }
  RuleTable rule{};
  std::copy(bytes.begin(), bytes.end(), rule.begin());
  return rule;
}

AuxRuleTable readAuxRule(const std::string& path) { return fixedTable<auxRuleTableSize>(path, "an auxiliary table"); }

AutomatonState readRow(const std::string& path, std::int32_t ringLength, bool crop, const std::string& remedy) {
  AutomatonState ring;
  ring.ringLength = ringLength;
  ring.cells.fill(stateA);
  if (path.empty()) throw ToolError(exitUsage, "an empty row: give a row file, - or the row's letters");
  const auto place = [&](std::string_view text, bool named) {
    try {
      const auto cells = parseRowText(text, ringLength);
      std::copy(cells.begin(), cells.end(), ring.cells.begin());
    } catch (const std::invalid_argument& bad) {
      throw ToolError(exitInput, named ? path + ": not a row file or pattern: " + bad.what()
                                       : "no such file, and not a row pattern: " + std::string(bad.what()));
    }
    return ring;
  };
  // A name that no file has, and that does not look like a path, is letters.
  if (!names(path) && path.find_first_of("/.") == std::string::npos) return place(path, false);
  const auto bytes = readInput(path, rowTextLimit + 1);
  if (bytes.empty()) throw ToolError(exitInput, path + ": an empty row");
  if (std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b > stateA; })) {
    if (bytes.size() > rowTextLimit) throw ToolError(exitInput, path + ": a row as text holds at most 1 MiB");
    // Not a byte per cell: a pattern written out (it starts with a cell's
    // letter), or a file that is neither.
    const auto text = textOf(bytes);
    if (text.empty() || std::string_view("ABCabc").find(text.front()) == std::string_view::npos) {
      const auto at = std::find_if(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b > stateA; }) - bytes.begin();
      throw ToolError(exitInput, path + ": cell " + std::to_string(at) + " holds " + std::to_string(bytes[at]) +
                                     ", not a state 0, 1 or 2");
    }
    return place(text, true);
  }
  if (bytes.size() > static_cast<std::size_t>(ringCapacity)) {
    throw ToolError(exitInput, path + ": a row holds at most 7680 cells, this one " + std::to_string(sizeOf(path, bytes.size())));
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i < static_cast<std::size_t>(ringLength)) {
      ring.cells[i] = bytes[i];
    } else if (bytes[i] != stateA && !crop) {
      throw ToolError(exitInput, path + ": cell " + std::to_string(i) + " is live but the ring has " +
                                     std::to_string(ringLength) + " cells " + remedy);
    }
  }
  return ring;
}

Catalogue readCatalogue(const std::string& path, const RuleTable* rule) {
  const auto stored = readInput(path, 1 << 20);
  Catalogue c;
  decodeSolitonFile(stored, c);
  if (stored.size() >= catalogueImageSize && translateLineEnds(catalogueImage(c)) == stored) return c;
  // Not the window's file (whose first byte may be '{' too): a catalogue as JSON?
  if (const auto text = textOf(stored); !text.empty() && text.front() == '{') return catalogueFromJson(path, text, rule);
  {
    throw ToolError(exitInput, path + ": not a soliton file (144 bytes of codes, periods and shifts, each byte 0x0A "
                                      "stored as 0x0D 0x0A; or its JSON)");
  }
}

void requireOneStandardInput(std::initializer_list<const std::string*> inputs) {
  if (std::count_if(inputs.begin(), inputs.end(), [](const std::string* i) { return *i == "-"; }) > 1) {
    throw ToolError(exitUsage, "standard input can be read once: give - for one input only");
  }
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

EnumeratedSoliton collidingSoliton(const RuleTable& rule, const std::vector<SolitonType>& types, int k,
                                   const std::string& path) {
  const SolitonType& t = types[static_cast<std::size_t>(k)];
  EnumeratedSoliton s;
  s.code = t.code;
  s.period = t.period;
  s.shift = t.shift;
  s.speed = solitonSpeed(t.shift, t.period);
  s.cells = codeDigits(t.code);
  const auto entry = describeSoliton(rule, s.cells, t.period, t.shift);
  if (!entry) {
    throw ToolError(exitInput, path + ": type " + std::to_string(k) + " (" + codeLetters(t.code) +
                                   ") is not a soliton of period " + std::to_string(t.period) + " and shift " +
                                   std::to_string(t.shift) + " under the rule (its period the smallest, its shift to the right)");
  }
  s.width = entry->width;
  return s;
}

std::map<std::uint64_t, int> catalogueEntries(const RuleTable& rule, const std::vector<SolitonType>& types, int n) {
  std::map<std::uint64_t, int> out;
  for (int k = 0; k < n; ++k) {
    const SolitonType& t = types[static_cast<std::size_t>(k)];
    if (const auto entry = describeSoliton(rule, codeDigits(t.code), t.period, t.shift)) out.emplace(entry->code64, k);
  }
  return out;
}

}  // namespace ondrix::tool
