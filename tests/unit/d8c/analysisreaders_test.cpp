// The HDF5, MATLAB, NumPy and WAV files read back with the tools analysts use (h5py,
// scipy.io, numpy, h5dump): every number and attribute as the CSV table of the same view
// writes it (read_analysis_files.py), and the same view giving the same bytes.

#include "commands.h"
#include "files/d8cformat.h"
#include "files/filetime.h"
#include "unit/files/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

namespace zarvik::test {
namespace {

// Eight channels of 3000 instants at 4 kHz, every code from 0 to 4095 somewhere, and
// calibrations whose numbers need all 15 digits or an exponent.
std::string writeEightChannels(const TempDir& dir) {
    TMeasurement m;
    m.ChannelMask = 0xFF;
    m.SamplePeriodUs = 250.0;
    m.XTitle = "Время, мс";
    m.YTitle = "Ускорение, см/с/c";
    const double scales[] = {0.1, 3e-7, -2.5, 250.0, 1.0 / 3.0, 1e20, 12345.678901234, 0.001};
    const double shifts[] = {2047.0, 2040.5, 0.0, 4095.0, 1e-3, 2047.0, -7.25, 2047.0 / 3.0};
    for (int n = 1; n <= kChannels; ++n) {
        m.Scale[n] = scales[n - 1];
        m.Shift[n] = shifts[n - 1];
    }
    for (int j = 0; j < 3000; ++j)
        for (int n = 1; n <= kChannels; ++n) {
            const int code =
                n == 1 ? j % 4096
                       : static_cast<int>(std::lround(2047.5 + 2047.5 * std::sin(j * 0.01 * n)));
            m.SampleData.push_back(static_cast<std::uint8_t>(code & 0xFF));
            m.SampleData.push_back(static_cast<std::uint8_t>(code >> 8));
        }
    const std::string file = dir.file("стенд.d8c");
    writeBytes(file, encodeD8c(m, {"Стенд 2", "", "нагрузка \"12\" кН; ток 1,5 А"}));
    setLastWriteTime(file, encodeMeasuredAt({2026, 3, 14, 9, 26, 52, 0}));
    return file;
}

void d8c(std::vector<std::string> args, const std::string& file) {
    args.push_back(file);
    d8c::Environment env;
    env.now = [] { return encodeMeasuredAt({2026, 12, 8, 10, 0, 0, 0}); };
    std::ostringstream out, err;
    ASSERT_EQ(d8c::runD8c(args, out, err, env), d8c::kExitDone) << err.str();
}

// Runs a command; its exit status and what it said.
std::pair<int, std::string> run(const std::string& command) {
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr)
        return {-1, "cannot run " + command};
    std::string said;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, p) != nullptr)
        said += buf;
    const int status = pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

TEST(AnalysisFiles, TheReadersOfAnalystsFindTheTablesNumbers) {
    TempDir dir;
    const std::string data = writeEightChannels(dir);
    const struct {
        const char* name;
        std::vector<std::string> view;
        const char* units;
    } cases[] = {
        {"eight", {}, "physical"},
        {"zoomed",
         {"--channels", "1,3", "--from", "200", "--to", "612.5", "--smooth", "16", "--units",
          "adc"},
         "adc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = dir.file(c.name);
        std::filesystem::create_directory(folder);
        std::vector<std::string> view = c.view;
        view.insert(view.end(), {"--time-unit", "s", "--decimal-separator", "."});
        std::vector<std::string> codes = {"export", "--units", "adc", "--decimal-separator", "."};
        for (std::size_t i = 0; i < c.view.size(); i += 2)
            if (c.view[i] != "--smooth" && c.view[i] != "--units")
                codes.insert(codes.end(), {c.view[i], c.view[i + 1]});
        codes.insert(codes.end(), {"-o", folder + "/codes.csv"});
        d8c(codes, data);
        for (const char* file : {"values.csv", "view.h5", "view.mat", "view.npy", "view.wav"}) {
            std::vector<std::string> args = {"export", "-o", folder + "/" + file};
            args.insert(args.end(), view.begin(), view.end());
            d8c(args, data);
        }
        const auto [status, said] = run("'" ZARVIK_PYTHON "' '" READ_ANALYSIS_FILES "' '" + folder +
                                        "' " + c.units + " 250 2026-03-14T09:26:52");
        EXPECT_EQ(status, 0) << said;
        EXPECT_EQ(said, "");
    }
}

TEST(AnalysisFiles, TheSameViewGivesTheSameBytesWhateverTheTime) {
    TempDir dir;
    const std::string data = writeEightChannels(dir);
    for (const char* name : {"view.h5", "view.mat"}) {
        SCOPED_TRACE(name);
        const std::string file = dir.file(name);
        d8c({"export", "--smooth", "4", "-o", file}, data);
        const std::vector<std::uint8_t> first = readBytes(file);
        const auto [status, dump] = run("h5dump '" + file + "'");
        // A time kept in the file would change with the clock's second.
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        d8c({"export", "--smooth", "4", "-o", file}, data);
        EXPECT_EQ(readBytes(file), first);
        if (std::string(name) == "view.h5") {
            EXPECT_EQ(status, 0) << dump;
            EXPECT_EQ(run("h5dump '" + file + "'"), std::make_pair(status, dump));
        }
    }
}

} // namespace
} // namespace zarvik::test
