// ondrix-tool: the soliton search and the complete soliton enumeration,
// the rule climbs, runs, space-time pictures, the collision survey and the
// rule hunt from the command line, on the window program's own files and
// core. This file reads the command line; each subcommand has a file.
#include <new>
#include <CLI/CLI.hpp>

#include <cstdio>

#include "ondrix/automaton/poll.h"
#include "ondrix/solitons/anywidth.h"
#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/search.h"
#include "ondrix/solitons/shipdata.h"
#include "ondrix/solitons/survey.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/progress.h"

using namespace ondrix;
using namespace ondrix::tool;

int main(int argc, char** argv) {
  handleSignals();
  CLI::App app{"ondrix-tool: soliton search and enumeration, rule climbs, runs, space-time pictures, collision "
               "survey and rule hunt on the files of the Ondrix window program",
               "ondrix-tool"};
  app.set_version_flag("--version", std::string("ondrix-tool ") + ONDRIX_VERSION);
  app.require_subcommand(1);
  app.add_flag("--quiet", Progress::quiet, "no progress on standard error (before or after the subcommand)");
  app.fallthrough();
  const auto ringLengths = wholeNumber(25, ringCapacity);
  const std::string ruleHelp = "rule file (162 bytes), - for standard input, or the rule as 81 or 162 digits";
  const std::string rowHelp =
      "row file (a byte per cell: 0 C, 1 B, 2 A), - for standard input, or letters placed on the ring: BCAAB@300+CB@700";
  auto ruleAndRow = [&](CLI::App* cmd, std::string& rule, std::string& row) {
    cmd->add_option("RULE", rule, ruleHelp)->required();
    cmd->add_option("ROW", row, rowHelp)->required();
  };

  SearchArgs s;
  auto* searchCmd = app.add_subcommand("search", "the soliton search over the 6561 seeds of eight cells");
  searchCmd->add_option("RULE", s.rule, ruleHelp)->required();
  // The seeds stand at cells 80 to 87.
  searchCmd->add_option("--ring", s.ring, "ring length (88..7680)")
      ->transform(wholeNumber(searchInsertPos + seedCells, ringCapacity));
  searchCmd->add_option("--threads", s.threads, "worker threads, 0 for one per processor")->transform(wholeNumber(0, 256));
  searchCmd->add_option("--save", s.save, "write the first twelve findings as a soliton file (JSON for a name ending in .json)")->check(aName());
  searchCmd->add_flag("--json", s.json, "one JSON object instead of the table");

  EnumerateArgs n;
  auto* enumerateCmd = app.add_subcommand(
      "enumerate", "every soliton with a phase of at most --max-width cells and a period of at most --max-period");
  enumerateCmd->add_option("RULE", n.rule, ruleHelp + " (not with --merge)");
  enumerateCmd->add_option("--max-width", n.width, "cells (1..24)")->transform(wholeNumber(1, enumerateWidthLimit));
  enumerateCmd->add_option("--max-period", n.period, "generations (1..40)")->transform(wholeNumber(1, enumeratePeriodLimit));
  enumerateCmd->add_option("--threads", n.threads, "worker threads, 0 for one per processor")->transform(wholeNumber(0, 256));
  enumerateCmd->add_option("--save", n.save, "write the first twelve solitons as a soliton file (JSON for a name ending in .json)")->check(aName());
  enumerateCmd->add_flag("--json", n.json, "one JSON object instead of the table");
  auto* shardOption = enumerateCmd->add_option("--shard", n.shard, "I/N: run shard I (0..N-1) of N, a fixed, balanced part of the rows; prints its JSON for --merge");
  auto* mergeOption = enumerateCmd->add_option("--merge", n.merge, "put the --shard results of every shard together: the one run's answer")
                          ->excludes(shardOption);
  auto* checkpointOption = enumerateCmd->add_option("--checkpoint", n.checkpoint, "write what is done to FILE as the run goes (at most once a minute); run again with it to go on from there")
                               ->check(aName())
                               ->excludes(mergeOption);
  enumerateCmd->add_option("--checkpoint-every", n.checkpointEvery, "seconds between checkpoints (0..3600, 60 unless given; 0: after every stretch of work)")
      ->transform(wholeNumber(0, 3600))
      ->needs(checkpointOption);
  auto* anyWidthOption = enumerateCmd->add_flag("--any-width", n.anyWidth, "every soliton of every width with a period of at most --max-period (1..8), by building space-times column by column; families of every width are reported as such")
                            ->excludes(shardOption)
                            ->excludes(mergeOption)
                            ->excludes(checkpointOption);
  enumerateCmd->add_option("--shift", n.shift, "--any-width: only solitons moving this many cells a period (1..32)")
      ->transform(wholeNumber(1, 32))
      ->needs(anyWidthOption);
  enumerateCmd->add_option("--list-width", n.listWidth, "--any-width: solitons on cycles (families, trains) listed up to this many cells in their narrowest phase (1..32, 19 unless given)")
      ->transform(wholeNumber(1, anyWidthListLimit))
      ->needs(anyWidthOption);
  enumerateCmd->add_option("--max-memory", n.maxMemory, "--any-width: MiB one search may take before it stops with the bound it would need (0: half the memory)")
      ->transform(wholeNumber(0, 1LL << 30))
      ->needs(anyWidthOption);

  ClimbArgs c;
  auto* climbCmd = app.add_subcommand("climb", "a rule climb; writes ca.dat (Exr.dat for aux) here as it goes");
  climbCmd->add_option("RULE", c.rule, ruleHelp + "; for aux the auxiliary table (54 bytes, Exr.dat)")
      ->required();
  climbCmd->add_option("--variant", c.variant, "keep | fourteen | aux")
      ->required()
      ->check(CLI::IsMember({"keep", "fourteen", "aux"}));
  climbCmd->add_flag("--json", c.json, "the start, the table kept and its counts as JSON (the climb's lines go to standard error)");
  climbCmd->add_option("--out", c.out, "save the tables here as the climb accepts them (in place of ca.dat or Exr.dat)")->check(aName());

  RunArgs r;
  auto* runCmd = app.add_subcommand("run", "N generations of a row; --reverse checks the return");
  ruleAndRow(runCmd, r.rule, r.row);
  runCmd->add_option("--steps", r.steps, "generations")->required()->transform(wholeNumber(0, 100000000));
  runCmd->add_option("--ring", r.ring, "ring length (25..7680)")->transform(ringLengths);
  runCmd->add_flag("--reverse", r.reverse, "then exchange B and C and run N more: exit 3 unless the swapped start returns");
  runCmd->add_option("--out", r.out, "write the final row")->check(aName());
  runCmd->add_flag("--crop", r.crop, "drop the live cells of a row file past the ring");
  runCmd->add_flag("--json", r.json, "one JSON object instead of the text");
  auto* csvOption = runCmd->add_option("--csv", r.csv, "write N(B), N(C) and the tagged solitons of every generation as CSV")
                        ->check(aName());
  runCmd->add_option("--catalogue", r.catalogue, "soliton file: tag its types for --csv")->needs(csvOption);

  RenderArgs d;
  auto* renderCmd = app.add_subcommand("render", "a space-time picture: one pixel row per generation, time downward");
  ruleAndRow(renderCmd, d.rule, d.row);
  renderCmd->add_option("--steps", d.steps, "generations after the first row, one row each")->required()->transform(wholeNumber(0, 10000000));
  auto* pngOption = renderCmd->add_option("--png", d.png, "the picture to write, a pixel per cell and generation")->check(pngName());
  auto* figureOption = renderCmd->add_option("--figure", d.figure, "a figure with axes, legend and title: FILE.png or FILE.svg")
                           ->check(figureName());
  pngOption->excludes(figureOption);
  renderCmd->add_option("--palette", d.palette, "window (the window's colours) or research (white, greys, colour-blind-safe types)")
      ->check(CLI::IsMember({"window", "research"}));
  renderCmd->add_option("--catalogue", d.catalogue, "soliton file: tagged solitons in their panel colours");
  renderCmd->add_option("--ring", d.ring, "ring length (25..7680)")->transform(ringLengths);
  renderCmd->add_option("--scale", d.scale, "pixels across per cell (1..16); always one row per generation")
      ->transform(wholeNumber(1, 16));
  renderCmd->add_option("--from", d.from, "generations run before the first row")->transform(wholeNumber(0, 100000000));
  renderCmd->add_flag("--crop", d.crop, "drop the live cells of a row file past the ring");
  renderCmd->add_flag("--json", d.json, "print what was made and how, as JSON");

  ShowArgs w;
  auto* showCmd = app.add_subcommand("show", "a rule as its digits and a row as letters, as the other commands take them");
  showCmd->add_option("--rule", w.rule, ruleHelp);
  showCmd->add_option("--row", w.row, rowHelp);
  showCmd->add_option("--catalogue", w.catalogue, "soliton file (or its JSON): the twelve types as JSON");
  showCmd->add_option("--ring", w.ring, "ring length for the row (25..7680)")->transform(ringLengths);
  showCmd->add_flag("--crop", w.crop, "drop the live cells of a row file past the ring");

  IdentifyArgs i;
  auto* identifyCmd = app.add_subcommand(
      "identify", "run a pattern alone and say what it is; exit 3 when it neither dies nor comes back within --bound");
  identifyCmd->add_option("RULE", i.rule, ruleHelp)->required();
  identifyCmd->add_option("PATTERN", i.pattern, rowHelp)->required();
  identifyCmd->add_option("--bound", i.bound, "generations to run at most (1..900)")->transform(wholeNumber(1, 900));
  identifyCmd->add_option("--catalogue", i.catalogue, "soliton file: name the catalogue type of each soliton");
  identifyCmd->add_flag("--json", i.json, "one JSON object instead of the text");

  CollideArgs k;
  auto* collideCmd = app.add_subcommand("collide", "the collision survey of catalogue types 0..10");
  collideCmd->add_option("RULE", k.rule, ruleHelp)->required();
  collideCmd->add_option("SOL", k.catalogue, "soliton file")->required();
  auto* gridOption = collideCmd->add_option("--png", k.png, "a labelled grid of small space-time pictures of every pair, on one time scale")
                         ->check(pngName());
  collideCmd->add_option("--figure", k.figure, "the same grid as FILE.png or FILE.svg")->check(figureName())->excludes(gridOption);
  collideCmd->add_option("--palette", k.palette, "window (the window's colours) or research (white, greys, colour-blind-safe types)")
      ->check(CLI::IsMember({"window", "research"}));
  collideCmd->add_flag("--json", k.json, "one JSON object instead of the table");
  auto* allFlag = collideCmd->add_flag("--all", k.all, "every distinct collision of each pair: every relative phase and offset");
  collideCmd->add_option("--pair", k.pair, "with --all, only type A against type B's twin")
      ->expected(2)
      ->transform(wholeNumber(0, surveyTypes - 1))
      ->needs(allFlag);
  collideCmd->add_option("--threads", k.threads, "worker threads, 0: one per processor")->transform(wholeNumber(0, 1024));

  AtlasArgs t;
  auto* atlasCmd = app.add_subcommand("atlas", "a rule's solitons and their collisions as a page to browse: DIR/index.html");
  atlasCmd->add_option("RULE", t.rule, ruleHelp)->required();
  atlasCmd->add_option("SOL", t.catalogue, "soliton file: its types' collisions, every one");
  atlasCmd->add_option("--out", t.out, "the folder to write (replaced whole)")->required()->check(aName());
  atlasCmd->add_option("--max-width", t.width, "widest soliton phase listed (1..24)")->transform(wholeNumber(1, enumerateWidthLimit));
  atlasCmd->add_option("--max-period", t.period, "longest period listed (1..40)")->transform(wholeNumber(1, enumeratePeriodLimit));
  atlasCmd->add_option("--types", t.types, "the catalogue types 0..N-1 meet each other (1..11)")->transform(wholeNumber(1, surveyTypes));
  atlasCmd->add_option("--threads", t.threads, "worker threads, 0: one per processor")->transform(wholeNumber(0, 1024));

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
    requireOneStandardInput({&r.rule, &r.row});  // only the subcommand given has inputs set
    requireOneStandardInput({&d.rule, &d.row, &d.catalogue});
    requireOneStandardInput({&k.rule, &k.catalogue});
    requireOneStandardInput({&w.rule, &w.row, &w.catalogue});
    requireOneStandardInput({&i.rule, &i.pattern, &i.catalogue});
    if (*searchCmd) status = search(s);
    if (*enumerateCmd) status = enumerate(n);
    if (*climbCmd) status = climb(c);
    if (*runCmd) status = run(r);
    if (*renderCmd && d.png.empty() && d.figure.empty()) throw ToolError(exitUsage, "render needs --png or --figure");
    if (*renderCmd) status = render(d);
    if (*collideCmd) status = collideAll(k);
    if (*atlasCmd) status = atlas(t);
    if (*huntCmd) status = hunt(h);
    if (*showCmd) status = show(w);
    if (*identifyCmd) status = identify(i);
    finishStandardOutput();
  } catch (const Cancelled&) {
    awaitSignalStop();  // the work stopped for a signal, whose handling ends the tool
    status = exitInput;
  } catch (const std::bad_alloc&) {
    awaitSignalStop();
    std::fprintf(stderr, "ondrix-tool: out of memory: the machine could not give what the work asked for "
                         "(for enumerate --any-width, a lower --max-memory or --max-period)\n");
    status = exitInput;
  } catch (const std::exception& e) {
    awaitSignalStop();  // a failure that an interruption caused is reported as the interruption
    const auto* tool = dynamic_cast<const ToolError*>(&e);
    std::fprintf(stderr, "ondrix-tool: %s\n", e.what());
    status = tool ? tool->code : exitInput;
  }
  awaitSignalStop();
  return status;
}
