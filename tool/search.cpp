// search and enumerate: the solitons of a rule, found by seeds, by trying
// every row, or by building space-times column by column.
#include <nlohmann/json.hpp>

#include <filesystem>
#include <iostream>
#include <optional>

#include "ondrix/solitons/anywidth.h"
#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/search.h"
#include "ondrix/solitons/shipdata.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/progress.h"
#include "tool/provenance.h"
#include "tool/reports.h"

namespace ondrix::tool {

std::FILE* reportStream(std::initializer_list<const std::string*> outputs, bool json) {
  for (const std::string* o : outputs) {
    if (!isStandardOutput(*o)) continue;
    if (json) throw ToolError(exitUsage, "--json and an output to - (standard output) cannot share standard output");
    return stderr;
  }
  return stdout;
}

namespace {

std::string plural(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

int search(const SearchArgs& a) {
  const RuleTable rule = readRule(a.rule);
  requireWritable(a.save);
  std::FILE* report = reportStream({&a.save}, a.json);
  Provenance made("search", rule);
  made.parameters() = {{"ring", a.ring}, {"threads", a.threads}, {"save", a.save}};
  Job job("search", seedCount);
  SearchOptions options;
  options.threads = a.threads;
  options.poll = job.poll();
  const SearchFindings findings = findSolitons(rule, a.ring, options);
  Catalogue c;
  enterFindings(c, findings);
  json found = searchJson(rule, findings);
  if (!a.save.empty()) writeOutput(a.save, catalogueBytes(c, a.save, made.record()));
  if (a.json) {
    found["provenance"] = made.record();
    std::cout << found.dump(2) << "\n";
    return 0;
  }
  std::fprintf(report, "Nsol %d  Nstrun %d\n%5s %10s %6s %5s %5s %5s  %s\n", c.Nsol, c.Nstrun, "index", "code", "period",
               "shift", "speed", "width", "cells");
  int index = 0;
  for (const auto& s : found["solitons"]) {
    const int width = s["width"].get<int>();  // 0: the finding does not come back alone
    std::fprintf(report, "%5d %10d %6d %5d %5d %5s  %s\n", index++, s["code"].get<int>(), s["period"].get<int>(),
                 s["shift"].get<int>(), s["speed"].get<int>(), width ? std::to_string(width).c_str() : "-",
                 s["cells"].get<std::string>().c_str());
  }
  return 0;
}

namespace {

// "i/n" as shard i of n, 0 <= i < n <= 1000000: digits, a slash, digits.
std::pair<int, int> shardOf(const std::string& text) {
  const auto slash = text.find('/');
  const auto number = [&](std::size_t from, std::size_t to) {
    if (to <= from || to - from > 7) return -1;
    int v = 0;
    for (std::size_t i = from; i < to; ++i) {
      if (text[i] < '0' || text[i] > '9') return -1;
      v = 10 * v + (text[i] - '0');
    }
    return v;
  };
  const int index = slash == std::string::npos ? -1 : number(0, slash);
  const int count = slash == std::string::npos ? -1 : number(slash + 1, text.size());
  if (index < 0 || count < 1 || count > 1000000 || index >= count) {
    throw ToolError(exitUsage, "--shard " + text + ": give I/N, shard I from 0 to N-1 of N shards (N up to 1000000)");
  }
  return {index, count};
}

// The shards' JSON, each once, as the one run would give it; the rule's
// name as the first shard gives it.
Enumeration mergedShards(const std::vector<std::string>& files, std::string& ruleName) {
  std::vector<Enumeration> shards;
  for (const std::string& file : files) {
    const auto bytes = readInput(file, (std::size_t{256} << 20) + 1);
    if (bytes.size() > (std::size_t{256} << 20)) throw ToolError(exitInput, file + ": over 256 MiB, not an enumeration");
    const json j = parseResult(bytes, file, "an enumeration");
    if (ruleName.empty() && j.contains("rule") && j["rule"].is_string()) ruleName = j["rule"].get<std::string>();
    shards.push_back(enumerationFromJson(j, file));
  }
  try {
    return mergeEnumerations(std::move(shards));
  } catch (const std::invalid_argument& bad) {
    throw ToolError(exitInput, std::string("cannot merge: ") + bad.what());
  }
}

// The first twelve entries as a soliton file. It holds 32-bit codes:
// entries of more than 19 cells among them are left out, and said so.
void saveEnumerated(const std::string& path, const Enumeration& e, const json& record) {
  std::string left;
  int saved = 0;
  for (const EnumeratedSoliton& s : e.solitons) {
    if (saved == catalogueTypes) break;
    if (s.code > 0) {
      saved += 1;
    } else {
      left += (left.empty() ? "" : ", ") + digitLetters(s.cells) + " (period " + std::to_string(s.period) + ")";
    }
  }
  writeOutput(path, catalogueBytes(enumeratedCatalogue(e), path, record));
  if (!left.empty()) {
    std::fprintf(stderr, "ondrix-tool: %s: left out %s: wider than 19 cells, which a soliton file's code does not hold\n",
                 path.c_str(), left.c_str());
  }
}

std::string memoryText(std::uint64_t bytes) {
  char text[32];
  if (bytes < (1u << 20)) {
    std::snprintf(text, sizeof text, "%.0f KiB", static_cast<double>(bytes) / 1024);
  } else {
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1 << 20));
  }
  return text;
}

int enumerateAnyWidth(const EnumerateArgs& a) {
  if (a.width != 0) {
    throw ToolError(exitUsage, "--any-width has no width bound (--list-width bounds the narrowest phase of the solitons "
                               "listed that run through cycles)");
  }
  if (a.rule.empty() || a.period == 0) throw ToolError(exitUsage, "enumerate --any-width needs RULE and --max-period");
  if (a.period > anyWidthPeriodLimit) {
    throw ToolError(exitUsage, "--any-width takes periods of 1.." + std::to_string(anyWidthPeriodLimit) +
                                   ": the states of longer ones do not fit in memory");
  }
  if (a.shift > 4 * a.period) {
    throw ToolError(exitUsage, "--shift " + std::to_string(a.shift) + ": a soliton of period at most " +
                                   std::to_string(a.period) + " moves at most " + std::to_string(4 * a.period) + " cells");
  }
  requireWritable(a.save);
  std::FILE* report = reportStream({&a.save}, a.json);
  const RuleTable rule = readRule(a.rule);
  Provenance made("enumerate", rule);
  made.parameters() = {{"any_width", true}, {"max_period", a.period}, {"list_width", a.listWidth},
                       {"threads", a.threads}, {"max_memory_mib", a.maxMemory}, {"save", a.save}};
  if (a.shift > 0) made.parameters()["shift"] = a.shift;
  AnyWidthOptions options;
  options.maxPeriod = a.period;
  options.shift = a.shift;
  options.listWidth = a.listWidth;
  options.threads = a.threads;
  options.maxMemory = static_cast<std::uint64_t>(a.maxMemory) << 20;
  AnyWidthEnumeration e;
  {
    Job job("enumerate", 0, "thousandths of the searches");
    options.poll = job.poll();
    try {
      e = enumerateAnyWidth(rule, options);
    } catch (const std::invalid_argument& bad) {
      throw ToolError(exitInput, a.rule + ": " + bad.what());
    }
  }
  // A search whose states would not fit leaves the answer incomplete: what
  // was found is shown, the searches left undone are named, and the exit
  // status says so.
  const auto finish = [&] {
    if (e.complete()) return 0;
    std::string said;  // the searches a refusal left out say the same
    for (const AnyWidthSearch& s : e.searches) {
      if (s.refused.empty() || s.refused == said) continue;
      std::fprintf(stderr, "ondrix-tool: not complete: %s\n", s.refused.c_str());
      said = s.refused;
    }
    return exitInput;
  };
  if (!a.save.empty()) {
    Enumeration listed;
    listed.rule = rule;
    for (const AnyWidthSoliton& s : e.solitons) listed.solitons.push_back(s.entry);
    saveEnumerated(a.save, listed, made.record());
  }
  if (a.json) {
    auto out = anyWidthJson(e, a.rule);
    out["provenance"] = made.record();
    std::cout << out.dump(2) << "\n";
    return finish();
  }
  int families = 0, trains = 0;
  for (const SolitonFamily& f : e.families) (f.sideBySide ? trains : families) += 1;
  std::fprintf(report, "%s of any width with a period of at most %d%s\n",
               e.complete() ? "every soliton" : "not complete (searches refused, below): the solitons", e.maxPeriod,
               e.shift > 0 ? (", moving " + plural(e.shift, "cell", "cells") + " a period").c_str() : "");
  std::fprintf(report, "%s, %s of every width and %s of solitons apart; %s of solitons side by side left out\n",
               plural(std::ssize(e.solitons), "soliton", "solitons").c_str(), plural(families, "family", "families").c_str(),
               plural(trains, "train", "trains").c_str(), plural(e.sideBySide, "pattern", "patterns").c_str());
  std::fprintf(report, "solitons marked * run through a cycle of the search's states: those are listed up to %d cells "
               "in their narrowest phase, the others at every width\n",
               e.listWidth);
  std::fprintf(report, "%6s %5s %5s %6s %9s %10s  %-24s %s\n", "period", "shift", "speed", "widest", "narrowest", "code",
               "cells", "twin");
  for (const AnyWidthSoliton& a2 : e.solitons) {
    const EnumeratedSoliton& s = a2.entry;
    std::fprintf(report, "%6d %5d %5d %6d %9d %10s  %-24s %s\n", s.period, s.shift, s.speed, s.width, s.narrowest,
                 s.code > 0 ? std::to_string(s.code).c_str() : "-", (digitLetters(s.cells) + (a2.onCycle ? " *" : "")).c_str(),
                 s.twinCells.empty() ? "" : digitLetters(s.twinCells).c_str());
  }
  if (!e.families.empty()) {
    std::fprintf(report, "\nfamilies and trains: member n (n = 0, 1, ...) is left, n times [repeat], then right\n");
    std::fprintf(report, "%6s %5s %-8s %-14s  %s\n", "period", "shift", "kind", "widest of 0,1,2", "left [repeat] right");
    for (const SolitonFamily& f : e.families) {
      std::string widths;
      for (const AnyWidthSoliton& m : f.members) widths += (widths.empty() ? "" : ",") + std::to_string(m.entry.width);
      std::fprintf(report, "%6d %5d %-8s %-14s  %s [%s] %s\n", f.period, f.shift, f.sideBySide ? "train" : "family",
                   widths.c_str(), digitLetters(f.left).c_str(), digitLetters(f.repeat).c_str(), digitLetters(f.right).c_str());
    }
  }
  if (e.searches.empty()) {
    std::fprintf(report, "\nno shift to search: no edge of a pattern moves under this rule, so nothing moves\n");
    return finish();
  }
  std::fprintf(report, "\nsearches: the states each period and shift visited, building from the edge with fewer\n");
  std::fprintf(report, "%6s %5s %6s %5s %12s %10s %9s %10s\n", "period", "shift", "cells", "from", "states", "live",
               "seconds", "memory");
  for (const AnyWidthSearch& s : e.searches) {
    if (!s.refused.empty()) {
      std::fprintf(report, "%6d %5d %6d  refused: %s\n", s.period, s.shift, s.stateBits, s.refused.c_str());
      continue;
    }
    std::fprintf(report, "%6d %5d %6d %5s %12lld %10lld %9.2f %10s\n", s.period, s.shift, s.stateBits,
                 s.fromRight ? "right" : "left", static_cast<long long>(s.states), static_cast<long long>(s.liveStates),
                 s.seconds, memoryText(s.bytes).c_str());
  }
  return finish();
}

}  // namespace

int enumerate(const EnumerateArgs& a) {
  if (a.anyWidth) return enumerateAnyWidth(a);
  if (a.merge.empty() && (a.rule.empty() || a.width == 0 || a.period == 0)) {
    throw ToolError(exitUsage, "enumerate needs RULE, --max-width and --max-period (or --merge with the shards' JSON)");
  }
  if (!a.merge.empty() && (!a.rule.empty() || a.width != 0 || a.period != 0)) {
    throw ToolError(exitUsage, "--merge takes the rule and the bounds from the shards: give no RULE, --max-width or --max-period");
  }
  const bool asJson = a.json || !a.shard.empty();
  requireWritable(a.save);
  std::FILE* report = reportStream({&a.save}, asJson);
  if (!a.shard.empty() && !a.save.empty()) {
    throw ToolError(exitUsage, "--save with --shard would keep one shard's solitons: save from the --merge of all of them");
  }
  std::string ruleName = a.rule;
  Enumeration e;
  std::optional<Provenance> made;  // from the start of the work, for its time
  if (!a.merge.empty()) {
    e = mergedShards(a.merge, ruleName);
    made.emplace("enumerate", e.rule);
  } else {
    const auto [index, count] = a.shard.empty() ? std::pair{0, 1} : shardOf(a.shard);
    const RuleTable rule = readRule(a.rule);
    made.emplace("enumerate", rule);
    // A checkpoint there is gone on from; one of another run is refused.
    std::optional<EnumerationCheckpoint> resume;
    Resumable resumable;
    if (!a.checkpoint.empty()) {
      requireWritable(a.checkpoint);
      if (isStandardOutput(a.checkpoint)) throw ToolError(exitUsage, "--checkpoint needs a file, not standard output");
      std::error_code missing;
      if (std::filesystem::exists(a.checkpoint, missing)) {
        const auto bytes = readInput(a.checkpoint, (std::size_t{256} << 20) + 1);
        resume = checkpointFromJson(parseResult(bytes, a.checkpoint, "a checkpoint"), a.checkpoint);
        if (resume->rule != rule || resume->maxWidth != a.width || resume->maxPeriod != a.period ||
            resume->shardIndex != index || resume->shardCount != count) {
          throw ToolError(exitInput, a.checkpoint + ": a checkpoint of another run (another rule, bounds or shard); "
                                                    "give another file or remove it");
        }
        resumable.from = &*resume;
      }
      resumable.write = [&](const EnumerationCheckpoint& c) {
        const std::string text = checkpointJson(c).dump();
        writeOutput(a.checkpoint, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
      };
      resumable.every = std::chrono::seconds(a.checkpointEvery);
    }
    Job job("enumerate", 0, "rows");
    e = enumerateFor(rule, a.rule, a.width, a.period, a.threads, job.poll(), index, count, resumable);
  }
  made->parameters() = {{"max_width", e.maxWidth}, {"max_period", e.maxPeriod}, {"threads", a.threads}, {"save", a.save}};
  if (e.shardCount > 1) made->parameters()["shard"] = {e.shardIndex, e.shardCount};
  if (!a.merge.empty()) made->parameters()["merged"] = a.merge;
  if (!a.save.empty()) saveEnumerated(a.save, e, made->record());
  if (asJson) {
    auto out = enumerationJson(e, ruleName);
    out["provenance"] = made->record();
    std::cout << out.dump(2) << "\n";
    return 0;
  }
  std::fprintf(report, "%s of 1 to %d cells with live cells at both ends, %lld of them run\n",
               plural(e.rows, "row", "rows").c_str(), e.maxWidth, static_cast<long long>(e.candidates));
  std::fprintf(report, "%s (%s moving right: an entry and, when it is another shape, its twin) with a period of at most %d; "
               "%s of solitons side by side left out\n",
               plural(std::ssize(e.solitons), "soliton", "solitons").c_str(), plural(e.shapes(), "shape", "shapes").c_str(),
               e.maxPeriod, plural(e.sideBySide, "pattern", "patterns").c_str());
  std::fprintf(report, "%6s %5s %5s %6s %10s %6s  %-24s %s\n", "period", "shift", "speed", "widest", "code", "search", "cells",
               "twin");
  for (const auto& s : e.solitons) {
    std::fprintf(report, "%6d %5d %5d %6d %10s %6s  %-24s %s\n", s.period, s.shift, s.speed, s.width,
                 s.code > 0 ? std::to_string(s.code).c_str() : "-", s.seedSearch ? "yes" : "no",
                 digitLetters(s.cells).c_str(), s.twinCells.empty() ? "" : digitLetters(s.twinCells).c_str());
  }
  return 0;
}

}  // namespace ondrix::tool
