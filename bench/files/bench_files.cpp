// Loading the largest data file (eight memory blocks, 480000 sample bytes) against reading the
// same file's bytes with one plain read, in the same run; prints load time / read time.

#include "files/d8cfile.h"

#include "report.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

std::string g_file;

void BM_PlainRead(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(g_file));
    for (auto _ : state) {
        std::vector<char> bytes(size);
        std::ifstream in(g_file, std::ios::binary);
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_PlainRead);

void BM_LoadD8c(benchmark::State& state) {
    for (auto _ : state) {
        zarvik::TMeasurement m;
        zarvik::applyLoadedD8c(m, zarvik::loadD8cFile(g_file));
        benchmark::DoNotOptimize(m.SampleData.data());
    }
}
BENCHMARK(BM_LoadD8c);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            m_times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv) {
    zarvik::TMeasurement m;
    m.ChannelMask = 0x05;
    m.SamplePeriodUs = 10.0;
    m.XTitle = "Время, мс";
    m.YTitle = "Ускорение, см/с/c";
    m.ChannelsLine = "Каналы 13";
    m.SampleData.resize(480000);
    for (std::size_t i = 0; i < m.SampleData.size(); ++i)
        m.SampleData[i] = static_cast<std::uint8_t>(i % 2 ? (i / 2) % 16 : i % 256);
    const auto dir = std::filesystem::temp_directory_path();
    g_file = (dir / "zarvik-bench-480000.d8c").string();
    zarvik::saveD8cFile(m, g_file, {"Стенд 2, датчик 4", "нагрузка 12 кН"}, std::nullopt);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove(g_file);

    const double read = reporter.time("BM_PlainRead");
    const double load = reporter.time("BM_LoadD8c");
    zarvik::bench::reportFigure("load of a 480000-byte file / plain read of it", load, read,
                                "<= 3");
    return 0;
}
