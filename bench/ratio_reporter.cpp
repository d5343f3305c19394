#include "bench/ratio_reporter.h"

#include <cstdio>
#include <utility>

namespace ondrix::bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
    // Pair names without the segments the library adds, such as
    // "iterations:1" and "manual_time".
    std::string name;
    for (std::size_t at = 0, next; at <= run.benchmark_name().size(); at = next + 1) {
      next = run.benchmark_name().find('/', at);
      if (next == std::string::npos) next = run.benchmark_name().size();
      const std::string segment = run.benchmark_name().substr(at, next - at);
      if (segment.find(':') != std::string::npos || segment == "manual_time" || segment == "real_time") continue;
      name += (name.empty() ? "" : "/") + segment;
    }
    // Wall-clock time, so that work on helper threads counts; adjusted times
    // are in the benchmark's own unit, compared here in nanoseconds.
    const double ns = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
    for (auto [prefix, field] : {std::pair{"reference/", &Times::reference}, std::pair{"previous/", &Times::previous},
                                 std::pair{"project/", &Times::project}}) {
      const std::string p = prefix;
      if (name.rfind(p, 0) == 0) times_[name.substr(p.size())].*field = ns;
    }
  }
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::printf("\n%-36s %14s %14s %14s %8s %8s\n", "case", "reference", "previous", "project", "vs ref", "vs prev");
  auto column = [](double ns) { ns > 0 ? std::printf(" %11.0f ns", ns) : std::printf(" %14s", "-"); };
  auto ratio = [](double base, double ns) { base > 0 ? std::printf(" %7.1fx", base / ns) : std::printf(" %8s", "-"); };
  for (const auto& [name, t] : times_) {
    if (t.project <= 0 || (t.reference <= 0 && t.previous <= 0)) continue;
    std::printf("%-36s", name.c_str());
    column(t.reference);
    column(t.previous);
    column(t.project);
    ratio(t.reference, t.project);
    ratio(t.previous, t.project);
    std::printf("\n");
  }
}

int runWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace ondrix::bench
