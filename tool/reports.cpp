#include "tool/reports.h"

#include <climits>

#include "ondrix/datafiles/files.h"
#include "ondrix/datafiles/textformats.h"
#include "tool/inputs.h"
#include "tool/provenance.h"

namespace ondrix::tool {

namespace {

// The widest phase of a finding, or 0 when it does not come back alone,
// with the gaps a soliton may have between its cells.
std::int32_t widestPhase(const RuleTable& rule, std::int32_t code, std::int32_t period, std::int32_t shift) {
  const auto s = describeSoliton(rule, codeDigits(code), period, shift);
  return s ? s->width : 0;
}

const char* outcomeName(Outcome o) {
  return o == Outcome::passed ? "passed" : o == Outcome::changed ? "changed" : "debris";
}

// The library's tag ("[json.exception.kind.N] ") left out of its message.
std::string jsonWhy(const json::exception& e) {
  const std::string why = e.what();
  const auto tag = why.find("] ");
  return why.substr(tag == std::string::npos ? 0 : tag + 2);
}

// A whole number of a result in least..most, or a ToolError naming it.
std::int64_t wholeField(const json& j, const char* key, std::int64_t least, std::int64_t most, const std::string& name) {
  const json& v = j.at(key);
  if (!v.is_number_integer() || v.get<std::int64_t>() < least || v.get<std::int64_t>() > most) {
    throw ToolError(exitInput, name + ": \"" + key + "\" must be a whole number from " + std::to_string(least) + " to " +
                                   std::to_string(most) + ", not " + v.dump());
  }
  return v.get<std::int64_t>();
}

// The "shard" of a result, [index, count], when it has one.
void readShard(const json& j, const std::string& name, int& index, int& count) {
  if (!j.contains("shard")) return;
  const json& shard = j["shard"];
  if (!shard.is_array() || shard.size() != 2 || !shard[0].is_number_integer() || !shard[1].is_number_integer() ||
      shard[1].get<std::int64_t>() < 1 || shard[1].get<std::int64_t>() > INT_MAX || shard[0].get<std::int64_t>() < 0 ||
      shard[0].get<std::int64_t>() >= shard[1].get<std::int64_t>()) {
    throw ToolError(exitInput, name + ": \"shard\" must be [index, count] with 0 <= index < count, not " + shard.dump());
  }
  index = shard[0].get<int>();
  count = shard[1].get<int>();
}

// The rule a provenance names: its digits, or its 162 entries as numbers.
RuleTable ruleFromJson(const json& rule) {
  if (rule.is_string()) return parseRuleText(rule.get<std::string>());
  const auto entries = rule.get<std::vector<int>>();
  RuleTable table{};
  if (entries.size() != table.size()) throw std::invalid_argument("a rule holds 162 entries");
  for (std::size_t k = 0; k < table.size(); ++k) {
    if (entries[k] < 0 || entries[k] > 255) throw std::invalid_argument("a rule's entries are bytes");
    table[k] = static_cast<std::uint8_t>(entries[k]);
  }
  return table;
}

}  // namespace

json parseResult(std::span<const std::uint8_t> bytes, const std::string& name, const std::string& what) {
  try {
    return json::parse(bytes.begin(), bytes.end());
  } catch (const json::exception& bad) {
    throw ToolError(exitInput, name + ": not " + what + " (" + jsonWhy(bad) + ")");
  }
}

json catalogueJson(const Catalogue& c) {
  json types = json::array();
  for (int k = 0; k < catalogueTypes; ++k) {
    types.push_back({{"type", k},
                     {"code", c.solitonCode[k]},
                     {"period", c.solitonPeriod[k]},
                     {"shift", c.solitonShift[k]},
                     {"cells", codeLetters(c.solitonCode[k])}});
  }
  return {{"types", types}};
}

std::vector<std::uint8_t> catalogueBytes(const Catalogue& c, const std::string& name, const json& provenance) {
  if (name.size() < 5 || name.compare(name.size() - 5, 5, ".json") != 0) return translateLineEnds(catalogueImage(c));
  json j = catalogueJson(c);
  j["provenance"] = provenance;
  const std::string text = j.dump(2) + "\n";
  return {text.begin(), text.end()};
}

std::string digitLetters(const Digits& d) {
  std::string out;
  for (std::uint8_t c : d) out += "ABC"[c];
  return out;
}

json searchJson(const RuleTable& rule, const SearchFindings& findings) {
  Catalogue c;
  enterFindings(c, findings);
  json found = json::array();
  for (const FoundSoliton& s : findings.solitons) {
    found.push_back({{"code", s.code},
                     {"period", s.period},
                     {"shift", s.shift},
                     {"speed", solitonSpeed(s.shift, s.period)},
                     {"width", widestPhase(rule, s.code, s.period, s.shift)},
                     {"cells", codeLetters(s.code)}});
  }
  return {{"nsol", c.Nsol}, {"nstrun", c.Nstrun}, {"solitons", found}};
}

namespace {

// An entry as both enumerations list it.
json entryJson(const EnumeratedSoliton& s) {
  return {{"code", s.code > 0 ? json(s.code) : json(nullptr)},
          {"code64", s.code64},
          {"period", s.period},
          {"shift", s.shift},
          {"speed", s.speed},
          {"width", s.width},
          {"cells", digitLetters(s.cells)},
          {"twin_cells", s.twinCells.empty() ? json(nullptr) : json(digitLetters(s.twinCells))}};
}

// An entry of the search of any width: with its narrowest phase and mark.
json anyWidthEntry(const AnyWidthSoliton& a) {
  json out = entryJson(a.entry);
  if (a.entry.code64 == 0) out["code64"] = nullptr;  // wider than 40 cells
  out["narrowest"] = a.entry.narrowest;
  out["on_cycle"] = a.onCycle;
  return out;
}

}  // namespace

json enumerationJson(const Enumeration& e, const std::string& rule) {
  json list = json::array();
  for (const auto& s : e.solitons) {
    list.push_back(entryJson(s));
    list.back()["seed_search"] = s.seedSearch;
  }
  json out = {{"rule", rule}, {"max_width", e.maxWidth}, {"max_period", e.maxPeriod}};
  if (e.shardCount > 1) out["shard"] = {e.shardIndex, e.shardCount};
  out["candidates"] = e.candidates;
  out["rows"] = e.rows;
  out["side_by_side"] = e.sideBySide;
  out["side_by_side_codes"] = e.sideBySideCodes;
  out["entries"] = e.solitons.size();
  out["shapes"] = e.shapes();
  out["solitons"] = list;
  return out;
}

json anyWidthJson(const AnyWidthEnumeration& e, const std::string& rule) {
  json solitons = json::array(), families = json::array(), searches = json::array();
  for (const auto& s : e.solitons) solitons.push_back(anyWidthEntry(s));
  for (const auto& f : e.families) {
    json members = json::array();
    for (const auto& m : f.members) members.push_back(anyWidthEntry(m));
    families.push_back({{"period", f.period},
                        {"shift", f.shift},
                        {"kind", f.sideBySide ? "train" : "family"},
                        {"left", digitLetters(f.left)},
                        {"repeat", digitLetters(f.repeat)},
                        {"right", digitLetters(f.right)},
                        {"states", f.states},
                        {"members", members}});
  }
  for (const auto& s : e.searches) {
    searches.push_back({{"period", s.period},
                        {"shift", s.shift},
                        {"state_cells", s.stateBits},
                        {"from", s.fromRight ? "right" : "left"},
                        {"states", s.states},
                        {"live_states", s.liveStates},
                        {"paths", s.paths},
                        {"cycles", s.cycles},
                        {"bytes", s.bytes},
                        {"seconds", s.seconds},
                        {"refused", s.refused.empty() ? json(nullptr) : json(s.refused)}});
  }
  json out = {{"rule", rule}, {"any_width", true}, {"max_period", e.maxPeriod}, {"list_width", e.listWidth}};
  out["shift"] = e.shift > 0 ? json(e.shift) : json(nullptr);
  out["complete"] = e.complete();
  out["side_by_side"] = e.sideBySide;
  out["entries"] = e.solitons.size();
  out["solitons"] = solitons;
  out["families"] = families;
  out["searches"] = searches;
  return out;
}

Enumeration enumerateFor(const RuleTable& rule, const std::string& ruleName, int width, int period, unsigned threads,
                         Poll* poll, int shardIndex, int shardCount, const Resumable& resumable) {
  EnumerateOptions options;
  options.shardIndex = shardIndex;
  options.shardCount = shardCount;
  options.resume = resumable.from;
  options.checkpoint = resumable.write;
  options.checkpointEvery = resumable.every;
  options.maxWidth = width;
  options.maxPeriod = period;
  options.threads = threads;
  options.poll = poll;
  try {
    return enumerateSolitons(rule, options);
  } catch (const std::invalid_argument& bad) {
    throw ToolError(exitInput, ruleName + ": " + bad.what());
  }
}

Enumeration enumerationFromJson(const json& j, const std::string& name) {
  Enumeration e;
  try {
    const std::string problem = provenanceProblem(j, "enumerate");
    if (!problem.empty()) throw ToolError(exitInput, name + ": " + problem);
    const json& made = j.at("provenance");
    e.rule = ruleFromJson(made.at("rule"));
    e.maxWidth = static_cast<int>(wholeField(j, "max_width", 1, enumerateWidthLimit, name));
    e.maxPeriod = static_cast<int>(wholeField(j, "max_period", 1, enumeratePeriodLimit, name));
    readShard(j, name, e.shardIndex, e.shardCount);
    // The shard it says it is, as it was asked to be.
    const json& asked = made.at("parameters");
    if (asked.contains("shard") && asked.at("shard") != json::array({e.shardIndex, e.shardCount})) {
      throw ToolError(exitInput, name + ": its shard and the shard its provenance asked for differ");
    }
    e.candidates = wholeField(j, "candidates", 0, INT64_MAX, name);
    e.rows = wholeField(j, "rows", 0, INT64_MAX, name);
    e.sideBySideCodes = j.at("side_by_side_codes").get<std::vector<std::uint64_t>>();
    e.sideBySide = std::ssize(e.sideBySideCodes);
    for (const json& s : j.at("solitons")) {
      EnumeratedSoliton entry;
      // code64 names every entry; code only those of 19 cells at most.
      entry.code = s.at("code").is_null() ? 0 : static_cast<std::int32_t>(wholeField(s, "code", 1, INT32_MAX, name));
      entry.code64 = s.contains("code64") ? s.at("code64").get<std::uint64_t>() : static_cast<std::uint64_t>(entry.code);
      entry.period = static_cast<std::int32_t>(wholeField(s, "period", 1, enumeratePeriodLimit, name));
      entry.shift = static_cast<std::int32_t>(wholeField(s, "shift", INT32_MIN, INT32_MAX, name));
      entry.speed = static_cast<std::int32_t>(wholeField(s, "speed", INT32_MIN, INT32_MAX, name));
      entry.width = static_cast<std::int32_t>(wholeField(s, "width", 1, INT32_MAX, name));
      entry.cells = codeDigits64(entry.code64);
      if (entry.cells.empty() || std::ssize(entry.cells) > code64WidthLimit ||
          (entry.code != 0 && static_cast<std::uint64_t>(entry.code) != entry.code64)) {
        throw ToolError(exitInput, name + ": an entry's code and code64 disagree, or name no cells");
      }
      if (s.contains("twin_cells") && !s.at("twin_cells").is_null()) entry.twinCells = letterDigits(s.at("twin_cells").get<std::string>());
      entry.seedSearch = s.at("seed_search").get<bool>();
      e.solitons.push_back(entry);
    }
  } catch (const json::exception& bad) {
    throw ToolError(exitInput, name + ": not an enumeration (" + jsonWhy(bad) + ")");
  } catch (const std::invalid_argument& bad) {
    throw ToolError(exitInput, name + ": the rule of its provenance: " + bad.what());
  }
  return e;
}

json collisionJson(int a, int b, const Collision& c) {
  json products = json::array();
  for (const Product& p : c.products) products.push_back({{"type", p.type}, {"leftward", p.leftward}});
  return {{"a", a},
          {"b", b},
          {"outcome", outcomeName(c.outcome)},
          {"generations", c.generations},
          {"shift_a", c.shiftA},
          {"shift_b", c.shiftB},
          {"products", products}};
}

namespace {

// An entry as a collision report names it: without its speed and twin.
json solitonJson(const EnumeratedSoliton& s) {
  json out = entryJson(s);
  out.erase("speed");
  out.erase("twin_cells");
  return out;
}

}  // namespace

json pairCollisionsJson(int a, int b, const PairCollisions& p, const std::map<std::uint64_t, int>& types) {
  json list = json::array();
  for (const PairCollision& c : p.collisions) {
    json products = json::array();
    for (const CollisionProduct& q : c.products) {
      const char* kind = q.kind == CollisionProduct::Kind::soliton ? "soliton"
                         : q.kind == CollisionProduct::Kind::still ? "still"
                                                                   : "oscillating";
      json product = {{"kind", kind}};
      if (q.kind == CollisionProduct::Kind::soliton) {
        product["entry"] = solitonJson(q.entry);
        product["direction"] = q.direction;
        const auto type = types.find(q.entry.code64);
        product["type"] = type == types.end() ? json(nullptr) : json(type->second);
      } else {
        product["period"] = q.entry.period;
      }
      product["cells"] = digitLetters(q.cells);
      product["position"] = q.position;
      product["continues"] = q.continues.empty() ? json(nullptr) : json(q.continues);
      product["dx"] = q.dx ? json(*q.dx) : json(nullptr);
      product["dt"] = q.dt ? json(*q.dt) : json(nullptr);
      products.push_back(product);
    }
    list.push_back({{"phase_b", c.phaseB},
                    {"start_b", c.startB},
                    {"start", c.start},
                    {"outcome", collisionOutcomeName(c.outcome)},
                    {"generations", c.generations},
                    {"products", products}});
  }
  return {{"a", a}, {"b", b}, {"soliton_a", solitonJson(p.a)}, {"soliton_b", solitonJson(p.b)},
          {"collisions_per_beat", p.expected}, {"collisions", list}};
}

json huntChoiceJson(const HuntChoice& c) {
  if (c.types.empty()) return nullptr;
  return {{"trial", c.trial}, {"score", c.score()}, {"speeds", c.speeds}, {"pairs", c.pairs},
          {"rule", std::vector<int>(c.rule.begin(), c.rule.end())}, {"rule_digits", ruleJson(c.rule)},
          {"rule_sha256", ruleSha256(c.rule)}};
}

HuntStretch huntStretchFromJson(const json& j, const std::string& name, std::string& problem) {
  try {
    problem = provenanceProblem(j, "hunt");
    HuntStretch s;
    s.name = name;
    s.from = wholeField(j, "from", 0, huntTrialLimit, name);
    s.trials = wholeField(j, "trials", 1, huntTrialLimit, name);
    readShard(j, name, s.shardIndex, s.shardCount);
    s.found = !j.at("best").is_null();
    if (s.found) {
      s.rule = j["best"].at("rule").get<std::vector<int>>();
      const json& t = j["best"].at("trial");
      s.trial = t.is_number_integer() ? t.get<std::int64_t>() : -1;
      s.trialText = t.dump();
    }
    return s;
  } catch (const json::exception& bad) {
    throw ToolError(exitInput, name + ": not a hunt result (" + jsonWhy(bad) + ")");
  }
}

json checkpointJson(const EnumerationCheckpoint& c) {
  json rows = json::array();
  for (const auto& r : c.rows) rows.push_back({r.x, r.y, r.width, r.period, r.shift});
  return {{"checkpoint", "ondrix-tool enumerate"},
          {"rule", ruleJson(c.rule)},
          {"max_width", c.maxWidth},
          {"max_period", c.maxPeriod},
          {"shard", {c.shardIndex, c.shardCount}},
          {"units", c.units},
          {"units_done", c.unitsDone},
          {"candidates", c.candidates},
          {"rows", rows}};
}

EnumerationCheckpoint checkpointFromJson(const json& j, const std::string& name) {
  EnumerationCheckpoint c;
  try {
    if (j.at("checkpoint") != "ondrix-tool enumerate") throw ToolError(exitInput, name + ": not a checkpoint of enumerate");
    c.rule = ruleFromJson(j.at("rule"));
    c.maxWidth = static_cast<int>(wholeField(j, "max_width", 1, enumerateWidthLimit, name));
    c.maxPeriod = static_cast<int>(wholeField(j, "max_period", 1, enumeratePeriodLimit, name));
    c.shardIndex = j.at("shard").at(0).get<int>();
    c.shardCount = j.at("shard").at(1).get<int>();
    c.units = wholeField(j, "units", 0, INT64_MAX, name);
    c.unitsDone = wholeField(j, "units_done", 0, c.units, name);
    c.candidates = wholeField(j, "candidates", 0, INT64_MAX, name);
    for (const json& r : j.at("rows")) {
      EnumerationCheckpoint::Row row;
      row.x = r.at(0).get<std::uint64_t>();
      row.y = r.at(1).get<std::uint64_t>();
      row.width = r.at(2).get<int>();
      row.period = r.at(3).get<int>();
      row.shift = r.at(4).get<std::int64_t>();
      if (row.width < 1 || row.width > c.maxWidth || row.period < 1 || row.period > c.maxPeriod || (row.x & row.y) != 0 ||
          ((row.x | row.y) >> row.width) != 0) {
        throw ToolError(exitInput, name + ": a row of the checkpoint is not one the run could have found");
      }
      c.rows.push_back(row);
    }
  } catch (const json::exception& bad) {
    throw ToolError(exitInput, name + ": not a checkpoint of enumerate (" + jsonWhy(bad) + ")");
  } catch (const std::invalid_argument& bad) {
    throw ToolError(exitInput, name + ": the rule of the checkpoint: " + bad.what());
  }
  return c;
}

}  // namespace ondrix::tool
