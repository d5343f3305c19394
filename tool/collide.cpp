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
#include "ondrix/automaton/reversal.h"
#include "tool/figure.h"
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
  const auto entries = catalogueEntries(rule, types, surveyTypes);
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
        found = completeCollisions(rule, collidingSoliton(rule, types, i, a.catalogue), collidingSoliton(rule, types, j, a.catalogue),
                                   options);
      } catch (const std::invalid_argument& bad) {
        throw ToolError(exitInput, a.catalogue + ": type " + std::to_string(i) + " against type " + std::to_string(j) + ": " + bad.what());
      }
      throwIfCancelled(job.poll());
      before += std::ssize(found.collisions);
      out.push_back(pairCollisionsJson(i, j, found, entries));
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
        std::string notes = q.contains("type") && !q["type"].is_null() ? "type " + q["type"].dump() : "";
        if (!q["dx"].is_null()) {
          notes += (notes.empty() ? "" : ", ") + q["continues"].get<std::string>() + " dx " + q["dx"].dump() + " dt " + q["dt"].dump();
        }
        if (!notes.empty()) what += " (" + notes + ")";
        std::fprintf(report, " %s", what.c_str());
      }
      std::fprintf(report, "\n");
    }
  }
  return 0;
}

// The survey's pictures as a labelled grid: rows the types a, columns the
// types b, each tile captioned with its outcome, all on one time scale.
GridFigure surveyFigure(const RuleTable& rule, const Catalogue& catalogue, const std::vector<SolitonType>& types,
                        const SurveyTable& table, SpaceTimePalette palette, const Provenance& made, Poll* poll) {
  AutomatonState scratch = quietRing(rule);
  const PhaseTables tables = solitonPhaseTables(scratch, catalogue);
  SurveyPictures pictures = surveyPictures(rule, types, table, &tables, palette, poll);
  GridFigure f;
  f.rows = f.columns = surveyTypes;
  f.tileWidth = pictures.tiles.front().width;
  f.tileHeight = pictures.tiles.front().height;
  f.generationsPerRow = pictures.generationsPerRow;
  f.palette = spaceTimePalette(palette);
  std::vector<std::uint8_t> every;
  for (int i = 0; i < surveyTypes; ++i) {
    f.rowLabels.push_back(std::to_string(i));
    f.columnLabels.push_back(std::to_string(i));
    for (int j = 0; j < surveyTypes; ++j) {
      f.captions.push_back(table[i][j].text());
      const std::int32_t verdict = table[i][j].generations;
      const std::int32_t row = verdict > 0 ? verdict / f.generationsPerRow : -1;
      f.marks.push_back(row < static_cast<std::int32_t>(f.tileHeight) ? row : -1);
    }
  }
  for (IndexedPicture& tile : pictures.tiles) {
    every.insert(every.end(), tile.pixels.begin(), tile.pixels.end());
    f.tiles.push_back(std::move(tile.pixels));
  }
  f.legend = spaceTimeLegend(every, palette, &catalogue);
  f.rowHeading = "type a, from cell " + std::to_string(surveyLeftStart) + " moving right";
  f.columnHeading = "type b's twin, from cell " + std::to_string(surveyRightStart) + " moving left";
  f.title = "Head-on collisions of catalogue types 0 to 10 under rule " + ruleSha256(rule).substr(0, 12);
  const std::int64_t last = std::int64_t{f.generationsPerRow} * static_cast<std::int64_t>(f.tileHeight - 1);
  f.notes = {"Every tile on one scale: generations 0 (the start) to " + std::to_string(last) + " downwards, a row every " +
                 std::to_string(f.generationsPerRow) + (f.generationsPerRow == 1 ? " generation" : " generations") +
                 "; cells 0 to " + std::to_string(startupRingLength - 1) + " of the ring across, a column every " +
                 std::to_string(pictures.cellsPerPixel) + " cells.",
             "Under each tile the outcome: passed with the cells each gained on free flight, changed with the types "
             "that came out (> right, < left), or debris (uncatalogued cells left, an oscillator say);",
             "a tick at a tile's right edge marks the generation of its verdict; after it, products may come round the "
             "ring and meet again."};
  f.text = made.textChunks();
  return f;
}

}  // namespace

int collideAll(const CollideArgs& a) {
  const RuleTable rule = readRule(a.rule);
  const Catalogue catalogue = readCatalogue(a.catalogue, &rule);
  const auto types = typesOf(catalogue);
  requireSurveyable(a.catalogue, types);
  if (a.all) {
    if (!a.png.empty() || !a.figure.empty()) throw ToolError(exitUsage, "--png and --figure draw the survey, not --all");
    Provenance made("collide", rule);
    made.parameters() = {{"catalogue_sha256", sha256Hex(catalogueImage(catalogue))}};
    return collideEveryWay(a, rule, types, made);
  }
  requireWritable(a.png);
  requireWritable(a.figure);
  std::FILE* report = reportStream({&a.png, &a.figure}, a.json);
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
  if (!a.png.empty() || !a.figure.empty()) {
    Job job("collide: pictures", n * n);
    const SpaceTimePalette palette = a.palette == "research" ? SpaceTimePalette::research : SpaceTimePalette::window;
    made.parameters()["palette"] = a.palette;
    const GridFigure grid = surveyFigure(rule, catalogue, types, table, palette, made, job.poll());
    if (!a.png.empty()) writeGridFigure(grid, a.png, false);
    if (!a.figure.empty()) writeGridFigure(grid, a.figure, svgName(a.figure));
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
