// The chart build of a full measurement against the least any build must do: turning the same
// words into the same number of doubles. Prints the ratio of the best times for each case.

#include "chart/chart.h"
#include "shell/tform1.h"
#include "view/chartview.h"

#include "bestof.h"
#include "report.h"
#include "windowbench.h"

#include <QApplication>
#include <QCheckBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::vector<std::uint8_t> makeStream(std::size_t words) {
    std::vector<std::uint8_t> bytes(2 * words);
    for (std::size_t i = 0; i < words; ++i) {
        const auto v = static_cast<std::uint16_t>(2047 + 1500 * std::sin(0.001 * i));
        bytes[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    return bytes;
}

void baseline(benchmark::State& state) {
    const auto bytes = makeStream(240000);
    std::vector<double> out(240000);
    for (auto _ : state) {
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<double>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

void showChart(benchmark::State& state, int channels, bool smoothing) {
    QTemporaryDir dir;
    zarvik::TForm1 form(dir.path() + "/");
    for (int n = 1; n <= 8; ++n)
        form.cbCh[n]->setChecked(n <= channels);
    form.gbChart->cbInt->setChecked(smoothing);
    form.Measurement.SampleData = makeStream(240000);
    form.Measurement.SamplePeriodUs = 488.28125;
    for (auto _ : state)
        form.chartView()->ShowChart();
}

// Prints, after each case, its best time against the baseline's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs) {
            if (!zarvik::bench::isBest(r))
                continue;
            const double t = r.GetAdjustedCPUTime();
            const std::string& name = r.run_name.function_name;
            if (name.rfind("baseline", 0) == 0)
                m_baseline = t;
            else if (m_baseline > 0)
                zarvik::bench::reportFigure(
                    ("chart build " + name + " / words into doubles").c_str(), t, m_baseline,
                    "<= 2");
        }
    }

private:
    double m_baseline = 0;
};

} // namespace

using zarvik::bench::bestOfRepetitions;
BENCHMARK(baseline)->Unit(benchmark::kMillisecond)->Apply(bestOfRepetitions);
BENCHMARK_CAPTURE(showChart, one_channel_plain, 1, false)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bestOfRepetitions);
BENCHMARK_CAPTURE(showChart, eight_channels_plain, 8, false)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bestOfRepetitions);
BENCHMARK_CAPTURE(showChart, one_channel_smoothed, 1, true)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bestOfRepetitions);
BENCHMARK_CAPTURE(showChart, eight_channels_smoothed, 8, true)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bestOfRepetitions);

int main(int argc, char** argv) {
    zarvik::bench::WindowBenchmarks app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
