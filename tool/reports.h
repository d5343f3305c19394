// The results of the tool's commands as JSON, and back: one place for the
// field names that ondrix-tool prints and the Python module returns.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <span>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "ondrix/solitons/catalogue.h"
#include "ondrix/solitons/collisions.h"
#include "ondrix/solitons/anywidth.h"
#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/search.h"
#include "ondrix/solitons/shipdata.h"
#include "ondrix/solitons/survey.h"

namespace ondrix::tool {

using json = nlohmann::ordered_json;

// A result read back from `bytes`; ToolError "name: not <what> (why)"
// when they are no JSON.
json parseResult(std::span<const std::uint8_t> bytes, const std::string& name, const std::string& what);

// The twelve types: type, code, period, shift, cells.
json catalogueJson(const Catalogue& c);

// A catalogue to save at `name`: as the window's soliton file holds it, or
// as JSON (the twelve types and the provenance) when the name ends in ".json".
std::vector<std::uint8_t> catalogueBytes(const Catalogue& c, const std::string& name, const json& provenance);

// search: nsol, nstrun and the solitons found (code, period, shift, speed,
// width, cells); the provenance is added by the caller.
json searchJson(const RuleTable& rule, const SearchFindings& findings);

// enumerate: the bounds, the counts, the solitons and the codes of the
// patterns of solitons side by side; a shard says which it is.
json enumerationJson(const Enumeration& e, const std::string& rule);
// enumerate --any-width --json.
json anyWidthJson(const AnyWidthEnumeration& e, const std::string& rule);

// The enumeration for a command: bounds out of range or a rule it cannot
// take are a ToolError naming the rule as given.
// A run resumed from a checkpoint, writing its own as it goes.
struct Resumable {
  const EnumerationCheckpoint* from = nullptr;
  std::function<void(const EnumerationCheckpoint&)> write;
  std::chrono::milliseconds every{60000};
};
Enumeration enumerateFor(const RuleTable& rule, const std::string& ruleName, int width, int period, unsigned threads,
                         Poll* poll, int shardIndex = 0, int shardCount = 1, const Resumable& resumable = {});

// An enumeration read back (from enumerationJson with its provenance) for a
// merge; ToolError naming `name` when it is not one.
Enumeration enumerationFromJson(const json& j, const std::string& name);

// A run's checkpoint as JSON, and back (a ToolError naming the file when it
// is not one).
json checkpointJson(const EnumerationCheckpoint& c);
EnumerationCheckpoint checkpointFromJson(const json& j, const std::string& name);

// One collision of the survey: a, b, outcome, generations, shift_a,
// shift_b, products.
json collisionJson(int a, int b, const Collision& c);

// Cells as letters, A, B and C.
std::string digitLetters(const Digits& d);

// Every collision of a pair: the two solitons, the count one beat holds,
// and each collision's start, outcome and products, each soliton product
// with its catalogue type (by its entry's code) or null.
json pairCollisionsJson(int a, int b, const PairCollisions& p, const std::map<std::uint64_t, int>& types = {});

// A hunt's best choice, or null.
json huntChoiceJson(const HuntChoice& c);

// A hunt result read back as the stretch it tells of; the checks of what
// it claims are the core's (mergeHuntStretches). `problem` gets why its
// provenance does not make it one of this version's hunts, or "".
HuntStretch huntStretchFromJson(const json& j, const std::string& name, std::string& problem);

}  // namespace ondrix::tool
