// The d8c tool's contract with scripts: exit codes, the messages naming each file, batches
// that go on past a bad file, outputs written safely, and its own pieces (the stretch between
// two times, the date patterns). Its bytes are held against the program's in
// tests/gui/d8c.

#include "commands.h"
#include "common/cp1251.h"
#include "files/d8cformat.h"
#include "files/filetime.h"
#include "fileview.h"
#include "unit/files/tempdir.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace zarvik::test {
namespace {

#ifdef ZARVIK_HDF5_MAT
constexpr bool kLibraryFormats = true;
#else
constexpr bool kLibraryFormats = false;
#endif

// Channels 2 and 5, 400 instants at 1 kHz.
std::string writeMeasurement(const TempDir& dir, const std::string& name) {
    TMeasurement m;
    m.ChannelMask = 0x12;
    m.SamplePeriodUs = 1000.0;
    m.XTitle = "Время, мс";
    m.YTitle = "Сила, Н";
    for (int j = 0; j < 400; ++j)
        for (int w : {2047 + j, 4095 - j}) {
            m.SampleData.push_back(static_cast<std::uint8_t>(w & 0xFF));
            m.SampleData.push_back(static_cast<std::uint8_t>(w >> 8));
        }
    const std::vector<std::uint8_t> image = encodeD8c(m, {"Стенд 2", "нагрузка \"12\" кН"});
    const std::string file = dir.file(name);
    writeBytes(file, image);
    setLastWriteTime(file, encodeMeasuredAt({2026, 3, 14, 9, 26, 52, 0}));
    return file;
}

struct ToolRun {
    int exit = -1;
    std::string out;
    std::string err;
};

ToolRun d8c(const std::vector<std::string>& args, std::vector<std::string>* progress = nullptr,
            const d8c::LocaleFormats& locale = {}) {
    d8c::Environment env;
    if (progress)
        env.progress = [progress](std::size_t i, std::size_t n, const std::string& file) {
            progress->push_back(std::to_string(i) + "/" + std::to_string(n) + " " + file);
        };
    env.locale = locale;
    env.now = [] { return encodeMeasuredAt({2026, 12, 8, 10, 0, 0, 0}); };
    std::ostringstream out, err;
    ToolRun r;
    r.exit = d8c::runD8c(args, out, err, env);
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(D8cTool, UsageErrorsDoNothingAndExitTwo) {
    TempDir dir;
    const std::string f = writeMeasurement(dir, "run.d8c");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "Usage: d8c COMMAND"},
        {{"plot", f}, "d8c: unknown command \"plot\""},
        {{"info"}, "d8c: info needs at least one data file"},
        {{"info", "--csv", f}, "d8c: unknown option --csv"},
        {{"export", f}, "d8c: give --csv, --txt, --hdf5, --mat, --npy or --wav"},
        {{"export", "--csv", "--npy", f},
         "d8c: give one of --csv, --txt, --hdf5, --mat, --npy and"},
        {{"export", "--npy", "-o", "-", f}, "d8c: -o - writes a text table; give the NumPy file"},
        {{"export", "--wav", "--date-format", "HH", f},
         "d8c: --date-format is for the text tables"},
#ifndef ZARVIK_HDF5_MAT
        {{"export", "-o", dir.file("run.h5"), f}, "d8c: this build of d8c writes no HDF5 files"},
#endif
        {{"export", "--csv", "-o", "-", f, f}, "d8c: -o - writes one file's table"},
        {{"export", "--csv", "--smooth", "1", f}, "d8c: --smooth takes a whole number 2..512"},
        {{"export", "--csv", "--units", "volts", f}, "d8c: --units takes adc or physical"},
        {{"export", "--csv", "--channels", "2,9", f}, "d8c: --channels takes a whole number 1..8"},
        {{"export", "--csv", "--from", "1,5", f}, "d8c: --from takes a time in ms"},
        {{"export", "--csv", "--from", "20", "--to", "10", f}, "d8c: --from is later than --to"},
        {{"export", "--csv", "--x", "both", f}, "d8c: --x takes time, samples or none"},
        {{"export", "--csv", "--decimal-separator", "::", f}, "d8c: --decimal-separator takes"},
        {{"spectrum", "--step", "3", f}, "d8c: --step takes 1, 2, 4, 8, 16 or 32"},
        {{"spectrum", "--fmax", "501", f}, "d8c: --fmax takes a whole number 1..500"},
        {{"spectrum", "--window", "hanning", f},
         "d8c: --window takes rect, hann, hamming, blackman or flattop, not \"hanning\""},
        {{"spectrum", "--average", "65", f}, "d8c: --average takes a whole number 1..64"},
        {{"spectrum", "--db=yes", f}, "d8c: option --db takes no value"},
        {{"trend", "--channel", "0", f}, "d8c: --channel takes a whole number 1..8"},
        {{"trend", "--json", f}, "d8c: unknown option --json"},
        {{"stats"}, "d8c: stats needs at least one data file"},
        {{"stats", "--x", "samples", f}, "d8c: unknown option --x"},
        {{"stats", "--channels", "", f}, "d8c: --channels takes a whole number 1..8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const ToolRun r = d8c(c.args);
        EXPECT_EQ(r.exit, d8c::kExitUsage);
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(dir.names().size(), 1u) << "a usage error wrote a file";
}

TEST(D8cTool, ABadFileIsNamedAndTheBatchGoesOn) {
    TempDir dir;
    const std::string good = writeMeasurement(dir, "good.d8c");
    const std::string notOurs = dir.file("notes.d8c");
    writeBytes(notOurs, std::vector<std::uint8_t>(200, 'x'));
    std::vector<std::uint8_t> cut = readBytes(good);
    cut.resize(cut.size() - 900);
    const std::string truncated = dir.file("cut.d8c");
    writeBytes(truncated, cut);
    const std::string missing = dir.file("missing.d8c");
    std::vector<std::uint8_t> timeless = readBytes(good);
    std::fill(timeless.begin() + 9, timeless.begin() + 17, 0); // SamplePeriodUs 0
    const std::string noRate = dir.file("norate.d8c");
    writeBytes(noRate, timeless);

    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"export", "--wav", "-o", dir.file("sounds/"), noRate, good},
         "d8c: " + noRate +
             ": the file's sampling period gives no sample rate a WAV file can hold\n"},
        {{"export", "--npy", "-o", dir.file("arrays/"), notOurs, good},
         "d8c: " + notOurs + ": not a data file of the converter (.d8c)\n"},
#ifdef ZARVIK_HDF5_MAT
        {{"export", "--hdf5", "-o", dir.file("h5/"), truncated, good},
         "d8c: " + truncated + ": the file ends inside its sample block\n"},
        {{"export", "--mat", "-o", dir.file("mat/"), missing, good},
         "d8c: " + missing + ": cannot open the file\n"},
#endif
        {{"info", missing, good}, "d8c: " + missing + ": cannot open the file\n"},
        {{"info", notOurs, good},
         "d8c: " + notOurs + ": not a data file of the converter (.d8c)\n"},
        {{"spectrum", truncated, good},
         "d8c: " + truncated + ": the file ends inside its sample block\n"},
        {{"trend", "--channel", "3", good, good},
         "d8c: " + good + ": channel 3 is not in the file (it holds channels 2,5)\nd8c: " + good +
             ": channel 3 is not in the file (it holds channels 2,5)\n"},
        {{"spectrum", "--from", "900", good, good},
         "d8c: " + good +
             ": nothing to analyse: no point lies between the times, or the file "
             "has no sampling period\nd8c: " +
             good +
             ": nothing to analyse: no point "
             "lies between the times, or the file has no sampling period\n"},
        {{"spectrum", "--from", "380", "--average", "3", truncated, good},
         "d8c: " + truncated + ": the file ends inside its sample block\nd8c: " + good +
             ": --average 3 leaves fewer than 16 points in a segment of the stretch: average "
             "fewer segments, take a smaller --step or a longer stretch\n"},
        {{"stats", "--to", "0.5", good},
         "d8c: " + good +
             ": nothing to analyse: no point lies between the times, or the file has no "
             "sampling period\n"},
        {{"stats", "--channels", "2,3", good},
         "d8c: " + good + ": channel 3 is not in the file (it holds channels 2,5)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args[1]);
        const ToolRun r = d8c(c.args);
        EXPECT_EQ(r.exit, d8c::kExitSomeFailed);
        EXPECT_EQ(r.err, c.message);
    }
    // The good file of a failed batch is still written, and listed; the progress line is cleared
    // before the message and at the end.
    std::vector<std::string> progress;
    const ToolRun info = d8c({"info", missing, good}, &progress);
    EXPECT_EQ(progress,
              (std::vector<std::string>{"0/2 " + missing, "2/2 ", "1/2 " + good, "2/2 "}));
    EXPECT_NE(info.out.find("channels:            2 5\n"), std::string::npos) << info.out;
    EXPECT_EQ(dir.names().size(), 4u + 2 + (kLibraryFormats ? 2 : 0)) << "one folder per export";
    for (const char* written : {"sounds/good.wav", "arrays/good.npy"})
        EXPECT_FALSE(readBytes(dir.file(written)).empty()) << written;
    if (kLibraryFormats) {
        for (const char* written : {"h5/good.h5", "mat/good.mat"})
            EXPECT_FALSE(readBytes(dir.file(written)).empty()) << written;
    }
    EXPECT_EQ(d8c({"trend", good}).exit, d8c::kExitDone);
}

