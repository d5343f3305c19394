// One redraw of the 768-cell picture (tag and paint), the plain way and the
// project's way, side by side.
#include <benchmark/benchmark.h>

#include <random>

#include "bench/painters.h"
#include "bench/ratio_reporter.h"
#include "bench/reference.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"

namespace ondrix {
namespace {

using bench::PlainPainter;
using bench::ProjectPainter;

// A ring of 768 cells, a fifth of them live, just after a generation, with
// tag codes drawn from its own windows so that the tagging finds solitons.
struct Scene {
  OndrixState st;
  std::array<std::int16_t, ringCapacity> marks{};
  Scene() {
    st = startupState();
    std::mt19937 rng(5);
    for (std::int32_t i = 0; i < 768; ++i) {
      if (rng() % 5 == 0) st.ring.cells[i] = static_cast<std::uint8_t>(rng() % 2);
      st.ring.stepMarks[i] = static_cast<std::int16_t>(markN + rng() % 3);
    }
    for (int t = 0; t < 11; ++t) {
      st.phases.tagCodeCount[t] = 80;
      for (int j = 0; j < 80; ++j) st.phases.tagCode[t][j] = encodePattern(st.ring, static_cast<std::int32_t>(rng() % 768), 11);
    }
    st.phases.indexTagCodes();
    marks = st.ring.stepMarks;
  }
};

void referenceRedraw(benchmark::State& state) {
  Scene scene;
  PlainPainter painter;
  for (auto _ : state) {
    scene.st.ring.stepMarks = scene.marks;
    reference::tagSolitons(scene.st.ring, scene.st.phases);
    painter.paintRing(scene.st.ring);
  }
}

void projectRedraw(benchmark::State& state) {
  Scene scene;
  ProjectPainter painter;
  for (auto _ : state) {
    scene.st.ring.stepMarks = scene.marks;
    drawRing(scene.st, painter);
  }
}

BENCHMARK(referenceRedraw)->Name("reference/drawRing/768")->Unit(benchmark::kMicrosecond);
BENCHMARK(projectRedraw)->Name("project/drawRing/768")->Unit(benchmark::kMicrosecond);

// Where a redraw spends its time.
void tagOnly(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.st.ring.stepMarks = scene.marks;
    tagSolitons(scene.st.ring, scene.st.phases);
  }
}
void paintOnly(benchmark::State& state) {
  Scene scene;
  ProjectPainter painter;
  for (auto _ : state) painter.paintRing(scene.st.ring);
}
BENCHMARK(tagOnly)->Name("breakdown/tagSolitons/768")->Unit(benchmark::kMicrosecond);
BENCHMARK(paintOnly)->Name("breakdown/paint/768")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ondrix

int main(int argc, char** argv) { return ondrix::bench::runWithRatios(argc, argv); }
