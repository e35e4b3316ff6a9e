// The spectrum window's transform (Count 15, one stretch of 32768 samples, working storage
// and scaling included) against a 32768-point real-input transform of a general-purpose
// library, planned once beforehand. Prints the ratio of the two times per call.

#include "analysis/fft.h"

#include "bestof.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kPoints = 32768;

std::vector<double> samples() {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> code(0, 4095);
    std::vector<double> x(kPoints);
    for (double& v : x)
        v = (code(rng) - 2047) * 0.0012;
    return x;
}

using zarvik::bench::bestOfRepetitions;

void BM_FFT(benchmark::State& state) {
    const auto x = samples();
    std::vector<double> out(kPoints + 1);
    for (auto _ : state) {
        zarvik::FFT(15, x.data(), 1, kPoints, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FFT)->Unit(benchmark::kMicrosecond)->Apply(bestOfRepetitions);

void BM_LibraryRealTransform(benchmark::State& state) {
    auto* in = static_cast<double*>(fftw_malloc(sizeof(double) * kPoints));
    auto* out = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * (kPoints / 2 + 1)));
    fftw_plan plan = fftw_plan_dft_r2c_1d(kPoints, in, out, FFTW_MEASURE);
    // Planning may scribble on the arrays; an out-of-place real transform keeps its input.
    const auto x = samples();
    std::copy(x.begin(), x.end(), in);
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}
BENCHMARK(BM_LibraryRealTransform)->Unit(benchmark::kMicrosecond)->Apply(bestOfRepetitions);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    zarvik::bench::BestTimes reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.reportRatio("FFT of 32768 points / library real transform", "BM_FFT",
                         "BM_LibraryRealTransform", "<= 2.5");
    return 0;
}
