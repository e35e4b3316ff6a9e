// Repaint of a chart full of a measurement against the same chart with about one point per
// pixel column: the drawing of long series should cost what the pixels cost, not the points.
// Both charts show the same signals over the same stretch, the short one sampled coarser.
// Prints the ratios of the processor times per repaint.
//
// Smooth signals give both charts about the same ink. Noise gives the long series more: its
// picture is a band as wide as the noise in every column, where the short series draws one
// thin step per column, and pixels are what the rasteriser is paid for.
//
// A reference laid over the measurement (dashed lines of as many points) should cost no more
// than the measurement's own lines once more.

#include "chart/chart.h"

#include "report.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

const QSize pictureSize(1200, 600);

// What is sampled: `series` channels of slow waves over x = 0..30000, with noise of +-`noise`
// converter units on top.
struct Signals {
    int series;
    int noise;
};

// `points` samples of each channel at x = (first + i) * step, evenly spaced as the chart view
// gives a measurement's channels. A reference's lines are dashed, lighter, left out of the
// legend and a little lower and slower than the measurement's.
void fill(zarvik::Chart& chart, const Signals& what, int points, int first, double step,
          bool reference = false) {
    unsigned random = reference ? 54321 : 12345;
    const zarvik::EvenX x{first, step, 1.0};
    const double amplitude = reference ? 1200 : 1500;
    const double pace = reference ? 0.00045 : 0.0005;
    for (int s = 0; s < what.series; ++s) {
        zarvik::LineSeries* line = chart.addLineSeries(
            QString("Ch%1").arg(s + 1), QColor::fromHsv(s * 45, reference ? 110 : 255, 200));
        line->setDashed(reference);
        line->setInLegend(!reference);
        std::vector<double> ys(static_cast<size_t>(points));
        for (int i = 0; i < points; ++i) {
            random = random * 1103515245u + 12345u;
            const auto offset =
                static_cast<int>((random >> 16) % static_cast<unsigned>(2 * what.noise + 1));
            ys[static_cast<size_t>(i)] =
                2048 + amplitude * std::sin(x(i) * pace * (s + 1)) + offset - what.noise;
        }
        line->assign(x, ys);
    }
}

