// ondrix-tool: the soliton search and the complete soliton enumeration,
// the rule climbs, runs, space-time pictures, the collision survey and the
// rule hunt from the command line, on the window program's own files and
// core.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "automaton/reversal.h"
#include "datafiles/files.h"
#include "datafiles/rowfiles.h"
#include "datafiles/rulefiles.h"
#include "mainwindow/ondrixstate.h"
#include "automaton/display.h"
#include "mainwindow/spacetime.h"
#include "solitons/climbs.h"
#include "solitons/enumerate.h"
#include "solitons/search.h"
#include "solitons/shipdata.h"
#include "solitons/survey.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/png.h"
#include "tool/progress.h"

using namespace ondrix;
using namespace ondrix::tool;
using json = nlohmann::ordered_json;

namespace {

// A state as the window's start-up leaves it, on a ring of `length` cells,
// under the rule.
std::unique_ptr<OndrixState> startedState(const RuleTable& rule, std::int32_t length) {
  auto st = std::make_unique<OndrixState>();
  st->dontShow = false;
  st->ring.ringLength = length;
  std::copy(rule.begin(), rule.end(), st->ring.ruleTable.begin());
  clearRing(st->ring);
  return st;
}

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

// Where the human-readable report goes: standard output, unless a file
// output was sent there with "-"; then it goes to standard error, and JSON,
// which has nowhere else to go, is refused.
std::FILE* reportStream(std::initializer_list<const std::string*> outputs, bool json) {
  for (const std::string* o : outputs) {
    if (!isStandardOutput(*o)) continue;
    if (json) throw ToolError(exitUsage, "--json and an output to - (standard output) cannot share standard output");
    return stderr;
  }
  return stdout;
}

std::vector<std::uint8_t> solitonFileBytes(const Catalogue& c) { return translateLineEnds(catalogueImage(c)); }

// ---- search -------------------------------------------------------------

struct SearchArgs {
  std::string rule, save;
  std::int32_t ring = 768;
  unsigned threads = 0;
  bool json = false;
};

// The widest phase of a finding, or 0 when it does not come back alone,
// with the gaps a soliton may have between its cells.
std::int32_t widestPhase(const RuleTable& rule, std::int32_t code, std::int32_t period, std::int32_t shift) {
  const auto s = describeSoliton(rule, codeDigits(code), period, shift);
  return s ? s->width : 0;
}

int search(const SearchArgs& a) {
  const RuleTable rule = readRule(a.rule);
  requireWritable(a.save);
  std::FILE* report = reportStream({&a.save}, a.json);
  auto st = startedState(rule, a.ring);
  NullDisplay display;
  Progress bar("search", seedCount);
  SearchOptions options;
  options.threads = a.threads;
  options.progress = [&](int done) { bar.at(done); };
  solitonSearch(*st, display, options);
  const Catalogue& c = st->catalogue;
  json found = json::array();
  for (std::int32_t k = 0; k < c.Nsol; ++k) {
    const std::int32_t code = c.solitonCode[k], period = c.solitonPeriod[k], shift = c.solitonShift[k];
    found.push_back({{"code", code},
                     {"period", period},
                     {"shift", shift},
                     {"speed", solitonSpeed(shift, period)},
                     {"width", widestPhase(rule, code, period, shift)},
                     {"cells", codeLetters(code)}});
  }
  if (!a.save.empty()) writeOutput(a.save, solitonFileBytes(c));
  if (a.json) {
    std::cout << json{{"nsol", c.Nsol}, {"nstrun", c.Nstrun}, {"solitons", found}}.dump(2) << "\n";
    return 0;
  }
  std::fprintf(report, "Nsol %d  Nstrun %d\n%5s %10s %6s %5s %5s %5s  %s\n", c.Nsol, c.Nstrun, "index", "code", "period", "shift",
              "speed", "width", "cells");
  int index = 0;
  for (const auto& s : found) {
    const int width = s["width"].get<int>();  // 0: the finding does not come back alone
    std::fprintf(report, "%5d %10d %6d %5d %5d %5s  %s\n", index++, s["code"].get<int>(), s["period"].get<int>(),
                s["shift"].get<int>(), s["speed"].get<int>(), width ? std::to_string(width).c_str() : "-",
                s["cells"].get<std::string>().c_str());
  }
  return 0;
}

// ---- enumerate ----------------------------------------------------------

struct EnumerateArgs {
  std::string rule, save;
  int width = 0, period = 0;
  unsigned threads = 0;
  bool json = false;
};

int enumerate(const EnumerateArgs& a) {
  const RuleTable rule = readRule(a.rule);
  requireWritable(a.save);
  std::FILE* report = reportStream({&a.save}, a.json);
  Progress bar("enumerate", 0, "rows");
  EnumerateOptions options;
  options.maxWidth = a.width;
  options.maxPeriod = a.period;
  options.threads = a.threads;
  options.progress = [&](std::int64_t done, std::int64_t total) { bar.at(done, total); };
  Enumeration e;
  try {
    e = enumerateSolitons(rule, options);
  } catch (const std::invalid_argument& bad) {
    throw ToolError(exitInput, a.rule + ": " + bad.what());
  }
  if (!a.save.empty()) {
    Catalogue c;
    c.Nsol = static_cast<std::int32_t>(std::min<std::size_t>(e.solitons.size(), catalogueCapacity));
    for (std::int32_t k = 0; k < c.Nsol; ++k) {
      c.solitonCode[k] = e.solitons[k].code;
      c.solitonPeriod[k] = e.solitons[k].period;
      c.solitonShift[k] = e.solitons[k].shift;
    }
    writeOutput(a.save, solitonFileBytes(c));
  }
  if (a.json) {
    json list = json::array();
    for (const auto& s : e.solitons) {
      list.push_back({{"code", s.code},
                      {"period", s.period},
                      {"shift", s.shift},
                      {"speed", s.speed},
                      {"width", s.width},
                      {"cells", codeLetters(s.code)},
                      {"seed_search", s.seedSearch}});
    }
    std::cout << json{{"rule", a.rule},
                      {"max_width", a.width},
                      {"max_period", a.period},
                      {"candidates", e.candidates},
                      {"rows", e.rows},
                      {"side_by_side", e.sideBySide},
                      {"solitons", list}}
                     .dump(2)
              << "\n";
    return 0;
  }
  const auto plural = [](long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::fprintf(report, "%s of 1 to %d cells with live cells at both ends, %lld of them run\n",
              plural(e.rows, "row", "rows").c_str(), a.width, static_cast<long long>(e.candidates));
  std::fprintf(report, "%s with a period of at most %d; %s of solitons side by side left out\n",
              plural(std::ssize(e.solitons), "soliton", "solitons").c_str(), a.period,
              plural(e.sideBySide, "pattern", "patterns").c_str());
  std::fprintf(report, "%6s %5s %5s %6s %10s %6s  %s\n", "period", "shift", "speed", "widest", "code", "search", "cells");
  for (const auto& s : e.solitons) {
    std::fprintf(report, "%6d %5d %5d %6d %10d %6s  %s\n", s.period, s.shift, s.speed, s.width, s.code, s.seedSearch ? "yes" : "no",
                codeLetters(s.code).c_str());
  }
  return 0;
}

// ---- climb --------------------------------------------------------------

struct ClimbArgs {
  std::string rule, variant, out;
};

int climb(const ClimbArgs& a) {
  requireWritable(a.out);
  const bool aux = a.variant == "aux";
  auto st = startedState(aux ? RuleTable{} : readRule(a.rule), 768);
  requireWritable(aux ? auxRuleFileName : ruleFileName, false);
  PrintingDisplay display(reportStream({&a.out}, false));
  Progress bar("climb", ruleTableSize);
  ClimbOptions options;
  options.progress = [&](int, int entry) { bar.at(entry); };
  if (aux) {
    st->auxRuleTable = readAuxRule(a.rule);
    auxSearch(*st, display);
    std::fprintf(display.report, "start: Nsol=%d Nstrun=%d\n", st->catalogue.Nsol, st->catalogue.Nstrun);
    auxClimb(*st, display, options);
    if (!a.out.empty()) writeOutput(a.out, st->auxRuleTable);
  } else {
    solitonSearch(*st, display, options.search);
    std::fprintf(display.report, "start: Nsol=%d Nstrun=%d\n", st->catalogue.Nsol, st->catalogue.Nstrun);
    ruleClimb(*st, display, a.variant == "keep" ? ClimbTest::keepSolitons : ClimbTest::atLeastFourteen, options);
    if (!a.out.empty()) writeOutput(a.out, st->ring.ruleTable);
  }
  if (!display.unsaved.empty()) throw ToolError(exitInput, "the climb's best table is not saved: " + display.unsaved);
  return 0;
}

// ---- run ----------------------------------------------------------------

struct RunArgs {
  std::string rule, row, out;
  long steps = 0;
  std::int32_t ring = 768;
  bool reverse = false;
};

int run(const RunArgs& a) {
  const RuleTable rule = readRule(a.rule);
  AutomatonState ring = readRow(a.row, a.ring);
  requireWritable(a.out);
  std::FILE* report = reportStream({&a.out}, false);
  std::copy(rule.begin(), rule.end(), ring.ruleTable.begin());
  const AutomatonState start = ring;
  Progress bar("run", a.reverse ? 2 * a.steps : a.steps, "generations");
  for (long g = 0; g < a.steps; ++g) {
    stepGeneration(ring);
    bar.at(g + 1);
  }
  int status = 0;
  if (a.reverse) {
    for (std::int32_t i = 0; i < ring.ringLength; ++i) ring.cells[i] = swapState(ring.cells[i]);
    for (long g = 0; g < a.steps; ++g) {
      stepGeneration(ring);
      bar.at(a.steps + g + 1);
    }
    bool back = true;
    for (std::int32_t i = 0; i < ring.ringLength; ++i) back = back && ring.cells[i] == swapState(start.cells[i]);
    std::fprintf(report, "%s\n", back ? "returned: the swapped start came back" : "did not return to the swapped start");
    status = back ? 0 : exitCheckFailed;
  } else {
    std::int32_t live = 0;
    for (std::int32_t i = 0; i < ring.ringLength; ++i) live += ring.cells[i] != stateA;
    std::fprintf(report, "%ld generations, %d live cells\n", a.steps, live);
  }
  if (!a.out.empty()) writeOutput(a.out, std::span(ring.cells.data(), static_cast<std::size_t>(ring.ringLength)));
  return status;
}

// ---- render -------------------------------------------------------------

struct RenderArgs {
  std::string rule, row, png, catalogue;
  long steps = 0, from = 0;
  std::int32_t ring = 768;
  int scale = 1;
};

int render(const RenderArgs& a) {
  auto st = startedState(readRule(a.rule), a.ring);
  st->ring.cells = readRow(a.row, a.ring).cells;
  const PhaseTables* tables = nullptr;
  if (!a.catalogue.empty()) {
    st->catalogue = readCatalogue(a.catalogue);
    const auto row = st->ring.cells;
    NullDisplay display;
    buildSolitonPhaseTables(*st, display);  // clears the ring: the row goes back after
    st->ring.cells = row;
    tables = &st->phases;
  }
  Output out(a.png);
  Progress bar("render", a.from + a.steps, "generations");
  for (long g = 0; g < a.from; ++g) {
    stepGeneration(st->ring);
    bar.at(g + 1);
  }
  const auto palette = spaceTimePalette();
  const std::uint32_t width = static_cast<std::uint32_t>(a.ring * a.scale);
  PngWriter png(out, width, static_cast<std::uint32_t>(a.steps), palette);
  std::vector<std::uint8_t> row(width);
  for (long g = 0; g < a.steps; ++g) {
    stepGeneration(st->ring);
    spaceTimeRow(st->ring, tables, a.scale, row);
    png.row(row);
    bar.at(a.from + g + 1);
  }
  png.finish();
  return 0;
}

// ---- collide ------------------------------------------------------------

struct CollideArgs {
  std::string rule, catalogue, png;
  bool json = false;
};

// A small space-time picture of one collision for the survey's grid: every
// fourth cell, the generations up to the verdict in 160 rows.
void drawTile(const RuleTable& rule, const std::vector<SolitonType>& types, int a, int b, std::int32_t generations,
              std::vector<std::uint8_t>& grid, std::size_t gridWidth, std::size_t x0, std::size_t y0) {
  constexpr int rows = 160, columns = 192;
  AutomatonState ring = quietRing(rule);
  place(ring, types[a].code, surveyLeftStart, false);
  place(ring, types[b].code, surveyRightStart, true);
  std::vector<std::uint8_t> cells(768);
  const std::int32_t perRow = std::max<std::int32_t>(1, (std::max(generations, rows) + rows - 1) / rows);
  for (int r = 0; r < rows; ++r) {
    for (std::int32_t k = 0; k < perRow; ++k) stepGeneration(ring);
    spaceTimeRow(ring, nullptr, 1, cells);
    for (int c = 0; c < columns; ++c) {
      std::uint8_t index = spaceTimeBackground;
      for (int k = 0; k < 4 && index == spaceTimeBackground; ++k) index = cells[4 * c + k];
      grid[(y0 + r) * gridWidth + x0 + c] = index;
    }
  }
}

int collideAll(const CollideArgs& a) {
  const RuleTable rule = readRule(a.rule);
  const auto types = typesOf(readCatalogue(a.catalogue));
  requireSurveyable(a.catalogue, types);
  requireWritable(a.png);
  std::FILE* report = reportStream({&a.png}, a.json);
  constexpr int n = 11;
  std::vector<std::vector<Collision>> table(n, std::vector<Collision>(n));
  Progress bar("collide", n * n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      table[i][j] = collide(rule, types, i, j);
      bar.at(i * n + j + 1);
    }
  }
  if (!a.png.empty()) {
    constexpr std::size_t tileW = 192, tileH = 160, gap = 4;
    const std::size_t width = n * (tileW + gap) + gap, height = n * (tileH + gap) + gap;
    std::vector<std::uint8_t> grid(width * height, 0);  // black between the tiles
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        drawTile(rule, types, i, j, table[i][j].generations ? table[i][j].generations : surveyLimit, grid, width,
                 gap + j * (tileW + gap), gap + i * (tileH + gap));
      }
    }
    const auto palette = spaceTimePalette();
    Output out(a.png);
    PngWriter png(out, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), palette);
    for (std::size_t y = 0; y < height; ++y) png.row(std::span(grid.data() + y * width, width));
    png.finish();
  }
  if (a.json) {
    json pairs = json::array();
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        const Collision& c = table[i][j];
        json products = json::array();
        for (const Product& p : c.products) products.push_back({{"type", p.type}, {"leftward", p.leftward}});
        pairs.push_back({{"a", i},
                         {"b", j},
                         {"outcome", c.outcome == Outcome::passed    ? "passed"
                                     : c.outcome == Outcome::changed ? "changed"
                                                                     : "debris"},
                         {"generations", c.generations},
                         {"shift_a", c.shiftA},
                         {"shift_b", c.shiftB},
                         {"products", products}});
      }
    }
    std::cout << json{{"pairs", pairs}}.dump(2) << "\n";
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

