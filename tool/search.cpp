// search and enumerate: the solitons of a rule, found by seeds or by trying
// every row.
#include <nlohmann/json.hpp>

#include <iostream>

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

int enumerate(const EnumerateArgs& a) {
  const RuleTable rule = readRule(a.rule);
  requireWritable(a.save);
  std::FILE* report = reportStream({&a.save}, a.json);
  Provenance made("enumerate", rule);
  made.parameters() = {{"max_width", a.width}, {"max_period", a.period}, {"threads", a.threads}, {"save", a.save}};
  Job job("enumerate", 0, "rows");
  const Enumeration e = enumerateFor(rule, a.rule, a.width, a.period, a.threads, job.poll());
  if (!a.save.empty()) {
    // A soliton file holds 32-bit codes: entries of more than 19 cells
    // among the first twelve saved are left out, and said so.
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
    writeOutput(a.save, catalogueBytes(enumeratedCatalogue(e), a.save, made.record()));
    if (!left.empty()) {
      std::fprintf(stderr, "ondrix-tool: %s: left out %s: wider than 19 cells, which a soliton file's code does not hold\n",
                   a.save.c_str(), left.c_str());
    }
  }
  if (a.json) {
    json out = enumerationJson(e, a.rule);
    out["provenance"] = made.record();
    std::cout << out.dump(2) << "\n";
    return 0;
  }
  std::fprintf(report, "%s of 1 to %d cells with live cells at both ends, %lld of them run\n",
               plural(e.rows, "row", "rows").c_str(), a.width, static_cast<long long>(e.candidates));
  std::fprintf(report, "%s (%s moving right: an entry and, when it is another shape, its twin) with a period of at most %d; "
               "%s of solitons side by side left out\n",
               plural(std::ssize(e.solitons), "soliton", "solitons").c_str(), plural(e.shapes(), "shape", "shapes").c_str(),
               a.period, plural(e.sideBySide, "pattern", "patterns").c_str());
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
