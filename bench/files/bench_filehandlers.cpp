// The window side of the data files, each against a plain read of the same bytes in the same
// run:
// - opening the largest data file (eight memory blocks, 480000 sample bytes) and drawing it:
//   the reader of the main window, which loads, fills the measurement and builds the chart's
//   series (their painting is the repaint benchmark's), against reading the file and turning
//   its words into doubles;
// - the comment list of a folder of such files, which seeks over every sample block, against
//   reading each file whole.

#include "files/commentbrowser.h"
#include "files/d8cfile.h"
#include "files/datafilehandlers.h"
#include "files/folderlisting.h"
#include "shell/tform1.h"

#include "report.h"
#include "windowbench.h"

#include <QApplication>
#include <QCheckBox>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFolderFiles = 40;

QString g_folder;
std::string g_file;
zarvik::TForm1* g_form = nullptr;

std::size_t plainRead(const std::string& fileName) {
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(fileName));
    std::vector<char> bytes(size);
    std::ifstream in(fileName, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    benchmark::DoNotOptimize(bytes.data());
    return size;
}

// The least any viewer of the file must do: read it, and turn its sample words into numbers.
void BM_PlainReadAndWordsIntoDoubles(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(g_file));
    std::vector<unsigned char> bytes(size);
    std::vector<double> values(size / 2);
    for (auto _ : state) {
        std::ifstream in(g_file, std::ios::binary);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<double>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainReadAndWordsIntoDoubles)->Unit(benchmark::kMicrosecond);

void BM_OpenAndDraw(benchmark::State& state) {
    for (auto _ : state) {
        g_form->Measurement.FileName = g_file;
        if (!g_form->dataFiles()->readFileName())
            state.SkipWithError("the file was not read");
    }
}
BENCHMARK(BM_OpenAndDraw)->Unit(benchmark::kMicrosecond);

void BM_PlainReadOfTheFolder(benchmark::State& state) {
    const QStringList names = zarvik::listFolder(g_folder, "*.d8c");
    for (auto _ : state)
        for (const QString& name : names)
            plainRead(zarvik::inFolder(g_folder, name).toStdString());
}
BENCHMARK(BM_PlainReadOfTheFolder)->Unit(benchmark::kMicrosecond);

void BM_CommentList(benchmark::State& state) {
    for (auto _ : state) {
        const QStringList names = zarvik::listFolder(g_folder, "*.d8c");
        const QStringList lines = zarvik::commentListLines(g_folder, names);
        benchmark::DoNotOptimize(lines.size());
    }
}
BENCHMARK(BM_CommentList)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            m_times[r.benchmark_name()] = r.GetAdjustedRealTime() * multiplier(r.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0.0 : it->second;
    }

private:
    static double multiplier(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kSecond:
            return 1e9;
        case benchmark::kMillisecond:
            return 1e6;
        case benchmark::kMicrosecond:
            return 1e3;
        default:
            return 1.0;
        }
    }
    std::map<std::string, double> m_times;
};

void printRatio(const RatioReporter& r, const char* what, const char* subject, const char* baseline,
                const char* goal) {
    const double s = r.time(subject);
    const double b = r.time(baseline);
    zarvik::bench::reportFigure(what, s, b, goal);
}

zarvik::TMeasurement largestMeasurement() {
    zarvik::TMeasurement m;
    m.ChannelMask = 0x05;
    m.SamplePeriodUs = 10.0;
    m.XTitle = "Время, мс";
    m.YTitle = "Ускорение, см/с/c";
    m.FromFile = true;
    m.SampleData.resize(480000);
    for (std::size_t i = 0; i < m.SampleData.size(); ++i)
        m.SampleData[i] = static_cast<std::uint8_t>(i % 2 ? (i / 2) % 16 : i % 256);
    return m;
}

} // namespace

int main(int argc, char** argv) {
    zarvik::bench::WindowBenchmarks app(argc, argv);

    QTemporaryDir dir;
    g_folder = dir.path();
    zarvik::TMeasurement m = largestMeasurement();
    for (int i = 0; i < kFolderFiles; ++i) {
        const std::string name =
            zarvik::inFolder(g_folder, QString("run%1.d8c").arg(i, 3, 10, QChar('0')))
                .toStdString();
        zarvik::saveD8cFile(m, name, {"Стенд 2, датчик " + std::to_string(i), "нагрузка 12 кН"},
                            std::nullopt);
    }
    g_file = zarvik::inFolder(g_folder, "run000.d8c").toStdString();

    zarvik::TForm1 form(dir.path() + "/");
    g_form = &form;

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    printRatio(reporter,
               "open and draw a 480000-byte file / plain read of it and its words into doubles",
               "BM_OpenAndDraw", "BM_PlainReadAndWordsIntoDoubles", "<= 2");
    printRatio(reporter, "comment list of 40 such files / plain read of them", "BM_CommentList",
               "BM_PlainReadOfTheFolder", "<= 1");
    return 0;
}
