// The averaged spectrum of a 65536-point stretch in 8 half-overlapping segments with the Hann
// window (the listing as the window makes it, up to 1 Hz) against 8 plain transforms of the
// same segment length. Prints the ratio of the two times per call.

#include "analysis/fft.h"
#include "analysis/spectrum.h"

#include "bestof.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kPoints = 65536;
constexpr int kSegments = 8;

std::vector<double> samples() {
    std::vector<double> x(kPoints);
    for (int j = 0; j < kPoints; ++j)
        x[static_cast<std::size_t>(j)] = 2047 + 1500 * std::sin(0.1534 * j) + (j * 7919 % 97);
    return x;
}

using zarvik::bench::bestOfRepetitions;

void BM_AveragedSpectrum(benchmark::State& state) {
    const auto x = samples();
    zarvik::SpectrumRequest r;
    r.visibleFirst = 0;
    r.visibleLast = kPoints - 1;
    r.samplePeriodUs = 1000.0;
    r.fmaxHz = 1;
    r.window = zarvik::WindowFunction::Hann;
    r.segments = kSegments;
    std::vector<double> amplitude;
    for (auto _ : state) {
        auto listing = zarvik::listSpectrum(x, r, amplitude);
        benchmark::DoNotOptimize(listing);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AveragedSpectrum)->Unit(benchmark::kMicrosecond)->Apply(bestOfRepetitions);

void BM_PlainTransforms(benchmark::State& state) {
    const auto x = samples();
    const int length = zarvik::segmentPoints(kPoints, kSegments);
    std::vector<double> out;
    for (auto _ : state) {
        for (int k = 0; k < kSegments; ++k)
            zarvik::FFT(15, x.data() + k * (length / 2), 1, length, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainTransforms)->Unit(benchmark::kMicrosecond)->Apply(bestOfRepetitions);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    zarvik::bench::BestTimes reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.reportRatio("spectrum averaged over 8 segments / 8 plain transforms",
                         "BM_AveragedSpectrum", "BM_PlainTransforms", "<= 1.2");
    return 0;
}
