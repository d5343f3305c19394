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
#include "tool/reports.h"

namespace ondrix::tool {

namespace {

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
    for (std::size_t k = 0; k < a.merge.size(); ++k) {
      const auto bytes = readInput(a.merge[k], (1 << 20) + 1);
      if (bytes.size() > (1 << 20)) throw ToolError(exitInput, a.merge[k] + ": over 1 MiB, not a hunt result");
      stretches.push_back(huntStretchFromJson(parseResult(bytes, a.merge[k], "a hunt result"), a.merge[k], problems[k]));
    }
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
    std::cout << json{{"from", from}, {"trials", trials}, {"best", huntChoiceJson(best)}, {"provenance", made.record()}}.dump(2)
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
