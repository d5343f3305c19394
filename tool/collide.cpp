// collide: the collision survey of catalogue types 0..10, as a table, JSON
// or a grid of small space-time pictures.
#include <nlohmann/json.hpp>

#include <iostream>

#include "ondrix/mainwindow/spacetime.h"
#include "ondrix/datafiles/sha256.h"
#include "ondrix/solitons/survey.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/png.h"
#include "tool/progress.h"
#include "tool/provenance.h"
#include "tool/reports.h"

namespace ondrix::tool {

int collideAll(const CollideArgs& a) {
  const RuleTable rule = readRule(a.rule);
  const Catalogue catalogue = readCatalogue(a.catalogue, &rule);
  const auto types = typesOf(catalogue);
  requireSurveyable(a.catalogue, types);
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
