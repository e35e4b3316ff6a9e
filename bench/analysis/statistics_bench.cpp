// The figures of a stretch of 240000 points (a full measurement of one channel) against the
// least any of them needs: one plain pass summing the points. Prints the ratio of the best
// times.

#include "analysis/statistics.h"

#include "bestof.h"
#include "report.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

std::vector<double> stretch() {
    std::vector<double> y(240000);
    for (std::size_t i = 0; i < y.size(); ++i)
        y[i] = (2047 + 1500 * std::sin(0.001 * i) + (i * 7919) % 21 - 10 - 2047) * 0.0025;
    return y;
}

void sum(benchmark::State& state) {
    const std::vector<double> y = stretch();
    for (auto _ : state) {
        double total = 0.0;
        for (const double v : y)
            total += v;
        benchmark::DoNotOptimize(total);
    }
}

void statistics(benchmark::State& state) {
    const std::vector<double> y = stretch();
    for (auto _ : state) {
        const zarvik::StretchStatistics s = zarvik::stretchStatistics(y.data(), y.size());
        benchmark::DoNotOptimize(s);
    }
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs) {
            if (!zarvik::bench::isBest(r))
                continue;
            const double t = r.GetAdjustedCPUTime();
            if (r.run_name.function_name == "sum")
                m_baseline = t;
            else if (m_baseline > 0)
                zarvik::bench::reportFigure("statistics of 240000 points / one pass summing them",
                                            t, m_baseline, "<= 2");
        }
    }

private:
    double m_baseline = 0;
};

} // namespace

using zarvik::bench::bestOfRepetitions;
BENCHMARK(sum)->Unit(benchmark::kMicrosecond)->Apply(bestOfRepetitions);
BENCHMARK(statistics)->Unit(benchmark::kMicrosecond)->Apply(bestOfRepetitions);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
