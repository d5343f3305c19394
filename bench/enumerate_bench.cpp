// The complete soliton enumeration on the shipped rule: the plain version
// (one row at a time with the reference step) and the project's batched
// one on one and two threads. "rows/s" counts the rows with live cells at
// both ends that a run covers.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "bench/ratio_reporter.h"
#include "bench/reference.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/solitons/enumerate.h"

namespace ondrix {
namespace {

RuleTable shippedRule() {
  RuleTable rule{};
  if (!readTableFile(ONDRIX_ASSETS_DIR "/solCA.dat", rule)) std::abort();
  return rule;
}

// The plain version over every `Stride`-th row (a stride prime to 3, so
// the sample has every cell pattern). Its time is scaled to all rows, so
// that the ratio compares like with like; the rate is the sample's own.
template <int Width, int Period, int Stride>
void plainEnumeration(benchmark::State& state) {
  const RuleTable rule = shippedRule();
  std::int64_t rows = 0;
  std::size_t found = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    found = reference::enumerateRows(rule.data(), Width, Period, Stride, &rows).size();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count() * Stride);
  }
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(rows) * Stride, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["returning"] = static_cast<double>(found);
  if (Stride > 1) state.SetLabel("1 row in " + std::to_string(Stride) + ", time x" + std::to_string(Stride));
}

template <int Width, int Period, unsigned Threads, bool RuleReach = true>
void projectEnumeration(benchmark::State& state) {
  const RuleTable rule = shippedRule();
  EnumerateOptions options;
  options.ruleReach = RuleReach;
  options.maxWidth = Width;
  options.maxPeriod = Period;
  options.threads = Threads;
  options.markSeedSearch = false;
  Enumeration e;
  for (auto _ : state) e = enumerateSolitons(rule, options);
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(e.rows), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["solitons"] = static_cast<double>(e.solitons.size());
}

BENCHMARK(plainEnumeration<12, 12, 1>)
    ->Name("reference/enumerate/W12-P12")
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK(projectEnumeration<12, 12, 1>)->Name("project/enumerate/W12-P12")->Unit(benchmark::kMillisecond);
BENCHMARK(projectEnumeration<12, 12, 2>)->Name("project/enumerate/W12-P12/2-threads")->Unit(benchmark::kMillisecond);
BENCHMARK(plainEnumeration<16, 12, 101>)
    ->Name("reference/enumerate/W16-P12")
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK(projectEnumeration<16, 12, 1>)->Name("project/enumerate/W16-P12")->Unit(benchmark::kMillisecond);
BENCHMARK(projectEnumeration<16, 12, 2>)->Name("project/enumerate/W16-P12/2-threads")->Unit(benchmark::kMillisecond);

// The cut by the rule's own edge reach, against every row in the words of
// the widest and the reach of any rule, as the enumeration ran before it.
BENCHMARK(projectEnumeration<16, 40, 2, false>)
    ->Name("previous/enumerate/W16-P40/2-threads")
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK(projectEnumeration<16, 40, 2>)->Name("project/enumerate/W16-P40/2-threads")->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(projectEnumeration<19, 40, 2, false>)
    ->Name("previous/enumerate/W19-P40/2-threads")
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK(projectEnumeration<19, 40, 2>)->Name("project/enumerate/W19-P40/2-threads")->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace ondrix

int main(int argc, char** argv) { return ondrix::bench::runWithRatios(argc, argv); }
