#pragma once
// A shared machine slows a run now and then, never speeds it up: a benchmark is timed in nine
// repetitions and judged by the fastest of them, in processor time, which is steadier there
// than the wall-clock time.

#include "report.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace zarvik::bench {

inline void bestOfRepetitions(benchmark::internal::Benchmark* b) {
    b->Repetitions(9)->ComputeStatistics(
        "best", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

// Whether `run` is the fastest of a benchmark's repetitions.
inline bool isBest(const benchmark::BenchmarkReporter::Run& run) {
    return run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate &&
           run.aggregate_name == "best";
}

// Prints as usual and keeps the fastest repetition's processor time per iteration of each
// benchmark, by the benchmark's function name.
class BestTimes : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (isBest(run))
                times[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // The figure `what`: the fastest time of `subject` against that of `baseline`, when both ran.
    void reportRatio(const char* what, const char* subject, const char* baseline,
                     const char* goal) const {
        const auto s = times.find(subject);
        const auto b = times.find(baseline);
        if (s != times.end() && b != times.end())
            reportFigure(what, s->second, b->second, goal);
    }
    std::map<std::string, double> times;
};

} // namespace zarvik::bench
