// The spectrum command end to end on a 65536-point visible stretch: reading the channel's
// points from the main chart, the transform, the listing up to Fmax, both spectrum series,
// the label and the clipboard text. Printed next to the transform alone on the same stretch.

#include "analysis/fft.h"
#include "analysis/spectrumwindow.h"
#include "chart/chart.h"
#include "shell/tform1.h"
#include "view/chartview.h"

#include "report.h"
#include "windowbench.h"

#include <QApplication>
#include <QCheckBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPoints = 65536;

// One channel of a measurement at 2048 Hz, a 50 Hz tone over noise-like words, of 65537
// instants: the first instant is not plotted, so the chart shows 65536 points.
struct Windows {
    QTemporaryDir dir;
    std::unique_ptr<zarvik::TForm1> form1;
    std::unique_ptr<zarvik::TForm2> form2;

    Windows() {
        form1 = std::make_unique<zarvik::TForm1>(dir.path() + "/");
        form2 = std::make_unique<zarvik::TForm2>();
        form1->setSpectrumWindow(form2.get());
        for (int n = 1; n <= 8; ++n)
            form1->cbCh[n]->setChecked(n == 1);
        auto& data = form1->Measurement.SampleData;
        data.resize(2 * (kPoints + 1));
        for (int j = 0; j <= kPoints; ++j) {
            const auto w = static_cast<std::uint16_t>(2047 + 1500 * std::sin(0.1534 * j) +
                                                      (j * 7919 % 97) - 48);
            data[2 * j] = static_cast<std::uint8_t>(w & 0xFF);
            data[2 * j + 1] = static_cast<std::uint8_t>(w >> 8);
        }
        form1->Measurement.SamplePeriodUs = 488.28125;
        form1->chartView()->ShowChart();
        form1->show();
        form1->Chart1->repaint();
        QApplication::processEvents();
    }
};

// Made on first use, gone before the application object.
std::unique_ptr<Windows> shared;

Windows& windows() {
    if (!shared)
        shared = std::make_unique<Windows>();
    return *shared;
}

// Fmax 35 Hz lists 561 bins (the window's default), 1000 Hz lists 16001, each with its
// clipboard line.
void spectrumCommand(benchmark::State& state, int fmaxHz) {
    Windows& w = windows();
    w.form2->seFmax->setValue(fmaxHz);
    for (auto _ : state) {
        w.form1->btSpectrGo->click();
        benchmark::ClobberMemory();
    }
    state.counters["visible"] =
        w.form1->chartView()->VisibleLast - w.form1->chartView()->VisibleFirst + 1;
}

void transformAlone(benchmark::State& state) {
    std::vector<double> x(kPoints), out;
    for (int j = 0; j < kPoints; ++j)
        x[static_cast<std::size_t>(j)] = 2047 + 1500 * std::sin(0.1534 * j);
    for (auto _ : state) {
        zarvik::FFT(15, x.data(), 1, kPoints, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

// Keeps the processor time per iteration of each benchmark while printing as usual.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

BENCHMARK(transformAlone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(spectrumCommand, fmax_35, 35)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(spectrumCommand, fmax_1000, 1000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    zarvik::bench::WindowBenchmarks app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    shared.reset();
    const double transform = reporter.times["transformAlone"];
    for (const char* name : {"spectrumCommand/fmax_35", "spectrumCommand/fmax_1000"})
        if (reporter.times.count(name))
            zarvik::bench::reportFigure(
                (std::string(name) + " on 65536 points / the transform alone").c_str(),
                reporter.times[name], transform, "for information");
    return 0;
}