void repaint(benchmark::State& state, zarvik::Chart& chart) {
    QImage image(pictureSize, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        chart.draw(painter, image.rect());
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The whole stretch 0..30000 in `points` samples per channel.
void whole(benchmark::State& state, const Signals& what, int points) {
    zarvik::Chart chart;
    chart.resize(pictureSize);
    fill(chart, what, points, 0, 30000.0 / points);
    repaint(state, chart);
}

// The same with a reference of as many points laid over it.
void withReference(benchmark::State& state, const Signals& what) {
    zarvik::Chart chart;
    chart.resize(pictureSize);
    fill(chart, what, 30000, 0, 1.0);
    fill(chart, what, 30000, 0, 1.0, true);
    repaint(state, chart);
}

// 30000 samples per channel, zoomed into 1000 of them.
void zoomed(benchmark::State& state, const Signals& what) {
    zarvik::Chart chart;
    chart.resize(pictureSize);
    fill(chart, what, 30000, 0, 1.0);
    chart.bottomAxis()->setRange(15000, 15999);
    repaint(state, chart);
}

// The 1000 samples that the zoomed chart shows, alone.
void stretch(benchmark::State& state, const Signals& what) {
    zarvik::Chart chart;
    chart.resize(pictureSize);
    fill(chart, what, 1000, 15000, 1.0);
    repaint(state, chart);
}

const Signals eight{8, 0};
const Signals one{1, 0};
const Signals eightNoisy{8, 100};

void BM_Repaint_8x30000(benchmark::State& state) {
    whole(state, eight, 30000);
}
void BM_Repaint_8x1200(benchmark::State& state) {
    whole(state, eight, 1200);
}
void BM_Repaint_1x240000(benchmark::State& state) {
    whole(state, one, 240000);
}
void BM_Repaint_1x1200(benchmark::State& state) {
    whole(state, one, 1200);
}
void BM_Repaint_8x30000_Zoomed1000(benchmark::State& state) {
    zoomed(state, eight);
}
void BM_Repaint_8x1000(benchmark::State& state) {
    stretch(state, eight);
}
void BM_Repaint_8x30000_Reference(benchmark::State& state) {
    withReference(state, eight);
}
void BM_Repaint_8x30000_Noisy(benchmark::State& state) {
    whole(state, eightNoisy, 30000);
}
void BM_Repaint_8x1200_Noisy(benchmark::State& state) {
    whole(state, eightNoisy, 1200);
}
BENCHMARK(BM_Repaint_8x30000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Repaint_8x1200)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Repaint_1x240000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Repaint_1x1200)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Repaint_8x30000_Zoomed1000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Repaint_8x1000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Repaint_8x30000_Reference)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Repaint_8x30000_Noisy)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Repaint_8x1200_Noisy)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A chart build appends a full measurement point by point; the bulk append is the baseline.
void BM_Append_240000_OneByOne(benchmark::State& state) {
    zarvik::Chart chart;
    zarvik::LineSeries* line = chart.addLineSeries();
    for (auto _ : state) {
        line->clear();
        line->reserve(240000);
        for (int i = 0; i < 240000; ++i)
            line->append(i, i % 4096);
        benchmark::DoNotOptimize(line->count());
    }
}
void BM_Append_240000_Bulk(benchmark::State& state) {
    zarvik::Chart chart;
    zarvik::LineSeries* line = chart.addLineSeries();
    std::vector<double> xs(240000);
    std::vector<double> ys(240000);
    for (int i = 0; i < 240000; ++i) {
        xs[static_cast<size_t>(i)] = i;
        ys[static_cast<size_t>(i)] = i % 4096;
    }
    for (auto _ : state) {
        line->clear();
        line->reserve(240000);
        line->append(xs.data(), ys.data(), 240000);
        benchmark::DoNotOptimize(line->count());
    }
}
BENCHMARK(BM_Append_240000_OneByOne)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Append_240000_Bulk)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Keeps the median processor time per repaint of each benchmark while printing as usual: on a
// shared machine it is steadier than the wall-clock time or a single run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

void printRatio(const RatioReporter& reporter, const char* subject, const char* baseline,
                const char* what, const char* goal) {
    const auto s = reporter.times.find(subject);
    const auto b = reporter.times.find(baseline);
    if (s != reporter.times.end() && b != reporter.times.end())
        zarvik::bench::reportFigure(what, s->second, b->second, goal);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printRatio(reporter, "BM_Repaint_8x30000", "BM_Repaint_8x1200",
               "repaint 8 x 30000 points / 8 x 1200 points", "<= 1.5");
    printRatio(reporter, "BM_Repaint_1x240000", "BM_Repaint_1x1200",
               "repaint 1 x 240000 points / 1 x 1200 points", "<= 1.5");
    printRatio(reporter, "BM_Repaint_8x30000_Zoomed1000", "BM_Repaint_8x1000",
               "repaint 8 x 30000 points zoomed to 1000 / 8 x 1000 points", "<= 1.5");
    printRatio(reporter, "BM_Repaint_8x30000_Reference", "BM_Repaint_8x30000",
               "repaint 8 x 30000 points with a reference of 8 x 30000 / without", "<= 2.2");
    printRatio(reporter, "BM_Repaint_8x30000_Noisy", "BM_Repaint_8x1200_Noisy",
               "repaint 8 x 30000 noisy points / 8 x 1200 noisy points",
               "more ink: for information");
    printRatio(reporter, "BM_Append_240000_OneByOne", "BM_Append_240000_Bulk",
               "append 240000 points one by one / in one call", "for information");
    return 0;
}
