// Start-up of the program to its main window shown, against a bare Qt Widgets program showing
// one window, each a process of its own started afresh; and the resident memory a full
// measurement adds once it is loaded and drawn, against the program holding none.

#include "files/d8cfile.h"
#include "files/datafilehandlers.h"
#include "shell/startup.h"

#include "report.h"
#include "shown.h"
#include "windowbench.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string g_folder;

// Starts `program` and returns the seconds until it reported its window shown, or a
// negative count when it did not.
double secondsToShown(const std::string& path) {
    int out[2];
    if (pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    const auto begin = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const bool started = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[64];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    if (!started || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0 || text.empty())
        return -1;
    const std::chrono::steady_clock::time_point shown{
        std::chrono::nanoseconds(std::strtoll(text.c_str(), nullptr, 10))};
    return std::chrono::duration<double>(shown - begin).count();
}

void timeStart(benchmark::State& state, const char* program) {
    const std::string path = g_folder + program;
    for (auto _ : state) {
        const double seconds = secondsToShown(path);
        if (seconds < 0) {
            state.SkipWithError(("could not run " + path).c_str());
            return;
        }
        state.SetIterationTime(seconds);
    }
}

// Process starts vary with the rest of the machine; the fastest of several is the program's.
void startSettings(benchmark::internal::Benchmark* b) {
    b->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10)
        ->Repetitions(3)
        ->ComputeStatistics("best", [](const std::vector<double>& v) {
            return *std::min_element(v.begin(), v.end());
        });
}

void BM_BareWindowStart(benchmark::State& state) {
    timeStart(state, "startup_bare");
}
BENCHMARK(BM_BareWindowStart)->Apply(startSettings);

void BM_ProgramStart(benchmark::State& state) {
    timeStart(state, "startup_program");
}
BENCHMARK(BM_ProgramStart)->Apply(startSettings);

class StartReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "best")
                (r.run_name.function_name == "BM_ProgramStart" ? m_program : m_bare) =
                    r.GetAdjustedRealTime();
    }
    double m_bare = 0;
    double m_program = 0;
};

long residentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Eight channels of 30000 samples, the most the board holds.
void writeLargestFile(const std::string& name) {
    zarvik::TMeasurement m;
    m.ChannelMask = 0xFF;
    m.SamplePeriodUs = 122.0703125;
    m.XTitle = "Время, мс";
    m.YTitle = "Напряжение, В";
    m.SampleData.resize(480000);
    for (std::size_t i = 0; i < m.SampleData.size(); ++i)
        m.SampleData[i] = static_cast<std::uint8_t>(i % 2 ? (i / 2) % 16 : i % 256);
    zarvik::saveD8cFile(m, name, {"Стенд 2"}, std::nullopt);
}

void reportMemory(int& argc, char** argv) {
    zarvik::bench::WindowBenchmarks app(argc, argv);
    QApplication::setApplicationName("Zarvik");
    QTemporaryDir dir;
    const std::string file = dir.filePath("largest.d8c").toStdString();
    writeLargestFile(file);

    zarvik::ProgramWindows windows;
    zarvik::bench::untilShown(windows.form);
    const long before = residentKiB();
    windows.form.Measurement.FileName = file;
    if (!windows.form.dataFiles()->readFileName()) {
        std::fprintf(stderr, "the largest file was not read\n");
        return;
    }
    windows.form.repaint();
    QApplication::processEvents();
    const long after = residentKiB();
    std::printf(
        "resident memory added by a full measurement loaded and drawn %.1f MB (goal < 20 MB); "
        "the program without one %.1f MB\n",
        (after - before) / 1024.0, before / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_folder = std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";

    benchmark::Initialize(&argc, argv);
    StartReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    zarvik::bench::reportFigure("start-up to the main window shown / a bare window",
                                reporter.m_program, reporter.m_bare, "<= 1.5");
    reportMemory(argc, argv);
    return 0;
}
