#include "tool/provenance.h"

#include <ctime>

#include "ondrix/datafiles/sha256.h"
#include "ondrix/datafiles/textformats.h"

namespace ondrix::tool {

using json = nlohmann::ordered_json;

Provenance::Provenance(std::string command) : command_(std::move(command)) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  startedUtc_ = text;
}

std::string ruleSha256(const RuleTable& rule) { return sha256Hex(rule); }

json ruleJson(const RuleTable& rule) {
  try {
    return ruleText(rule);
  } catch (const std::invalid_argument&) {
    return std::vector<int>(rule.begin(), rule.end());
  }
}

void Provenance::rule(const RuleTable& rule) { rule_ = {{"rule", ruleJson(rule)}, {"rule_sha256", sha256Hex(rule)}}; }

json Provenance::record() const {
  json out = {{"ondrix_version", ONDRIX_VERSION}, {"command", command_}};
  for (const auto& [key, value] : rule_.items()) out[key] = value;
  out["parameters"] = parameters_;
  out["started_utc"] = startedUtc_;
  out["seconds"] = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  return out;
}

std::vector<std::pair<std::string, std::string>> Provenance::textChunks() const {
  const json r = record();
  std::vector<std::pair<std::string, std::string>> chunks = {{"Software", "ondrix-tool " ONDRIX_VERSION}};
  for (const auto& [key, value] : r.items()) {
    if (key != "ondrix_version" && key != "seconds" && key != "started_utc") chunks.emplace_back("ondrix " + key, value.is_string() ? value.get<std::string>() : value.dump());
  }
  return chunks;
}

std::string provenanceProblem(const json& result, const std::string& command) {
  const auto p = result.find("provenance");
  if (p == result.end() || !p->is_object()) return "it says nothing of what made it (no \"provenance\")";
  const auto text = [&](const char* key) {
    const auto v = p->find(key);
    return v != p->end() && v->is_string() ? v->get<std::string>() : std::string("?");
  };
  if (text("command") != command) return "a result of " + text("command") + ", not of " + command;
  if (text("ondrix_version") != ONDRIX_VERSION) {
    return "made by ondrix-tool " + text("ondrix_version") + ", not " ONDRIX_VERSION + ", whose " + command +
           " may give other results";
  }
  return {};
}

}  // namespace ondrix::tool