// ---- hunt ---------------------------------------------------------------

struct HuntArgs {
  int trials = 20000, skip = 0;
  std::string out;
  std::vector<std::string> merge;
  bool json = false;
};

json choiceJson(const HuntChoice& c) {
  if (c.types.empty()) return nullptr;
  return {{"trial", c.trial}, {"score", c.score()}, {"speeds", c.speeds}, {"pairs", c.pairs},
          {"rule", std::vector<int>(c.rule.begin(), c.rule.end())}};
}

// A whole number of a hunt result in 0..most, or a ToolError naming it.
std::int64_t trialNumber(const json& j, const char* key, std::int64_t least, const std::string& file) {
  const json& v = j.at(key);
  if (!v.is_number_integer() || v.get<std::int64_t>() < least || v.get<std::int64_t>() > huntTrialLimit) {
    throw ToolError(exitInput, file + ": \"" + key + "\" must be a whole number from " + std::to_string(least) +
                                   " to " + std::to_string(huntTrialLimit) + ", not " + v.dump());
  }
  return v.get<std::int64_t>();
}

// The best of the stretches' results, which must cover one run of trials
// without gaps or overlaps; each winner is checked against the trial it
// names. Trial numbers are checked before anything is drawn, and a trial's
// table is reached by a jump of the generator, so a hostile file costs no
// more than a genuine one.
HuntChoice mergedChoice(const std::vector<std::string>& files, int& from, int& trials) {
  struct Stretch {
    std::int64_t from, trials;
    HuntChoice best;
    std::string file;
  };
  std::vector<Stretch> stretches;
  for (const std::string& f : files) {
    const auto bytes = readInput(f, (1 << 20) + 1);
    if (bytes.size() > (1 << 20)) throw ToolError(exitInput, f + ": over 1 MiB, not a hunt result");
    try {
      const json j = json::parse(bytes.begin(), bytes.end());
      Stretch s{trialNumber(j, "from", 0, f), trialNumber(j, "trials", 1, f), {}, f};
      if (s.from + s.trials > huntTrialLimit) {
        throw ToolError(exitInput, f + ": trials " + std::to_string(s.from) + " to " + std::to_string(s.from + s.trials) +
                                       " run past the hunt's last trial " + std::to_string(huntTrialLimit - 1));
      }
      if (!j.at("best").is_null()) {
        const auto rule = j["best"].at("rule").get<std::vector<int>>();
        if (rule.size() != ruleTableSize) throw ToolError(exitInput, f + ": the rule does not hold 162 entries");
        const json& t = j["best"].at("trial");
        const std::int64_t trial = t.is_number_integer() ? t.get<std::int64_t>() : -1;
        const bool inside = trial >= s.from && trial < s.from + s.trials;
        const RuleTable drawn = inside ? trialRule(static_cast<int>(trial)) : RuleTable{};
        if (!inside || !std::equal(drawn.begin(), drawn.end(), rule.begin())) {
          throw ToolError(exitInput, f + ": trial " + t.dump() + " does not draw that rule");
        }
        evaluateRule(drawn, s.best);
        s.best.trial = static_cast<int>(trial);
      }
      stretches.push_back(s);
    } catch (const json::exception& e) {
      const std::string why = e.what();  // "[json.exception.kind.N] what": the library's tag left out
      throw ToolError(exitInput, f + ": not a hunt result (" + why.substr(why.find("] ") == std::string::npos ? 0 : why.find("] ") + 2) + ")");
    }
  }
  std::sort(stretches.begin(), stretches.end(), [](const Stretch& x, const Stretch& y) { return x.from < y.from; });
  for (std::size_t k = 1; k < stretches.size(); ++k) {
    if (stretches[k].from != stretches[k - 1].from + stretches[k - 1].trials) {
      throw ToolError(exitInput, stretches[k].file + ": trials " + std::to_string(stretches[k].from) +
                                     " on do not follow on from " + stretches[k - 1].file);
    }
  }
  HuntChoice best;
  for (const Stretch& s : stretches) best = betterChoice(best, s.best);
  from = static_cast<int>(stretches.front().from);
  trials = static_cast<int>(stretches.back().from + stretches.back().trials - from);
  return best;
}

