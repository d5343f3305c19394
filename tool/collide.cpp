// collide: the collision survey of catalogue types 0..10, as a table, JSON
// or a grid of small space-time pictures.
#include <nlohmann/json.hpp>

#include <iostream>
#include <map>

#include "ondrix/mainwindow/spacetime.h"
#include "ondrix/datafiles/sha256.h"
#include "ondrix/solitons/collisions.h"
#include "ondrix/solitons/survey.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/png.h"
#include "tool/progress.h"
#include "tool/provenance.h"
#include "tool/reports.h"

namespace ondrix::tool {

namespace {

// Every distinct collision of each pair of types 0..10, or of the one pair.
int collideEveryWay(const CollideArgs& a, const RuleTable& rule, const std::vector<SolitonType>& types,
                    Provenance& made) {
  std::FILE* report = reportStream({}, a.json);
  std::vector<std::pair<int, int>> pairs;
  for (int i = 0; i < surveyTypes; ++i) {
    for (int j = 0; j < surveyTypes; ++j) {
      if (a.pair.empty() || (a.pair[0] == i && a.pair[1] == j)) pairs.emplace_back(i, j);
    }
  }
  const auto soliton = [&](int k) {
    const SolitonType& t = types[static_cast<std::size_t>(k)];
    EnumeratedSoliton s;
    s.code = t.code;
    s.period = t.period;
    s.shift = t.shift;
    s.speed = solitonSpeed(t.shift, t.period);
    s.cells = codeDigits(t.code);
    s.width = static_cast<std::int32_t>(s.cells.size());
    return s;
  };
  std::int64_t total = 0, before = 0;
  for (const auto& [i, j] : pairs) total += std::int64_t{types[i].shift} * types[j].period + std::int64_t{types[j].shift} * types[i].period;
  made.parameters()["all"] = true;
  if (!a.pair.empty()) made.parameters()["pair"] = a.pair;
  made.parameters()["threads"] = a.threads;
  json out = json::array();
  {
    Job job("collide --all", total, "collisions");
    for (const auto& [i, j] : pairs) {
      Poll part([&](std::int64_t done, std::int64_t) { (*job.poll())(before + done, total); }, job.poll());
      CompleteCollisionOptions options;
      options.threads = a.threads;
      options.poll = &part;
      PairCollisions found;
      try {
        found = completeCollisions(rule, soliton(i), soliton(j), options);
      } catch (const std::invalid_argument& bad) {
        throw ToolError(exitInput, a.catalogue + ": type " + std::to_string(i) + " against type " + std::to_string(j) + ": " + bad.what());
      }
      throwIfCancelled(job.poll());
      before += std::ssize(found.collisions);
      out.push_back(pairCollisionsJson(i, j, found));
    }
  }
  if (a.json) {
    std::cout << json{{"pairs", out}, {"provenance", made.record()}}.dump(2) << "\n";
    return 0;
  }
  for (const json& p : out) {
    std::map<std::string, int> counts;
    for (const json& c : p["collisions"]) counts[c["outcome"].get<std::string>()] += 1;
    std::fprintf(report, "type %d (%s) against type %d's twin (%s): %zu collisions:", p["a"].get<int>(),
                 p["soliton_a"]["cells"].get<std::string>().c_str(), p["b"].get<int>(),
                 p["soliton_b"]["cells"].get<std::string>().c_str(), p["collisions"].size());
    for (const auto& [outcome, n] : counts) std::fprintf(report, " %d %s", n, outcome.c_str());
    std::fprintf(report, "\n");
    if (pairs.size() > 1) continue;
    for (const json& c : p["collisions"]) {
      std::fprintf(report, "  %-11s after %4d, b in phase %2d from cell %3d (%s):", c["outcome"].get<std::string>().c_str(),
                   c["generations"].get<int>(), c["phase_b"].get<int>(), c["start_b"].get<int>(), c["start"].get<std::string>().c_str());
      for (const json& q : c["products"]) {
        const std::string kind = q["kind"];
        std::string what = kind == "soliton" ? q["entry"]["cells"].get<std::string>() + (q["direction"].get<int>() > 0 ? ">" : "<")
                                             : kind + " " + q["cells"].get<std::string>();
        if (!q["dx"].is_null()) what += " (" + q["continues"].get<std::string>() + " dx " + q["dx"].dump() + " dt " + q["dt"].dump() + ")";
        std::fprintf(report, " %s", what.c_str());
      }
      std::fprintf(report, "\n");
    }
  }
  return 0;
}

}  // namespace

int collideAll(const CollideArgs& a) {
  const RuleTable rule = readRule(a.rule);
  const Catalogue catalogue = readCatalogue(a.catalogue, &rule);
  const auto types = typesOf(catalogue);
  requireSurveyable(a.catalogue, types);
  if (a.all) {
    if (!a.png.empty()) throw ToolError(exitUsage, "--png draws the survey, not --all");
    Provenance made("collide", rule);
    made.parameters() = {{"catalogue_sha256", sha256Hex(catalogueImage(catalogue))}};
    return collideEveryWay(a, rule, types, made);
  }
  requireWritable(a.png);
  std::FILE* report = reportStream({&a.png}, a.json);
  Provenance made("collide", rule);
  json codes = json::array();
  for (const SolitonType& t : types) codes.push_back(t.code);
  made.parameters() = {{"catalogue_codes", codes}, {"catalogue_sha256", sha256Hex(catalogueImage(catalogue))},
                       {"ring", startupRingLength}, {"limit", surveyLimit}};
  constexpr int n = surveyTypes;
  SurveyTable table;
  {
    Job job("collide", n * n);
    table = surveyCollisions(rule, types, job.poll());
  }
  if (!a.png.empty()) {
    const IndexedPicture grid = surveyPicture(rule, types, table);
    const auto palette = spaceTimePalette();
    Output out(a.png);
    PngWriter png(out, static_cast<std::uint32_t>(grid.width), static_cast<std::uint32_t>(grid.height), palette,
                  made.textChunks());
    for (std::size_t y = 0; y < grid.height; ++y) png.row(std::span(grid.pixels.data() + y * grid.width, grid.width));
    png.finish();
  }
  if (a.json) {
    json pairs = json::array();
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        pairs.push_back(collisionJson(i, j, table[i][j]));
      }
    }
    std::cout << json{{"pairs", pairs}, {"provenance", made.record()}}.dump(2) << "\n";
    return 0;
  }
  std::fprintf(report, "rows: type a from cell 200 moving right; columns: type b's twin from cell 500 moving left\n\n%4s",
               "a\\b");
  for (int j = 0; j < n; ++j) std::fprintf(report, " | %-14d", j);
  std::fprintf(report, "\n");
  for (int i = 0; i < n; ++i) {
    std::fprintf(report, "%4d", i);
    for (int j = 0; j < n; ++j) std::fprintf(report, " | %-14s", table[i][j].text().c_str());
    std::fprintf(report, "\n");
  }
  return 0;
}

}  // namespace ondrix::tool
