#pragma once
// The console reporter of the benchmarks that print figures against a baseline: it keeps
// each benchmark's real time (in the benchmark's unit) for the figures printed after the run.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace tomelet::bench {

class TimesReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  const std::map<std::string, double>& times() const { return times_; }

 private:
  std::map<std::string, double> times_;
};

// Runs the benchmarks the command line selects, then `printFigures` with their times.
template <typename PrintFigures>
int RunAndPrint(int argc, char** argv, PrintFigures printFigures) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printFigures(reporter.times());
  benchmark::Shutdown();
  return 0;
}

}  // namespace tomelet::bench