// The hunt's folder, checked before the hunt.
void requireFolderWritable(const std::string& folder) {
  if (folder.empty()) return;
  if (isStandardOutput(folder)) throw ToolError(exitUsage, "--out takes a folder; - (standard output) cannot hold one");
  const std::string problem = folderProblem(folder);
  if (!problem.empty()) throw ToolError(exitInput, "cannot write " + folder + ": " + problem);
}

int hunt(const HuntArgs& a) {
  HuntChoice best;
  int from = a.skip, trials = a.trials;
  requireFolderWritable(a.out);
  if (!a.merge.empty()) {
    best = mergedChoice(a.merge, from, trials);
  } else {
    if (a.trials > huntTrialLimit - a.skip) {
      throw ToolError(exitUsage, "--skip " + std::to_string(a.skip) + " and --trials " + std::to_string(a.trials) +
                                     " run past the hunt's last trial " + std::to_string(huntTrialLimit - 1));
    }
    Progress bar("hunt", a.trials, "trials");
    best = huntRules(a.skip, a.trials, [&](int trial, const HuntChoice* improved) {
      if (improved && !a.json) {
        bar.clear();
        std::printf("trial %d: %d speeds, %d passing pairs\n", trial, improved->speeds, improved->pairs);
        std::fflush(stdout);
      }
      bar.at(trial - a.skip + 1);
    });
  }
  if (!a.merge.empty() && !a.json && !best.types.empty()) {
    std::printf("trials %d to %d: the best is trial %d: %d speeds, %d passing pairs\n", from, from + trials - 1,
                best.trial, best.speeds, best.pairs);
  }
  if (a.json) {
    std::cout << json{{"from", from}, {"trials", trials}, {"best", choiceJson(best)}}.dump(2) << "\n";
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

}  // namespace

int main(int argc, char** argv) {
  handleSignals();
  CLI::App app{"ondrix-tool: soliton search and enumeration, rule climbs, runs, space-time pictures, collision "
               "survey and rule hunt on the files of the Ondrix window program",
               "ondrix-tool"};
  app.set_version_flag("--version", std::string("ondrix-tool ") + ONDRIX_VERSION);
  app.require_subcommand(1);
  const auto ringLengths = wholeNumber(25, ringCapacity);
  auto ruleAndRow = [](CLI::App* cmd, std::string& rule, std::string& row) {
    cmd->add_option("RULE", rule, "rule file (162 bytes)")->required();
    cmd->add_option("ROW", row, "row file (a byte per cell: 0 C, 1 B, 2 A)")->required();
  };

  SearchArgs s;
  auto* searchCmd = app.add_subcommand("search", "the soliton search over the 6561 seeds of eight cells");
  searchCmd->add_option("RULE", s.rule, "rule file (162 bytes)")->required();
  searchCmd->add_option("--ring", s.ring, "ring length (25..7680)")->transform(ringLengths);
  searchCmd->add_option("--threads", s.threads, "worker threads, 0 for one per processor")->transform(wholeNumber(0, 256));
  searchCmd->add_option("--save", s.save, "write the first twelve findings as a soliton file")->check(aName());
  searchCmd->add_flag("--json", s.json, "one JSON object instead of the table");

  EnumerateArgs n;
  auto* enumerateCmd = app.add_subcommand(
      "enumerate", "every soliton with a phase of at most --max-width cells and a period of at most --max-period");
  enumerateCmd->add_option("RULE", n.rule, "rule file (162 bytes)")->required();
  enumerateCmd->add_option("--max-width", n.width, "cells (1..19)")->required()->transform(wholeNumber(1, enumerateWidthLimit));
  enumerateCmd->add_option("--max-period", n.period, "generations (1..40)")
      ->required()
      ->transform(wholeNumber(1, enumeratePeriodLimit));
  enumerateCmd->add_option("--threads", n.threads, "worker threads, 0 for one per processor")->transform(wholeNumber(0, 256));
  enumerateCmd->add_option("--save", n.save, "write the first twelve solitons as a soliton file")->check(aName());
  enumerateCmd->add_flag("--json", n.json, "one JSON object instead of the table");

  ClimbArgs c;
  auto* climbCmd = app.add_subcommand("climb", "a rule climb; writes ca.dat (Exr.dat for aux) here as it goes");
  climbCmd->add_option("RULE", c.rule, "rule file (162 bytes); for aux the auxiliary table (54 bytes, Exr.dat)")
      ->required();
  climbCmd->add_option("--variant", c.variant, "keep | fourteen | aux")
      ->required()
      ->check(CLI::IsMember({"keep", "fourteen", "aux"}));
  climbCmd->add_option("--out", c.out, "also write the final table here")->check(aName());

  RunArgs r;
  auto* runCmd = app.add_subcommand("run", "N generations of a row; --reverse checks the return");
  ruleAndRow(runCmd, r.rule, r.row);
  runCmd->add_option("--steps", r.steps, "generations")->required()->transform(wholeNumber(0, 100000000));
  runCmd->add_option("--ring", r.ring, "ring length (25..7680)")->transform(ringLengths);
  runCmd->add_flag("--reverse", r.reverse, "then exchange B and C and run N more: exit 3 unless the swapped start returns");
  runCmd->add_option("--out", r.out, "write the final row")->check(aName());

  RenderArgs d;
  auto* renderCmd = app.add_subcommand("render", "a space-time picture: one pixel row per generation, time downward");
  ruleAndRow(renderCmd, d.rule, d.row);
  renderCmd->add_option("--steps", d.steps, "generations, one row each")->required()->transform(wholeNumber(1, 10000000));
  renderCmd->add_option("--png", d.png, "the picture to write")->check(aName())->required();
  renderCmd->add_option("--catalogue", d.catalogue, "soliton file: tagged solitons in their panel colours");
  renderCmd->add_option("--ring", d.ring, "ring length (25..7680)")->transform(ringLengths);
  renderCmd->add_option("--scale", d.scale, "pixels across per cell (1..16); always one row per generation")
      ->transform(wholeNumber(1, 16));
  renderCmd->add_option("--from", d.from, "generations run before the first row")->transform(wholeNumber(0, 100000000));

  CollideArgs k;
  auto* collideCmd = app.add_subcommand("collide", "the collision survey of catalogue types 0..10");
  collideCmd->add_option("RULE", k.rule, "rule file (162 bytes)")->required();
  collideCmd->add_option("SOL", k.catalogue, "soliton file")->required();
  collideCmd->add_option("--png", k.png, "a grid of small space-time pictures of every pair")->check(aName());
  collideCmd->add_flag("--json", k.json, "one JSON object instead of the table");

  HuntArgs h;
  auto* huntCmd = app.add_subcommand("hunt", "hunt random rule tables for a soliton rule and make the shipped files");
  auto* trialsOption =
      huntCmd->add_option("--trials", h.trials, "rule tables to try")->transform(wholeNumber(1, 10000000));
  auto* skipOption = huntCmd->add_option("--skip", h.skip, "trials to skip first: a later stretch of the same hunt")
                         ->transform(wholeNumber(0, huntTrialLimit - 1));
  huntCmd->add_option("--out", h.out, "write the winner's files into this folder")->check(aName());
  huntCmd->add_option("--merge", h.merge, "merge the --json results of stretches instead of hunting")
      ->expected(1, 1000)
      ->excludes(trialsOption)
      ->excludes(skipOption);
  huntCmd->add_flag("--json", h.json, "the stretch's best as JSON, for --merge");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);
    std::fprintf(stderr, "ondrix-tool: %s\n", e.what());
    return exitUsage;
  }
  int status = exitUsage;
  try {
    if (*searchCmd) status = search(s);
    if (*enumerateCmd) status = enumerate(n);
    if (*climbCmd) status = climb(c);
    if (*runCmd) status = run(r);
    if (*renderCmd) status = render(d);
    if (*collideCmd) status = collideAll(k);
    if (*huntCmd) status = hunt(h);
    finishStandardOutput();
  } catch (const std::exception& e) {
    awaitSignalStop();  // a failure that an interruption caused is reported as the interruption
    const auto* tool = dynamic_cast<const ToolError*>(&e);
    std::fprintf(stderr, "ondrix-tool: %s\n", e.what());
    status = tool ? tool->code : exitInput;
  }
  awaitSignalStop();
  return status;
}
