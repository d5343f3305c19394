#include "bench/ratio_reporter.h"

#include <cstdio>

namespace ondrix::bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
    // Pair names without the segments the library adds, such as "iterations:1".
    std::string name;
    for (std::size_t at = 0, next; at <= run.benchmark_name().size(); at = next + 1) {
      next = run.benchmark_name().find('/', at);
      if (next == std::string::npos) next = run.benchmark_name().size();
      const std::string segment = run.benchmark_name().substr(at, next - at);
      if (segment.find(':') != std::string::npos) continue;
      name += (name.empty() ? "" : "/") + segment;
    }
    // Wall-clock time, so that work on helper threads counts; adjusted times
    // are in the benchmark's own unit, compared here in nanoseconds.
    const double ns = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
    if (name.rfind("reference/", 0) == 0) referenceNs_[name.substr(10)] = ns;
    if (name.rfind("project/", 0) == 0) projectNs_[name.substr(8)] = ns;
  }
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::printf("\n%-36s %14s %14s %8s\n", "case", "reference", "project", "ratio");
  for (const auto& [name, ref] : referenceNs_) {
    const auto it = projectNs_.find(name);
    if (it == projectNs_.end() || it->second <= 0) continue;
    std::printf("%-36s %11.0f ns %11.0f ns %7.1fx\n", name.c_str(), ref, it->second, ref / it->second);
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
