// The soliton search, a climb pass and "main 4", the plain way and the
// project's way, side by side.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/painters.h"
#include "bench/ratio_reporter.h"
#include "bench/reference.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/solitons/climbs.h"
#include "ondrix/solitons/search.h"

namespace ondrix {
namespace {

// A soliton-rich table (the search finds 16 solitons under it) on the
// 768-cell ring of start-up, A beyond the ring.
OndrixState solitonRich() {
  OndrixState st;
  st.ring.ringLength = 768;
  st.ring.cells.fill(stateA);
  for (int e : {27, 36, 45, 57}) st.ring.ruleTable[e] = 1;
  return st;
}

// The same ring under the shipped rule.
OndrixState shippedRule() {
  OndrixState st = solitonRich();
  if (!readTableFile(ONDRIX_ASSETS_DIR "/solCA.dat", st.ring.ruleTable)) std::abort();
  return st;
}

template <OndrixState (*Start)()>
void referenceSearch(benchmark::State& state) {
  OndrixState st = Start();
  for (auto _ : state) reference::solitonSearch(st);
  state.counters["Nsol"] = st.catalogue.Nsol;
}

// The project's search; `batched` false is the earlier way, every seed on a
// ring of its own.
template <OndrixState (*Start)(), unsigned Threads, bool Batched>
void projectSearch(benchmark::State& state) {
  OndrixState st = Start();
  bench::QuietDisplay quiet;
  SearchOptions options;
  options.threads = Threads;
  options.batched = Batched;
  for (auto _ : state) solitonSearch(st, quiet, options);
  state.counters["Nsol"] = st.catalogue.Nsol;
}

// One pass of a climb that accepts nothing: 162 searches, each flip undone.
void referenceClimbPass(benchmark::State& state) {
  OndrixState st = solitonRich();
  for (auto _ : state) {
    for (int e = 0; e < ruleTableSize; ++e) {
      st.ring.ruleTable[e] = st.ring.ruleTable[e] == 0 ? 1 : 0;
      reference::solitonSearch(st);
      st.ring.ruleTable[e] = st.ring.ruleTable[e] == 0 ? 1 : 0;
    }
  }
}

void projectClimbPass(benchmark::State& state) {
  OndrixState st = solitonRich();
  bench::QuietDisplay quiet;
  ClimbOptions options;
  options.search.threads = 2;
  for (auto _ : state) {
    st.catalogue.Nstrun = 0;  // nothing can beat it: exactly one pass
    ruleClimb(st, quiet, ClimbTest::keepSolitons, options);
  }
}

void referenceMain4(benchmark::State& state) {
  OndrixState st = solitonRich();
  for (auto _ : state) {
    for (std::int32_t r = 0; r <= 65535; ++r) {
      auxRuleFromNumber(st.auxRuleTable, static_cast<std::uint16_t>(r), AuxLayout::first);
      reference::auxSearch(st);
    }
  }
}

void projectMain4(benchmark::State& state) {
  OndrixState st = solitonRich();
  bench::QuietDisplay quiet;
  for (auto _ : state) tryAllAuxRules(st, quiet);
}

#define ONDRIX_SEARCH_BENCHMARKS(rule, start)                                                                  \
  BENCHMARK(referenceSearch<start>)->Name("reference/solitonSearch/" rule)->Unit(benchmark::kMillisecond);      \
  BENCHMARK(projectSearch<start, 1, false>)->Name("previous/solitonSearch/" rule)->Unit(benchmark::kMillisecond); \
  BENCHMARK(projectSearch<start, 1, true>)->Name("project/solitonSearch/" rule)->Unit(benchmark::kMillisecond);   \
  BENCHMARK(projectSearch<start, 2, false>)                                                                     \
      ->Name("previous/solitonSearch/" rule "/2-threads")                                                       \
      ->Unit(benchmark::kMillisecond);                                                                          \
  BENCHMARK(projectSearch<start, 2, true>)->Name("project/solitonSearch/" rule "/2-threads")->Unit(benchmark::kMillisecond)
ONDRIX_SEARCH_BENCHMARKS("benchRule", solitonRich);
ONDRIX_SEARCH_BENCHMARKS("shippedRule", shippedRule);
BENCHMARK(referenceClimbPass)->Name("reference/climbPass")->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(projectClimbPass)->Name("project/climbPass")->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(referenceMain4)->Name("reference/main4")->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(projectMain4)->Name("project/main4")->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace
}  // namespace ondrix

int main(int argc, char** argv) { return ondrix::bench::runWithRatios(argc, argv); }
