// Loading the largest data file (eight memory blocks, 480000 sample bytes) against reading the
// same file's bytes with one plain read, in the same run; prints load time / read time.
// Exporting that measurement's full view (8 channels x 30000 samples) to HDF5, MATLAB and CSV
// against writing the same arrays' bytes (codes, values, time) with one plain write each into
// one file, saved as every file of the program is (a temporary flushed to the disk, then
// renamed); against the same writes alone, for information.
// These are disk-bound: each is judged by the fastest of its repetitions in wall-clock time.

#include "files/atomicfile.h"
#include "files/d8cfile.h"
#include "files/libraryexport.h"
#include "view/chartbuild.h"

#include "bestof.h"
#include "report.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string g_file;
std::string g_exportBase;
zarvik::TMeasurement g_measurement;
zarvik::ExportView g_view;
zarvik::ChartBuildOutput g_points;
std::vector<double> g_x;
const std::vector<std::string> g_comment = {"Стенд 2, датчик 4", "нагрузка 12 кН"};

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

// One plain write per array (codes, values, time) into one file.
bool writeArrays(const std::string& name, const zarvik::AnalysisData& d) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = fd >= 0;
    ok = ok && ::write(fd, d.codes.data(), d.codes.size() * 2) > 0;
    ok = ok && ::write(fd, d.values.data(), d.values.size() * 8) > 0;
    ok = ok && ::write(fd, d.time.data(), d.time.size() * 8) > 0;
    return (fd >= 0 && ::close(fd) == 0) && ok;
}

// The arrays saved as the program saves every file: into a temporary beside the target,
// flushed to the disk and renamed over it.
void BM_PlainWriteOfTheArraysSaved(benchmark::State& state) {
    const zarvik::AnalysisData d = zarvik::analysisData(g_measurement, g_comment, g_view);
    const std::string name = g_exportBase + ".bin";
    for (auto _ : state)
        zarvik::replaceFileByName(name,
                                  [&d](const std::string& temp) { return writeArrays(temp, d); });
    std::remove(name.c_str());
}
BENCHMARK(BM_PlainWriteOfTheArraysSaved)
    ->Unit(benchmark::kMillisecond)
    ->Apply(zarvik::bench::bestOfRepetitions);

void BM_PlainWriteOfTheArrays(benchmark::State& state) {
    const zarvik::AnalysisData d = zarvik::analysisData(g_measurement, g_comment, g_view);
    const std::string name = g_exportBase + ".bin";
    for (auto _ : state)
        if (!writeArrays(name, d))
            state.SkipWithError("the plain write failed");
    std::remove(name.c_str());
}
BENCHMARK(BM_PlainWriteOfTheArrays)
    ->Unit(benchmark::kMillisecond)
    ->Apply(zarvik::bench::bestOfRepetitions);

void exportView(const char* ext, zarvik::AnalysisWriter write, benchmark::State& state) {
    const std::string name = g_exportBase + ext;
    for (auto _ : state) {
        if (write)
            zarvik::writeAnalysisExport(g_measurement, name, g_comment, g_view, write);
        else
            zarvik::writeTextExport(g_measurement, name, ';', g_comment, g_view, ',', 0.0,
                                    [](double) { return std::string("08.12.2026 10:00:00"); });
    }
    std::remove(name.c_str());
}

void BM_ExportHdf5(benchmark::State& state) {
    exportView(".h5", zarvik::writeHdf5File, state);
}
BENCHMARK(BM_ExportHdf5)->Unit(benchmark::kMillisecond)->Apply(zarvik::bench::bestOfRepetitions);

void BM_ExportMat(benchmark::State& state) {
    exportView(".mat", zarvik::writeMatFile, state);
}
BENCHMARK(BM_ExportMat)->Unit(benchmark::kMillisecond)->Apply(zarvik::bench::bestOfRepetitions);

void BM_ExportCsv(benchmark::State& state) {
    exportView(".csv", nullptr, state);
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Apply(zarvik::bench::bestOfRepetitions);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            m_times[zarvik::bench::isBest(r) ? r.run_name.function_name + "_best"
                                             : r.benchmark_name()] = r.GetAdjustedRealTime();
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

    // The same array as eight channels of 30000 samples, drawn in physical units.
    g_measurement = m;
    g_measurement.ChannelMask = 0xFF;
    g_measurement.FromFile = true;
    g_measurement.FileName = g_file;
    zarvik::ChartBuildInput in;
    in.timeUnitDivisor = 1000.0;
    for (int n = 1; n <= zarvik::kChannels; ++n)
        in.checked[n] = true;
    zarvik::buildChannelPoints(g_measurement, in, g_points);
    g_x.resize(g_points.channels[1].y.size());
    for (std::size_t i = 0; i < g_x.size(); ++i)
        g_x[i] = g_points.x(i);
    for (int n = 1; n <= zarvik::kChannels; ++n) {
        g_view.checked[n] = true;
        g_view.series[n] = {g_x.data(), g_points.channels[n].y.data(), g_x.size()};
    }
    g_view.VisibleFirst = 0;
    g_view.VisibleLast = static_cast<int>(g_x.size()) - 1;
    g_view.leftAxisTitle = m.YTitle;
    g_view.bottomAxisTitle = m.XTitle;
    g_exportBase = (dir / "zarvik-bench-export").string();

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove(g_file);

    const double read = reporter.time("BM_PlainRead");
    const double load = reporter.time("BM_LoadD8c");
    zarvik::bench::reportFigure("load of a 480000-byte file / plain read of it", load, read,
                                "<= 3");
    const double saved = reporter.time("BM_PlainWriteOfTheArraysSaved_best");
    const double plain = reporter.time("BM_PlainWriteOfTheArrays_best");
    const std::string versions = zarvik::libraryVersions();
    std::printf("libraries: %s\n", versions.c_str());
    zarvik::bench::reportFigure("HDF5 export of 8 x 30000 / plain writes of its arrays, saved",
                                reporter.time("BM_ExportHdf5_best"), saved, "<= 2");
    zarvik::bench::reportFigure("MATLAB export of 8 x 30000 / plain writes of its arrays, saved",
                                reporter.time("BM_ExportMat_best"), saved, "<= 2");
    zarvik::bench::reportFigure("CSV export of 8 x 30000 / plain writes of the arrays, saved",
                                reporter.time("BM_ExportCsv_best"), saved, "for information");
    zarvik::bench::reportFigure("HDF5 export of 8 x 30000 / plain writes, not flushed",
                                reporter.time("BM_ExportHdf5_best"), plain, "for information");
    zarvik::bench::reportFigure("MATLAB export of 8 x 30000 / plain writes, not flushed",
                                reporter.time("BM_ExportMat_best"), plain, "for information");
    return 0;
}
