// One generation of the ring, reference and project side by side.
#include <benchmark/benchmark.h>

#include <random>

#include "ondrix/automaton/automaton.h"
#include "bench/ratio_reporter.h"
#include "bench/reference.h"

namespace ondrix {
namespace {

// A busy ring: a random rule with a quiet background, a third of the cells live.
AutomatonState busyRing(std::int32_t length) {
  AutomatonState s;
  s.ringLength = length;
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> percent(0, 99), bit(0, 1);
  for (auto& e : s.ruleTable) e = static_cast<std::uint8_t>(bit(rng));
  s.ruleTable[0] = 0;
  for (std::int32_t i = 0; i < length; ++i) {
    s.cells[i] = percent(rng) < 33 ? static_cast<std::uint8_t>(bit(rng)) : stateA;
  }
  return s;
}

template <void (*Step)(AutomatonState&)>
void stepBenchmark(benchmark::State& st) {
  AutomatonState s = busyRing(static_cast<std::int32_t>(st.range(0)));
  for (auto _ : st) {
    Step(s);
    benchmark::DoNotOptimize(s.cells.data());
    benchmark::ClobberMemory();
  }
  st.SetItemsProcessed(st.iterations() * st.range(0));  // cell-generations
}

BENCHMARK(stepBenchmark<reference::stepGeneration>)->Name("reference/stepGeneration")->Arg(768)->Arg(7680);
BENCHMARK(stepBenchmark<stepGeneration>)->Name("project/stepGeneration")->Arg(768)->Arg(7680);

}  // namespace
}  // namespace ondrix

int main(int argc, char** argv) { return ondrix::bench::runWithRatios(argc, argv); }
