// run and render: a row run forward (and back), and its space-time picture.
#include "ondrix/automaton/display.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/spacetime.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/figure.h"
#include "tool/png.h"
#include "tool/progress.h"
#include "tool/provenance.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <optional>
#include <string>

#include "ondrix/datafiles/sha256.h"

namespace ondrix::tool {

namespace {

std::string cellsHash(const AutomatonState& ring) {
  return sha256Hex(std::span(ring.cells.data(), static_cast<std::size_t>(ring.ringLength)));
}

}  // namespace

int run(const RunArgs& a) {
  const RuleTable rule = readRule(a.rule);
  AutomatonState ring = readRow(a.row, a.ring, a.crop);
  requireWritable(a.out);
  std::FILE* report = reportStream({&a.out, &a.csv}, a.json);
  Provenance made("run", rule);
  made.parameters() = {{"ring", a.ring}, {"steps", a.steps}, {"reverse", a.reverse}, {"crop", a.crop},
                       {"row_sha256", cellsHash(ring)}};
  ring.ruleTable = rule;
  if (!a.csv.empty() && a.reverse) throw ToolError(exitUsage, "--csv records a run forward: leave out --reverse");
  requireWritable(a.csv);
  if (!a.out.empty() && a.out == a.csv && !isStandardOutput(a.out)) throw ToolError(exitUsage, "--out and --csv name one file");
  if (isStandardOutput(a.out) && isStandardOutput(a.csv)) throw ToolError(exitUsage, "--out and --csv cannot share standard output");
  std::optional<PhaseTables> tables;
  if (!a.catalogue.empty()) {
    const Catalogue catalogue = readCatalogue(a.catalogue, &rule);
    made.parameters()["catalogue_sha256"] = sha256Hex(catalogueImage(catalogue));
    AutomatonState scratch = quietRing(rule, a.ring);
    tables = solitonPhaseTables(scratch, catalogue);
  }
  Job job("run", a.reverse ? 2 * a.steps : a.steps, "generations");
  bool back = true;
  if (a.reverse) {
    back = returnsToSwappedStart(ring, a.steps, job.poll());
  } else if (a.csv.empty()) {
    runGenerations(ring, a.steps, job.poll());
  } else {
    // One line a generation, the start first: N(B), N(C) and each tagged
    // soliton as type@first cell.
    Output csv(a.csv);
    std::string text = "generation,b,c,solitons\n";
    for (long g = 0;; ++g) {
      std::int32_t b = 0, c = 0;
      for (std::int32_t i = 0; i < ring.ringLength; ++i) {
        b += ring.cells[i] == stateB;
        c += ring.cells[i] == stateC;
      }
      text += std::to_string(g) + "," + std::to_string(b) + "," + std::to_string(c) + ",";
      if (tables) {
        std::string found;
        for (const TaggedSoliton& t : locateSolitons(ring, *tables)) {
          found += (found.empty() ? "" : " ") + std::to_string(t.type) + "@" + std::to_string(t.first);
        }
        text += found;
      }
      text += "\n";
      if (text.size() > (1 << 16) || g == a.steps) {
        csv.write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        text.clear();
      }
      if (g == a.steps) break;
      if (g % 4096 == 0 && !(*job.poll())(g, a.steps)) throw Cancelled();
      stepGeneration(ring);
    }
    csv.commit();
  }
  std::int32_t live = 0;
  for (std::int32_t i = 0; i < ring.ringLength; ++i) live += ring.cells[i] != stateA;
  if (!a.out.empty()) writeOutput(a.out, std::span(ring.cells.data(), static_cast<std::size_t>(ring.ringLength)));
  if (a.json) {
    nlohmann::ordered_json out = {{"generations", a.reverse ? 2 * a.steps : a.steps}, {"live_cells", live}};
    if (a.reverse) out["returned"] = back;
    out["row_sha256"] = cellsHash(ring);
    out["provenance"] = made.record();
    std::cout << out.dump(2) << "\n";
  } else if (a.reverse) {
    std::fprintf(report, "%s\n", back ? "returned: the swapped start came back" : "did not return to the swapped start");
  } else {
    std::fprintf(report, "%ld generation%s, %d live cell%s\n", a.steps, a.steps == 1 ? "" : "s", live, live == 1 ? "" : "s");
  }
  return back ? 0 : exitCheckFailed;
}

int render(const RenderArgs& a) {
  AutomatonState ring = readRow(a.row, a.ring, a.crop);
  ring.ruleTable = readRule(a.rule);
  const std::string& target = a.figure.empty() ? a.png : a.figure;
  reportStream({&target}, a.json);  // refuses --json with --png -
  const SpaceTimePalette palette = a.palette == "research" ? SpaceTimePalette::research : SpaceTimePalette::window;
  Provenance made("render", ring.ruleTable);
  made.parameters() = {{"ring", a.ring}, {"steps", a.steps}, {"from", a.from}, {"scale", a.scale},
                       {"catalogue", !a.catalogue.empty()}, {"crop", a.crop}, {"palette", a.palette},
                       {"row_sha256", cellsHash(ring)}};
  PhaseTables tables;
  Catalogue catalogue;
  if (!a.catalogue.empty()) {
    catalogue = readCatalogue(a.catalogue, &ring.ruleTable);
    made.parameters()["catalogue_sha256"] = sha256Hex(catalogueImage(catalogue));
    AutomatonState scratch = quietRing(ring.ruleTable, a.ring);
    tables = solitonPhaseTables(scratch, catalogue);
  }
  // Generations from..from+steps, the first as it stands.
  const std::int64_t rows = a.steps + 1;
  const auto width = static_cast<std::size_t>(a.ring) * static_cast<std::size_t>(a.scale);
  const auto colours = spaceTimePalette(palette);
  Job job("render", a.from + rows, "generations");
  if (!a.figure.empty()) {
    if (width > figureLimit || static_cast<std::size_t>(rows) > figureLimit) {
      throw ToolError(exitUsage, "a figure holds at most " + std::to_string(figureLimit) + " pixels each way: " +
                                     std::to_string(width) + " x " + std::to_string(rows) + " here (--png for more)");
    }
    requireWritable(a.figure);
    Figure f;
    f.width = width;
    f.height = static_cast<std::size_t>(rows);
    f.palette = colours;
    f.firstGeneration = a.from;
    f.cellScale = a.scale;
    f.text = made.textChunks();
    renderSpaceTime(ring, a.catalogue.empty() ? nullptr : &tables, a.from, rows, a.scale,
                    [&](std::span<const std::uint8_t> row) { f.pixels.insert(f.pixels.end(), row.begin(), row.end()); },
                    job.poll(), palette);
    f.legend = spaceTimeLegend(f.pixels, palette, a.catalogue.empty() ? nullptr : &catalogue);
    f.title = (a.row.size() > 40 ? a.row.substr(0, 37) + "..." : a.row) + " under rule " + ruleSha256(ring.ruleTable).substr(0, 12);
    writeFigure(f, a.figure);
  } else {
    Output out(a.png);
    PngWriter png(out, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(rows), colours, made.textChunks());
    renderSpaceTime(ring, a.catalogue.empty() ? nullptr : &tables, a.from, rows, a.scale,
                    [&](std::span<const std::uint8_t> row) { png.row(row); }, job.poll(), palette);
    png.finish();
  }
  if (a.json) {
    std::cout << nlohmann::ordered_json{{a.figure.empty() ? "png" : "figure", target}, {"width", width}, {"height", rows},
                                        {"provenance", made.record()}}
                     .dump(2)
              << "\n";
  }
  return 0;
}

}  // namespace ondrix::tool
