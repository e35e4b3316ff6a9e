// A series of 10 measurements of one memory block each, no pause, from the simulated board
// paced at the line rate: the whole series against 10 x (the board's measuring time + the
// line time of its 120 packets). Also what the program itself adds between one measurement's
// last packet and the next start command, where the board's protocol asks for nothing.

#include "boardsim.h"
#include "device/linkfigures.h"
#include "device/measurementcycle.h"
#include "device/measurementseries.h"
#include "shell/tform1.h"

#include "report.h"
#include "windowbench.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

namespace sim = zarvik::boardsim;
using Clock = std::chrono::steady_clock;

constexpr int kMeasurements = 10;

void series(benchmark::State& state) {
    const int F = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const std::string link = (dir.path() + "/board").toStdString();
    sim::BoardOptions o;
    o.pace = true;
    o.linkPath = link;
    sim::BoardSim board(o);
    board.open();
    board.start();
    qputenv("ZARVIK_PORT", QByteArray::fromStdString(link));
    zarvik::TForm1 form(dir.path() + "/");
    for (int n = 1; n <= 8; ++n)
        form.cbCh[n]->setChecked(true);
    form.gbFT->seSamples->setValue(30000);
    form.gbFT->seF->setValue(F);
    zarvik::SeriesPlan plan;
    plan.count = kMeasurements;
    form.series()->applyPlan(plan);

    const int divisor = static_cast<int>(std::lround(14745600.0 / F));
    const double expected =
        kMeasurements * (sim::measureSeconds(0xFF, static_cast<std::uint32_t>(divisor), 1) +
                         zarvik::lineTimeMs(120) / 1000.0);
    double total = 0;
    double gapMs = 0;
    for (auto _ : state) {
        board.clearRecord();
        form.gbFT->btSeries->click();
        while (form.series()->running() || form.cycle()->busy())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        const auto bytes = board.hostBytes();
        const auto ends = board.packetEnds();
        std::vector<Clock::time_point> starts;
        for (const sim::HostByte& b : bytes)
            if (b.byte == 0x19)
                starts.push_back(b.at);
        if (starts.size() != kMeasurements || ends.size() != kMeasurements * 120u) {
            state.SkipWithError("the series did not take its measurements whole");
            break;
        }
        total = std::chrono::duration<double>(ends.back() - starts.front()).count();
        state.SetIterationTime(total);
        double gaps = 0;
        for (int i = 1; i < kMeasurements; ++i)
            gaps +=
                std::chrono::duration<double, std::milli>(starts[i] - ends[i * 120 - 1]).count();
        gapMs = gaps / (kMeasurements - 1);
    }
    board.stop();
    const std::string what =
        "series of 10 x 1 block at " + std::to_string(F) + " Hz (s) / 10 x (measuring + line time)";
    zarvik::bench::reportFigure(what.c_str(), total, expected, "<= 1.10");
    std::printf("last packet to the next start command: %.2f ms on average; the board's protocol "
                "adds 400 ms before each read command\n",
                gapMs);
}

} // namespace

BENCHMARK(series)
    ->Arg(2048)
    ->Arg(512)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

int main(int argc, char** argv) {
    zarvik::bench::WindowBenchmarks application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
