// One tick of a run, the plain way and the project's way: with the picture
// painted on the 768-cell ring, and in "Dont show" mode on 7680 cells.
#include <benchmark/benchmark.h>

#include "bench/painters.h"
#include "bench/ratio_reporter.h"
#include "bench/reference.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/runcontrol.h"
#include "ondrix/mainwindow/statistics.h"

namespace ondrix {
namespace {

// A gas of small solitons ("C B" travels 3 cells every 5 generations under
// this rule) running both ways, with their phase tables built.
OndrixState solitonGas(std::int32_t length, std::int16_t steps, bool dontShow) {
  OndrixState st;
  st.ring.ringLength = 768;
  for (int e : {9, 27, 63}) st.ring.ruleTable[e] = 1;
  st.catalogue.solitonCode[0] = 5;
  st.catalogue.solitonPeriod[0] = 5;
  st.catalogue.solitonShift[0] = 3;
  bench::QuietDisplay quiet;
  st.dontShow = true;
  buildSolitonPhaseTables(st, quiet);
  st.ring.ringLength = length;
  clearRing(st.ring);
  for (std::int32_t i = 10; i + 2 < length; i += 24) {
    st.ring.cells[i] = (i / 24) % 2 ? stateB : stateC;
    st.ring.cells[i + 1] = (i / 24) % 2 ? stateC : stateB;
  }
  st.ring.stepsPerTick = steps;
  st.dontShow = dontShow;
  return st;
}

// The tick written plainly: reference step, linear tagging, line painting.
void plainTick(OndrixState& st, bench::PlainPainter& painter) {
  for (std::int32_t k = 0; k < st.ring.stepsPerTick; ++k) {
    reference::stepGeneration(st.ring);
    st.ring.timeStep += 1;
  }
  if (!st.dontShow) {
    reference::tagSolitons(st.ring, st.phases);
    painter.paintRing(st.ring);
  }
  updateStatistics(st, painter);
  st.ring.sampleCount = 0;  // keep sampling: a run's history fills only once
}

void projectTick(OndrixState& st, bench::ProjectPainter& painter) {
  runTick(st, painter);
  st.ring.sampleCount = 0;
}

template <typename Painter, void (*Tick)(OndrixState&, Painter&)>
void tickBenchmark(benchmark::State& state) {
  const bool dontShow = state.range(0) != 0;
  OndrixState st = dontShow ? solitonGas(7680, 40, true) : solitonGas(768, 4, false);
  Painter painter;
  for (auto _ : state) Tick(st, painter);
  const double generations = static_cast<double>(state.iterations()) * st.ring.stepsPerTick;
  state.counters["generations/s"] = benchmark::Counter(generations, benchmark::Counter::kIsRate);
  state.counters["cell-generations/ms"] =
      benchmark::Counter(generations * st.ring.ringLength / 1000.0, benchmark::Counter::kIsRate);
}

BENCHMARK(tickBenchmark<bench::PlainPainter, plainTick>)->Name("reference/tick/768-drawn")->Arg(0);
BENCHMARK(tickBenchmark<bench::ProjectPainter, projectTick>)->Name("project/tick/768-drawn")->Arg(0);
BENCHMARK(tickBenchmark<bench::PlainPainter, plainTick>)->Name("reference/tick/7680-dont-show")->Arg(1);
BENCHMARK(tickBenchmark<bench::ProjectPainter, projectTick>)->Name("project/tick/7680-dont-show")->Arg(1);

}  // namespace
}  // namespace ondrix

int main(int argc, char** argv) { return ondrix::bench::runWithRatios(argc, argv); }
