// hunt: random rule tables tried for a soliton rule, stretches of the hunt
// merged, and the winner's files written.
#include <nlohmann/json.hpp>

#include <iostream>

#include "ondrix/solitons/shipdata.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/progress.h"
#include "tool/provenance.h"

namespace ondrix::tool {

using json = nlohmann::ordered_json;

namespace {

json choiceJson(const HuntChoice& c) {
  if (c.types.empty()) return nullptr;
  return {{"trial", c.trial}, {"score", c.score()}, {"speeds", c.speeds}, {"pairs", c.pairs},
          {"rule", std::vector<int>(c.rule.begin(), c.rule.end())}, {"rule_digits", ruleJson(c.rule)},
          {"rule_sha256", ruleSha256(c.rule)}};
}

// A whole number of a hunt result in least..the hunt's limit, or a ToolError naming it.
std::int64_t trialNumber(const json& j, const char* key, std::int64_t least, const std::string& file) {
  const json& v = j.at(key);
  if (!v.is_number_integer() || v.get<std::int64_t>() < least || v.get<std::int64_t>() > huntTrialLimit) {
    throw ToolError(exitInput, file + ": \"" + key + "\" must be a whole number from " + std::to_string(least) +
                                   " to " + std::to_string(huntTrialLimit) + ", not " + v.dump());
  }
  return v.get<std::int64_t>();
}

// A hunt result as the stretch it tells of; the checks of what it claims
// are the core's.
HuntStretch readStretch(const std::string& f, std::string& problem) {
  const auto bytes = readInput(f, (1 << 20) + 1);
  if (bytes.size() > (1 << 20)) throw ToolError(exitInput, f + ": over 1 MiB, not a hunt result");
  try {
    const json j = json::parse(bytes.begin(), bytes.end());
    problem = provenanceProblem(j, "hunt");
    HuntStretch s;
    s.name = f;
    s.from = trialNumber(j, "from", 0, f);
    s.trials = trialNumber(j, "trials", 1, f);
    s.found = !j.at("best").is_null();
    if (s.found) {
      s.rule = j["best"].at("rule").get<std::vector<int>>();
      const json& t = j["best"].at("trial");
      s.trial = t.is_number_integer() ? t.get<std::int64_t>() : -1;
      s.trialText = t.dump();
    }
    return s;
  } catch (const json::exception& e) {
    const std::string why = e.what();  // "[json.exception.kind.N] what": the library's tag left out
    const auto tag = why.find("] ");
    throw ToolError(exitInput, f + ": not a hunt result (" + why.substr(tag == std::string::npos ? 0 : tag + 2) + ")");
  }
}

// The hunt's folder, checked before the hunt.
void requireFolderWritable(const std::string& folder) {
  if (folder.empty()) return;
  if (isStandardOutput(folder)) throw ToolError(exitUsage, "--out takes a folder; - (standard output) cannot hold one");
  const std::string problem = folderProblem(folder);
  if (!problem.empty()) throw ToolError(exitInput, "cannot write " + folder + ": " + problem);
}

}  // namespace

int hunt(const HuntArgs& a) {
  Provenance made("hunt");
  HuntChoice best;
  int from = a.skip, trials = a.trials;
  requireFolderWritable(a.out);
  if (!a.merge.empty()) {
    std::vector<HuntStretch> stretches;
    std::vector<std::string> problems(a.merge.size());
    for (std::size_t k = 0; k < a.merge.size(); ++k) stretches.push_back(readStretch(a.merge[k], problems[k]));
    try {
      best = mergeHuntStretches(std::move(stretches), from, trials);
    } catch (const std::invalid_argument& bad) {
      throw ToolError(exitInput, bad.what());
    }
    // What each stretch claims holds; they must also come from one hunt.
    for (std::size_t k = 0; k < a.merge.size(); ++k) {
      if (!problems[k].empty()) throw ToolError(exitInput, a.merge[k] + ": " + problems[k]);
    }
  } else {
    if (a.trials > huntTrialLimit - a.skip) {
      throw ToolError(exitUsage, "--skip " + std::to_string(a.skip) + " and --trials " + std::to_string(a.trials) +
                                     " run past the hunt's last trial " + std::to_string(huntTrialLimit - 1));
    }
    Job job("hunt", a.trials, "trials");
    HuntOptions options;
    options.poll = job.poll();
    options.improved = [&](const HuntChoice& c) {
      if (a.json) return;
      job.bar().clear();
      std::printf("trial %d: %d speeds, %d passing pairs\n", c.trial, c.speeds, c.pairs);
      std::fflush(stdout);
    };
    best = huntRules(a.skip, a.trials, options);
  }
  if (!a.merge.empty() && !a.json && !best.types.empty()) {
    std::printf("trials %d to %d: the best is trial %d: %d speeds, %d passing pairs\n", from, from + trials - 1,
                best.trial, best.speeds, best.pairs);
  }
  made.parameters() = {{"from", from}, {"trials", trials}};
  if (!a.merge.empty()) made.parameters()["merged"] = a.merge;
  if (a.json) {
    std::cout << json{{"from", from}, {"trials", trials}, {"best", choiceJson(best)}, {"provenance", made.record()}}.dump(2)
              << "\n";
  }
  if (best.types.empty()) {
    std::fprintf(stderr, "ondrix-tool: no rule with twelve usable solitons\n");
    return exitCheckFailed;
  }
  if (!a.out.empty()) {
    WriteOutcome written;
    const std::string report = writeShippedFiles(a.out, best, written);
    if (!written) throw ToolError(exitInput, "cannot write " + written.failure);
    if (!a.json) std::printf("%s", report.c_str());
  }
  return 0;
}

}  // namespace ondrix::tool
