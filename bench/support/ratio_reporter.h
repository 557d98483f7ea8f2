#pragma once
// What every benchmark here prints: Google Benchmark's console table, then
// ratios against a peer run side by side.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace quill::bench {

// The console table, keeping each run's real and CPU time per iteration by
// its function name ("BM_Peer"), or name and aggregate ("BM_Peer/median").
class RatioReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      std::string key = run.run_name.function_name;
      if (!run.aggregate_name.empty()) key += "/" + run.aggregate_name;
      real_[key] = run.GetAdjustedRealTime();
      cpu_[key] = run.GetAdjustedCPUTime();
    }
  }

  // 0 for a run that did not take place.
  double real(const std::string& key) const { return lookup(real_, key); }
  double cpu(const std::string& key) const { return lookup(cpu_, key); }
  // ours / peer in real time, 0 when either is missing.
  double ratio(const std::string& ours, const std::string& peer) const {
    return real(ours) > 0 && real(peer) > 0 ? real(ours) / real(peer) : 0.0;
  }
  double cpu_ratio(const std::string& ours, const std::string& peer) const {
    return cpu(ours) > 0 && cpu(peer) > 0 ? cpu(ours) / cpu(peer) : 0.0;
  }

 private:
  static double lookup(const std::map<std::string, double>& times, const std::string& key) {
    auto it = times.find(key);
    return it == times.end() ? 0.0 : it->second;
  }
  std::map<std::string, double> real_, cpu_;
};

// A statistic for repeated runs: the fastest, the one a shared machine
// disturbed least.
inline double fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

// Repetitions reported by their aggregates only: mean, median, spread and
// the fastest run.
inline benchmark::internal::Benchmark* repeated(benchmark::internal::Benchmark* benchmark, int repetitions) {
  return benchmark->Repetitions(repetitions)->ComputeStatistics("min", fastest)->ReportAggregatesOnly();
}

// Arguments with random interleaving of repetitions put in front, so that the
// load of a shared machine weighs on both sides alike; the caller's own
// arguments still win.
inline std::vector<char*> interleaved_arguments(int argc, char** argv) {
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  std::vector<char*> args(argv, argv + argc);
  args.insert(args.begin() + 1, interleave);
  return args;
}

}  // namespace quill::bench
