// A console reporter that also prints, for every benchmark named
// "project/<case>" beside "reference/<case>" or "previous/<case>" (the
// project's earlier way, kept as a second baseline), how many times faster
// the project's code ran.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace ondrix::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  struct Times {
    double reference = 0, previous = 0, project = 0;
  };
  std::map<std::string, Times> times_;
};

// Runs every registered benchmark with the ratio reporter; returns the exit code.
int runWithRatios(int argc, char** argv);

}  // namespace ondrix::bench
