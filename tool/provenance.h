// What made a result: the tool's version, the command, the rule (as digits
// and the SHA-256 of its 162 bytes), every parameter that shaped it and the
// time it took. Every --json result carries it as "provenance", and the
// PNGs as text chunks, so a result read back can be checked against it.
#pragma once

#include <nlohmann/json.hpp>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "ondrix/automaton/automaton.h"

namespace ondrix::tool {

class Provenance {
 public:
  explicit Provenance(std::string command);
  Provenance(std::string command, const RuleTable& rule) : Provenance(std::move(command)) { this->rule(rule); }
  void rule(const RuleTable& rule);
  // The parameters, added by name.
  nlohmann::ordered_json& parameters() { return parameters_; }
  // The whole record, the time taken up to now.
  nlohmann::ordered_json record() const;
  // The same as keyword and text pairs for a picture, written before its
  // rows: without the times, so the same picture is the same bytes.
  std::vector<std::pair<std::string, std::string>> textChunks() const;

 private:
  std::string command_;
  nlohmann::ordered_json rule_, parameters_ = nlohmann::ordered_json::object();
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::string startedUtc_;
};

// A rule as its digits, or as a list of numbers when an entry is above 9.
nlohmann::ordered_json ruleJson(const RuleTable& rule);

// SHA-256 of a rule's 162 bytes.
std::string ruleSha256(const RuleTable& rule);

// Why a result read back cannot be taken as one of `command`'s from this
// version of the tool (none, a different command or version), or "".
std::string provenanceProblem(const nlohmann::ordered_json& result, const std::string& command);

}  // namespace ondrix::tool
