// One recording tick (advance, template read, capture, frame written), the
// plain way (every pixel read from the picture on its own) and the
// project's way (the picture read a row at a time), side by side.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "bench/painters.h"
#include "bench/ratio_reporter.h"
#include "ondrix/datafiles/files.h"
#include "ondrix/datafiles/recording.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/runcontrol.h"

namespace ondrix {
namespace {

// A working folder with the template, and a 768-cell ring of a few
// hundred live cells under a rule with a quiet background.
struct Scene {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "ondrix-recording-bench";
  OndrixState st;
  Scene() {
    std::filesystem::create_directories(folder / "data");
    std::filesystem::current_path(folder);
    writeWhole(frameTemplateName, makeFrameTemplate({240, 240, 240}));
    st = startupState();
    st.ring.stepsPerTick = 8;
    std::mt19937 rng(3);
    for (int e : {6, 7, 13, 14, 25, 27, 36, 37, 38, 39, 49, 71}) st.ring.ruleTable[e] = 1;
    for (int i = 0; i < 768; ++i) {
      if (rng() % 4 == 0) st.ring.cells[i] = static_cast<std::uint8_t>(rng() % 2);
    }
  }
  // Every tick writes the same frame file and never turns.
  void rewind() {
    st.recording.frameCounter = 0;
    st.ring.timeStep = 0;
  }
};

void referenceTick(benchmark::State& state) {
  Scene scene;
  bench::ProjectPainter display;
  for (auto _ : state) {
    scene.rewind();
    OndrixState& st = scene.st;
    advanceRun(st, display);
    readFrameTemplate(st.recording.frameTemplate);
    st.recording.frameName = frameFileName(st.recording.frameCounter);
    std::vector<std::uint8_t> frame(st.recording.frameTemplate.begin(), st.recording.frameTemplate.end());
    const std::uint32_t offset = pixelDataOffset(st.recording.frameTemplate);
    std::size_t at = offset;
    for (int y = captureHeight - 1; y >= 0; --y) {
      for (int x = 0; x < captureWidth; ++x) {
        const QColor c = display.image().pixelColor(x, y);
        frame[at++] = static_cast<std::uint8_t>(c.blue());
        frame[at++] = static_cast<std::uint8_t>(c.green());
        frame[at++] = static_cast<std::uint8_t>(c.red());
      }
    }
    ensureFolder("video");
    writeWhole(st.recording.frameName, frame);
    ++st.recording.frameCounter;
  }
}

void projectTick(benchmark::State& state) {
  Scene scene;
  bench::ProjectPainter display;
  for (auto _ : state) {
    scene.rewind();
    recordingTick(scene.st, display);
  }
}

BENCHMARK(referenceTick)->Name("reference/recordingTick/768")->Unit(benchmark::kMicrosecond);
BENCHMARK(projectTick)->Name("project/recordingTick/768")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ondrix

int main(int argc, char** argv) { return ondrix::bench::runWithRatios(argc, argv); }
