// run and render: a row run forward (and back), and its space-time picture.
#include "ondrix/automaton/display.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/spacetime.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/png.h"
#include "tool/progress.h"

namespace ondrix::tool {

int run(const RunArgs& a) {
  const RuleTable rule = readRule(a.rule);
  AutomatonState ring = readRow(a.row, a.ring, a.crop);
  requireWritable(a.out);
  std::FILE* report = reportStream({&a.out}, false);
  ring.ruleTable = rule;
  Job job("run", a.reverse ? 2 * a.steps : a.steps, "generations");
  if (a.reverse) {
    const bool back = returnsToSwappedStart(ring, a.steps, job.poll());
    std::fprintf(report, "%s\n", back ? "returned: the swapped start came back" : "did not return to the swapped start");
    if (!a.out.empty()) writeOutput(a.out, std::span(ring.cells.data(), static_cast<std::size_t>(ring.ringLength)));
    return back ? 0 : exitCheckFailed;
  }
  runGenerations(ring, a.steps, job.poll());
  std::int32_t live = 0;
  for (std::int32_t i = 0; i < ring.ringLength; ++i) live += ring.cells[i] != stateA;
  std::fprintf(report, "%ld generations, %d live cells\n", a.steps, live);
  if (!a.out.empty()) writeOutput(a.out, std::span(ring.cells.data(), static_cast<std::size_t>(ring.ringLength)));
  return 0;
}

int render(const RenderArgs& a) {
  AutomatonState ring = readRow(a.row, a.ring, a.crop);
  ring.ruleTable = readRule(a.rule);
  PhaseTables tables;
  if (!a.catalogue.empty()) {
    AutomatonState scratch = quietRing(ring.ruleTable, a.ring);
    tables = solitonPhaseTables(scratch, readCatalogue(a.catalogue));
  }
  Output out(a.png);
  Job job("render", a.from + a.steps, "generations");
  const auto palette = spaceTimePalette();
  PngWriter png(out, static_cast<std::uint32_t>(a.ring * a.scale), static_cast<std::uint32_t>(a.steps), palette);
  renderSpaceTime(ring, a.catalogue.empty() ? nullptr : &tables, a.from, a.steps, a.scale,
                  [&](std::span<const std::uint8_t> row) { png.row(row); }, job.poll());
  png.finish();
  return 0;
}

}  // namespace ondrix::tool
