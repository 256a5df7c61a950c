#include "judged_run.h"

#include <cstdio>
#include <string>
#include <utility>

namespace quorrel::bench {

namespace {

// Keeps the medians and spreads of every benchmark while the console shows them.
class GoalReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            keep(run);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    const Results& results() const { return results_; }

  private:
    void keep(const Run& run) {
        const std::string& name = run.run_name.function_name;
        if (run.error_occurred) {
            results_.failed.insert(name);
            return;
        }
        if (run.run_type != Run::RT_Aggregate) {
            return;
        }
        double Figures::*slot = nullptr;
        if (run.aggregate_name == "median") {
            slot = &Figures::median;
        } else if (run.aggregate_name == "min") {
            slot = &Figures::min;
        } else if (run.aggregate_name == "max") {
            slot = &Figures::max;
        } else if (run.aggregate_name == "mad") {
            slot = &Figures::mad;
        } else {
            return;
        }
        const double toMilliseconds = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        results_.figures[{name, "real_time"}].*slot = run.GetAdjustedRealTime() * toMilliseconds;
        results_.figures[{name, "cpu_time"}].*slot = run.GetAdjustedCPUTime() * toMilliseconds;
        for (const auto& [counter, value] : run.counters) {
            results_.figures[{name, counter}].*slot = value.value;
        }
    }

    Results results_;
};

}  // namespace

benchmark::internal::Benchmark* withSpread(benchmark::internal::Benchmark* benchmark) {
    return benchmark->ComputeStatistics("min", &minimum)
        ->ComputeStatistics("max", &maximum)
        ->ComputeStatistics("mad", &medianAbsoluteDeviation);
}

int runJudged(int argc, char** argv, const std::vector<Goal>& goals) {
    // The defaults go first, so that the same flags given on the command line win.
    std::vector<std::string> defaults = {
        "--benchmark_repetitions=10",
        "--benchmark_enable_random_interleaving=true",
        "--benchmark_display_aggregates_only=true",
    };
    std::vector<char*> args;
    args.push_back(argv[0]);
    for (std::string& flag : defaults) {
        args.push_back(flag.data());
    }
    for (int i = 1; i < argc; ++i) {
        args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 2;
    }
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n%s", goalTable(goals, reporter.results()).c_str());
    std::fflush(stdout);
    return allMet(goals, reporter.results()) ? 0 : 1;
}

}  // namespace quorrel::bench