TEST(D8cTool, InfoListsTheFileAndItsJsonEscapesTexts) {
    TempDir dir;
    const std::string f = writeMeasurement(dir, "run.d8c");
    const ToolRun text = d8c({"info", f});
    ASSERT_EQ(text.exit, 0) << text.err;
    for (const char* line :
         {"sampling period:     1000 us\n", "sampling frequency:  1000 Hz\n",
          "samples per channel: 400\n", "duration:            400 ms\n",
          "y title:             Сила, Н\n", "measured:            2026-03-14 09:26:52\n",
          "comment:             Стенд 2\n                     нагрузка"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line;
    const ToolRun json = d8c({"info", "--json", f, f});
    EXPECT_EQ(json.out.rfind("[\n  {\n", 0), 0u);
    EXPECT_NE(json.out.find("\"channels\": [2, 5],"), std::string::npos);
    EXPECT_NE(json.out.find("\"comment\": [\"Стенд 2\", \"нагрузка \\\"12\\\" кН\"]"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("  },\n  {\n"), std::string::npos);
}

TEST(D8cTool, ExportsIntoAFolderBesideTheFilesOrToOneName) {
    TempDir dir;
    const std::string a = writeMeasurement(dir, "a.d8c");
    const std::string b = writeMeasurement(dir, "b.d8c");
    const ToolRun one =
        d8c({"export", "--txt", "-o", "-", "--units", "adc", "--decimal-separator", ",", a});
    ASSERT_EQ(one.exit, 0) << one.err;
    EXPECT_NE(one.out.find(utf8ToCp1251("Время, мкс\t2\t5\t\r1000\t2048\t4094\t\r")),
              std::string::npos);

    ASSERT_EQ(d8c({"export", "--txt", "--units", "adc", "--decimal-separator", ",", "-o",
                   dir.file("tables"), a, b})
                  .exit,
              0);
    const std::vector<std::uint8_t> expected(one.out.begin(), one.out.end());
    EXPECT_EQ(readBytes(dir.file("tables/a.txt")), expected);
    // The table takes the measurement's time, as the program's save does.
    EXPECT_EQ(lastWriteTime(dir.file("tables/a.txt")),
              encodeMeasuredAt({2026, 3, 14, 9, 26, 52, 0}));
    EXPECT_FALSE(readBytes(dir.file("tables/b.txt")).empty());

    ASSERT_EQ(d8c({"export", "--csv", a}).exit, 0);
    EXPECT_FALSE(readBytes(dir.file("a.csv")).empty());
    ASSERT_EQ(d8c({"export", "-o", dir.file("named.csv"), b}).exit, 0);
    EXPECT_FALSE(readBytes(dir.file("named.csv")).empty());

    // Two data files of one name would give one table twice.
    std::filesystem::create_directory(dir.path() / "other");
    const std::string again = writeMeasurement(dir, "other/a.d8c");
    const ToolRun clash = d8c({"export", "--csv", "-o", dir.file("tables"), a, again});
    EXPECT_EQ(clash.exit, d8c::kExitSomeFailed);
    EXPECT_NE(clash.err.find(again + ": the table "), std::string::npos) << clash.err;
    // Nor does a table replace its own data file.
    const ToolRun self = d8c({"export", "--csv", "-o", a, a});
    EXPECT_EQ(self.exit, d8c::kExitSomeFailed);
    EXPECT_EQ(readBytes(a), readBytes(b));
}

TEST(D8cTool, StatsListEachChannelOfTheViewAndNameEachFileOfABatch) {
    TempDir dir;
    const std::string a = writeMeasurement(dir, "a.d8c");
    const std::string b = writeMeasurement(dir, "b.d8c");
    // Points 99..199, the codes 2147..2247 and 3995..3895: 101 whole numbers in a row each.
    const std::vector<std::string> view = {
        "stats", "--units", "adc", "--from", "100", "--to", "200", "--decimal-separator", ","};
    const std::string table = "channel\tpoints\tmin\tmax\tp-p\tmean\trms\tstd\n"
                              "2\t101\t2147\t2247\t100\t2197\t2197,19343709196\t29,1547594742265\n"
                              "5\t101\t3895\t3995\t100\t3945\t3945,10772983451\t29,1547594742265\n";
    std::vector<std::string> args = view;
    args.push_back(a);
    const ToolRun one = d8c(args);
    ASSERT_EQ(one.exit, 0) << one.err;
    EXPECT_EQ(one.out, table);

    args.push_back(b);
    EXPECT_EQ(d8c(args).out, "==> " + d8c::programFileName(a) + " <==\n" + table + "\n==> " +
                                 d8c::programFileName(b) + " <==\n" + table);
}

TEST(D8cTool, TheStretchBetweenTwoTimesHoldsThePointsOnItsEdges) {
    // Point i lies at (i + 1) ms.
    const struct {
        std::optional<double> from, to;
        std::pair<int, int> points;
    } cases[] = {
        {{}, {}, {0, 9}},      {1.0, 10.0, {0, 9}},  {2.0, 4.0, {1, 3}}, {1.5, 3.5, {1, 2}},
        {-5.0, 0.5, {-1, -1}}, {10.5, {}, {-1, -1}}, {{}, 1.0, {0, 0}},  {4.0, 4.0, {3, 3}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(d8c::pointsBetween(10, 1000.0, c.from, c.to), c.points);
    EXPECT_EQ(d8c::pointsBetween(0, 1000.0, {}, {}), std::make_pair(-1, -1));
    EXPECT_EQ(d8c::pointsBetween(5, 0.0, {}, {}), std::make_pair(0, 4));
    EXPECT_EQ(d8c::pointsBetween(5, 0.0, 1.0, {}), std::make_pair(-1, -1));
}

TEST(D8cTool, DatePatternsAndLocaleNames) {
    const LocalDateTime t{2026, 3, 4, 15, 7, 9, 42};
    const struct {
        const char* pattern;
        const char* text;
    } cases[] = {
        {"dd.MM.yyyy HH:mm:ss t", "04.03.2026 15:07:09 MSK"},
        {"d MMM yyyy", "4 Mar 2026"},
        {"M/d/yy h:mm:ss AP", "3/4/26 3:07:09 PM"},
        {"dddd, d MMMM 'at' h 'o''clock' ap", "Wednesday, 4 March at 3 o'clock pm"},
        {"H.mm.ss.zzz", "15.07.09.042"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(d8c::formatDateTime(c.pattern, t, "MSK"), c.text);

    d8c::LocaleFormats f;
    EXPECT_TRUE(d8c::knownLocaleFormats("ru_UA.UTF-8@euro", f));
    EXPECT_EQ(f.shortDate, "dd.MM.yyyy");
    EXPECT_TRUE(d8c::knownLocaleFormats("POSIX", f));
    EXPECT_EQ(f.shortDate, "d MMM yyyy");
    EXPECT_FALSE(d8c::knownLocaleFormats("xx_YY.UTF-8", f));
}

// The locale's short date and long time, without the zone the toolkit's long time carries.
TEST(D8cTool, TheSourceLineCarriesNoTimeZone) {
    TempDir dir;
    const std::string f = writeMeasurement(dir, "run.d8c");
    const struct {
        const char* locale;
        const char* date;
    } cases[] = {{"ru_RU.UTF-8", "14.03.2026 09:26:52"},
                 {"en_US.UTF-8", "3/14/26 9:26:52 AM"},
                 {"C", "14 Mar 2026 09:26:52"}};
    for (const auto& c : cases) {
        d8c::LocaleFormats locale;
        ASSERT_TRUE(d8c::knownLocaleFormats(c.locale, locale));
        const ToolRun r = d8c({"export", "--csv", "-o", "-", f}, nullptr, locale);
        EXPECT_EQ(r.out.substr(0, r.out.find('\r')),
                  utf8ToCp1251("Данные из файла " + f + "  " + c.date));
    }
}

#ifndef _WIN32
// The program itself, as a script runs it: a write that fails (the file size limit) leaves
// the old file as it was and says so, in every format.
TEST(D8cProgram, AFailedWriteKeepsTheOldFile) {
    TempDir dir;
    const std::string f = writeMeasurement(dir, "run.d8c");
    std::vector<std::string> formats = {"csv", "npy", "wav"};
    if (kLibraryFormats)
        formats.insert(formats.end(), {"h5", "mat"});
    for (const std::string& format : formats) {
        SCOPED_TRACE(format);
        const std::string target = dir.file("run." + format);
        writeBytes(target, {'o', 'l', 'd'});
        const std::string command = "trap '' XFSZ; ulimit -f 1; '" D8C_PROGRAM "' export -o '" +
                                    target + "' '" + f + "' 2>&1";
        FILE* p = popen(command.c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::string said;
        char buf[256];
        while (std::fgets(buf, sizeof buf, p) != nullptr)
            said += buf;
        const int status = pclose(p);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), d8c::kExitSomeFailed);
        EXPECT_EQ(said, "d8c: " + f + ": Unable to write to " + target + "\n");
        EXPECT_EQ(readBytes(target), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        std::filesystem::remove(target);
    }
    EXPECT_EQ(dir.names().size(), 1u) << "a temporary was left";
}
#endif

} // namespace
} // namespace zarvik::test
