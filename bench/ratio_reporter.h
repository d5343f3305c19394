// A console reporter that also prints, for every benchmark pair named
// "reference/<case>" and "project/<case>", how many times faster the
// project's code ran.
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
  std::map<std::string, double> referenceNs_, projectNs_;
};

// Runs every registered benchmark with the ratio reporter; returns the exit code.
int runWithRatios(int argc, char** argv);

}  // namespace ondrix::bench
