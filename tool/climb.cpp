// climb: a rule climb from a rule file, as the window's buttons run it,
// its status texts printed line by line.
#include "ondrix/automaton/display.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/solitons/climbs.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/progress.h"
#include "tool/provenance.h"

#include <iostream>


namespace ondrix::tool {

namespace {

// The status texts of a climb, one per line; it remembers whether the
// climb's last save failed.
struct PrintingDisplay : NullDisplay {
  explicit PrintingDisplay(std::FILE* to) : report(to) {}
  std::FILE* report;
  std::string unsaved;
  void showStatus(const std::string& text) override { std::fprintf(report, "%s\n", text.c_str()); }
  void showFileOutcome(FileKind, const std::string& failure) override {
    unsaved = failure;
    if (!failure.empty()) std::fprintf(report, "%s\n", failure.c_str());
  }
};

}  // namespace

int climb(const ClimbArgs& a) {
  requireWritable(a.out);
  const bool aux = a.variant == "aux";
  auto st = std::make_unique<OndrixState>(startupState(aux ? RuleTable{} : readRule(a.rule)));
  // Accepted tables go to --out as they come (to nothing for -), or to the
  // window's file in the working folder.
  ClimbOptions options;
  if (!a.out.empty()) options.saveAs = isStandardOutput(a.out) ? std::string() : a.out;
  else requireWritable(aux ? auxRuleFileName : ruleFileName, false);
  PrintingDisplay display(a.json ? stderr : reportStream({&a.out}, false));
  if (a.json) reportStream({&a.out}, true);  // refuses --json with --out -
  Provenance made("climb");
  if (!aux) made.rule(st->ring.ruleTable);
  made.parameters() = {{"variant", a.variant}, {"ring", startupRingLength}};
  nlohmann::ordered_json result;
  // The bar runs over the entries of each pass.
  Job job("climb", ruleTableSize, {}, [aux](Progress& bar, std::int64_t done, std::int64_t) {
    const long entries = aux ? auxRuleTableSize : ruleTableSize;
    bar.at(static_cast<long>(done % entries), entries);
  });
  options.poll = job.poll();
  if (aux) {
    st->auxRuleTable = readAuxRule(a.rule);
    auxSearch(*st, display);
    result["start"] = {{"nsol", st->catalogue.Nsol}, {"nstrun", st->catalogue.Nstrun}};
    if (!a.json) std::fprintf(display.report, "start: Nsol=%d Nstrun=%d\n", st->catalogue.Nsol, st->catalogue.Nstrun);
    auxClimb(*st, display, options);
    if (!a.out.empty()) writeOutput(a.out, st->auxRuleTable);
    result["table"] = std::vector<int>(st->auxRuleTable.begin(), st->auxRuleTable.end());
    if (a.json) auxSearch(*st, display);  // the counts of the table kept
  } else {
    solitonSearch(*st, display, options.search);
    result["start"] = {{"nsol", st->catalogue.Nsol}, {"nstrun", st->catalogue.Nstrun}};
    if (!a.json) std::fprintf(display.report, "start: Nsol=%d Nstrun=%d\n", st->catalogue.Nsol, st->catalogue.Nstrun);
    ruleClimb(*st, display, a.variant == "keep" ? ClimbTest::keepSolitons : ClimbTest::atLeastFourteen, options);
    if (!a.out.empty()) writeOutput(a.out, st->ring.ruleTable);
    result["table"] = ruleJson(st->ring.ruleTable);
    if (a.json) solitonSearch(*st, display, options.search);  // the counts of the table kept
  }
  if (!display.unsaved.empty()) throw ToolError(exitInput, "the climb's best table is not saved: " + display.unsaved);
  if (a.json) {
    result["end"] = {{"nsol", st->catalogue.Nsol}, {"nstrun", st->catalogue.Nstrun}};
    result["provenance"] = made.record();
    std::cout << result.dump(2) << "\n";
  }
  return 0;
}

}  // namespace ondrix::tool
