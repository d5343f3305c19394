// show and identify: rules and rows as text, and what a pattern is.
#include <nlohmann/json.hpp>

#include <iostream>

#include "ondrix/datafiles/sha256.h"
#include "ondrix/datafiles/textformats.h"
#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/shipdata.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/provenance.h"
#include "tool/reports.h"

namespace ondrix::tool {

using json = nlohmann::ordered_json;

namespace {

// The live cells of the ring from the first to the last, as digits.
Digits liveSpan(const AutomatonState& ring) {
  Digits row;
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    row.push_back(ring.cells[i] == stateC ? 2 : ring.cells[i] == stateB ? 1 : 0);
  }
  while (!row.empty() && row.back() == 0) row.pop_back();
  const auto first = std::find_if(row.begin(), row.end(), [](std::uint8_t d) { return d != 0; });
  return Digits(first, row.end());
}

const char* kindName(PatternKind k) {
  switch (k) {
    case PatternKind::soliton: return "soliton";
    case PatternKind::oscillator: return "oscillator";
    case PatternKind::sideBySide: return "side by side";
    case PatternKind::dies: return "dies";
    default: return "unknown";
  }
}

}  // namespace

int show(const ShowArgs& a) {
  if (a.rule.empty() && a.row.empty() && a.catalogue.empty()) {
    throw ToolError(exitUsage, "show takes --rule, --row, --catalogue or more than one");
  }
  if (!a.catalogue.empty()) std::cout << catalogueJson(readCatalogue(a.catalogue)).dump(2) << "\n";
  if (!a.rule.empty()) {
    try {
      std::printf("%s\n", ruleText(readRule(a.rule)).c_str());
    } catch (const std::invalid_argument& bad) {
      throw ToolError(exitInput, a.rule + ": " + bad.what());
    }
  }
  if (!a.row.empty()) {
    const AutomatonState ring = readRow(a.row, a.ring, a.crop);
    std::int32_t end = ring.ringLength;
    while (end > 0 && ring.cells[end - 1] == stateA) --end;
    std::printf("%s\n", end ? rowText(std::span(ring.cells.data(), static_cast<std::size_t>(end))).c_str() : "A");
  }
  return 0;
}

int identify(const IdentifyArgs& a) {
  const RuleTable rule = readRule(a.rule);
  const Digits row = liveSpan(readRow(a.pattern, a.ring));
  Provenance made("identify", rule);
  made.parameters() = {{"pattern", digitLetters(row)}, {"bound", a.bound}, {"ring", a.ring}};
  PatternIdentity id;
  try {
    id = identifyPattern(rule, row, a.bound);
  } catch (const std::invalid_argument& bad) {
    throw ToolError(exitInput, a.rule + ": " + bad.what());
  }
  // The catalogue type of each soliton, by the code the list gives it.
  std::vector<std::uint64_t> typeCodes;
  if (!a.catalogue.empty()) {
    const Catalogue catalogue = readCatalogue(a.catalogue, &rule);
    made.parameters()["catalogue_sha256"] = sha256Hex(catalogueImage(catalogue));
    for (const SolitonType& t : typesOf(catalogue)) {
      const auto listed = identifySoliton(rule, codeDigits(t.code));
      typeCodes.push_back(listed ? listed->code64 : 0);
    }
  }
  const auto typeOf = [&](const EnumeratedSoliton& s) {
    const auto at = std::find(typeCodes.begin(), typeCodes.end(), s.code64);
    return s.code64 > 0 && at != typeCodes.end() ? static_cast<int>(at - typeCodes.begin()) : -1;
  };
  const int status = id.kind == PatternKind::unknown ? exitCheckFailed : 0;
  if (a.json) {
    json solitons = json::array();
    for (std::size_t k = 0; k < id.solitons.size(); ++k) {
      const EnumeratedSoliton& s = id.solitons[k];
      solitons.push_back({{"direction", id.directions[k] > 0 ? "higher" : "lower"},
                          {"code", s.code > 0 ? json(s.code) : json(nullptr)},
                          {"code64", s.code64 > 0 ? json(s.code64) : json(nullptr)},
                          {"period", s.period},
                          {"shift", s.shift},
                          {"speed", s.speed},
                          {"width", s.width},
                          {"cells", digitLetters(s.cells)},
                          {"twin", digitLetters(s.twinCells.empty() ? twinCells(s.cells) : s.twinCells)},
                          {"own_twin", isOwnTwin(rule, s)},
                          {"type", typeOf(s) >= 0 ? json(typeOf(s)) : json(nullptr)}});
    }
    std::cout << json{{"pattern", digitLetters(row)},
                      {"kind", kindName(id.kind)},
                      {"period", id.period},
                      {"bound", id.bound},
                      {"solitons", solitons},
                      {"provenance", made.record()}}
                     .dump(2)
              << "\n";
    return status;
  }
  const auto describe = [&](std::size_t k) {
    const EnumeratedSoliton& s = id.solitons[k];
    const int type = typeOf(s);
    // The twin as enumerate shows it: its smallest phase.
    const Digits twin = s.twinCells.empty() ? twinCells(s.cells) : s.twinCells;
    const std::string code = s.code > 0       ? "code " + std::to_string(s.code)
                             : s.code64 > 0 ? "64-bit code " + std::to_string(s.code64)
                                            : "no code: wider than 40 cells";
    std::printf("  towards %s cells: period %d, shift %d, speed %d, widest phase %d cells; listed as %s (%s); %s%s\n",
                id.directions[k] > 0 ? "higher" : "lower", s.period, s.shift, s.speed, s.width, code.c_str(),
                digitLetters(s.cells).c_str(),
                isOwnTwin(rule, s) ? "its own twin" : ("twin " + digitLetters(twin)).c_str(),
                type >= 0 ? ("; catalogue type " + std::to_string(type)).c_str() : "");
  };
  switch (id.kind) {
    case PatternKind::soliton:
      std::printf("a soliton\n");
      describe(0);
      break;
    case PatternKind::sideBySide:
      std::printf("%zu solitons side by side\n", id.solitons.size());
      for (std::size_t k = 0; k < id.solitons.size(); ++k) describe(k);
      break;
    case PatternKind::oscillator:
      if (id.period == 1) std::printf("still: it stands as it is\n");
      else std::printf("an oscillator of period %d, in place\n", id.period);
      break;
    case PatternKind::dies:
      if (id.period == 0) std::printf("no live cell: nothing to run\n");
      else std::printf("dies out after %d generations\n", id.period);
      break;
    case PatternKind::unknown:
      std::printf("neither dies nor comes back within %d generations%s\n", id.bound,
                  id.bound < a.bound ? (" (the most a pattern " + std::to_string(row.size()) +
                                        " cells wide can run on the longest ring, 7680 cells)").c_str()
                                     : "");
      break;
  }
  return status;
}

}  // namespace ondrix::tool
