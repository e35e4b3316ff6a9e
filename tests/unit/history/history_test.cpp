// The history of measurements on disk: its journal read newest first, the file of a
// measurement as a save writes it, the list rebuilt from the files, the comment that follows,
// the space kept with the pinned measurements spared, and folders that cannot be written.

#include "files/d8cfile.h"
#include "files/filetime.h"
#include "history/historystore.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <mutex>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zarvik {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;

// Two channels over one memory block, the samples telling the measurements apart.
TMeasurement measurement(int minute, std::uint16_t level) {
    TMeasurement m;
    m.ChannelMask = 0x03;
    m.SamplePeriodUs = 488.28125;
    m.ChannelsLine = "Каналы 12";
    m.MeasuredAt = encodeMeasuredAt({2024, 5, 14, 9, minute, 2, 0});
    m.XTitle = "Время, мкс";
    m.YTitle = "Ускорение, см/с/c";
    m.SampleData.assign(60000, 0);
    for (std::size_t i = 0; i < m.SampleData.size(); i += 2) {
        m.SampleData[i] = static_cast<std::uint8_t>(level + i / 2 % 7);
        m.SampleData[i + 1] = static_cast<std::uint8_t>(level >> 8);
    }
    for (int n = 1; n <= kChannels; ++n)
        m.ScaleK[n] = 0.5 * n;
    return m;
}

// A store whose writer hands its results to the test, which takes them when it likes.
class History {
public:
    explicit History(const fs::path& folder)
        : writer([this](std::function<void()> f) {
              std::lock_guard<std::mutex> lock(mutex);
              posted.push_back(std::move(f));
          }),
          store(folder, writer) {
        store.writeFailed = [this](const std::string& e) { failures.push_back(e); };
    }
    // Everything given is written and its results are in.
    void settle() {
        writer.finish();
        std::vector<std::function<void()>> results;
        {
            std::lock_guard<std::mutex> lock(mutex);
            results.swap(posted);
        }
        for (auto& f : results)
            f();
    }
    std::string add(const TMeasurement& m, std::vector<std::string> memo = {"Стенд 2"}) {
        return store.add(historyShot(m, 0x03, 0, memo, std::nullopt));
    }
    // Read whole and checked against the files.
    void read() {
        store.load();
        store.startCheck();
        while (!store.checkStep(3)) {
        }
        settle();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (std::size_t row = 0; row < store.size(); ++row)
            out.push_back(store.at(row).name);
        return out;
    }

    std::mutex mutex;
    std::vector<std::function<void()>> posted;
    HistoryWriter writer;
    HistoryStore store;
    std::vector<std::string> failures;
};

TEST(HistoryIndex, ReadsTheNewestFirstWithTheNewestValueOfEveryField) {
    const std::string journal = std::string(kHistoryIndexHeader) + "\n" +
                                "a.d8c\ttime=1.5\tmask=3\tcomment=first\\tline\\nsecond \\\\\t"
                                "probe=7\tpinned=0\n"
                                "b.d8c\ttime=2.5\tmask=1\tcomment=old\n"
                                "a.d8c\tpinned=1\n"
                                "c.d8c\ttime=3.5\n"
                                "b.d8c\tcomment=new\tsaved=/data/x.d8c\n"
                                "c.d8c\tdeleted=1\n"
                                "d.d8c\ttime=4.5"; // a line its writer never finished
    for (const std::size_t step : {std::size_t{1}, std::size_t{100}}) {
        HistoryIndexReader reader(journal);
        ASSERT_TRUE(reader.isIndex());
        std::vector<HistoryEntry> found;
        while (!reader.read(step, [&](HistoryEntry&& e) { found.push_back(std::move(e)); })) {
        }
        ASSERT_EQ(found.size(), 2u) << step;
        EXPECT_EQ(found[0].name, "b.d8c");
        EXPECT_EQ(found[0].comment, std::vector<std::string>{"new"});
        EXPECT_EQ(found[0].savedAs, "/data/x.d8c");
        EXPECT_EQ(found[1].name, "a.d8c");
        EXPECT_TRUE(found[1].pinned);
        EXPECT_EQ(found[1].measuredAt, 1.5);
        EXPECT_EQ(found[1].comment, (std::vector<std::string>{"first\tline", "second \\"}));
        // A field of a later version is kept, and written back with the rest.
        EXPECT_EQ(found[1].otherFields, (std::vector<HistoryField>{{"probe", "7"}}));
        EXPECT_NE(historyRecord(found[1]).find("\tprobe=7"), std::string::npos);
    }
    EXPECT_FALSE(HistoryIndexReader("name\ttime=1\n").isIndex());

    // A record written and read back is the same measurement.
    HistoryEntry e;
    e.name = "x\ty.d8c";
    e.measuredAt = 45426.396550925925;
    e.samplePeriodUs = 1.4241536458333333;
    e.comment = {"Балка\\Б-2", "=точка 3="};
    e.seriesNumber = 3;
    e.link = TransferFigures{960, 14, 9, 4, 1, 6123.25, 5763.541666666667};
    HistoryIndexReader back(std::string(kHistoryIndexHeader) + "\n" + historyRecord(e));
    back.read(1, [&](HistoryEntry&& r) {
        EXPECT_EQ(r.name, e.name);
        EXPECT_EQ(r.measuredAt, e.measuredAt);
        EXPECT_EQ(r.samplePeriodUs, e.samplePeriodUs);
        EXPECT_EQ(r.comment, e.comment);
        EXPECT_EQ(r.seriesNumber, 3);
        EXPECT_EQ(r.seriesCount, 0);
        ASSERT_TRUE(r.link);
        EXPECT_EQ(r.link->stalls, 1);
        EXPECT_EQ(r.link->lineMs, e.link->lineMs);
        EXPECT_TRUE(r.otherFields.empty());
    });
}

TEST(HistoryIndex, NamesSortByTimeAndMarkTheZeroRun) {
    const double at = encodeMeasuredAt({2024, 5, 14, 9, 31, 2, 0});
    EXPECT_EQ(historyFileName(at, false, 1), "2024-05-14_09-31-02.d8c");
    EXPECT_EQ(historyFileName(at, false, 2), "2024-05-14_09-31-02_2.d8c");
    EXPECT_EQ(historyFileName(at, true, 1), "2024-05-14_09-31-02_zero.d8c");
    EXPECT_LT(historyFileName(at, false, 1), historyFileName(at, false, 2));
    EXPECT_LT(historyFileName(at, false, 9), historyFileName(at + 1.0 / 86400, false, 1));
    EXPECT_TRUE(isZeroRunName("2024-05-14_09-31-02_zero.d8c"));
    EXPECT_FALSE(isZeroRunName("2024-05-14_09-31-02.d8c"));
}

TEST(HistoryStore, AMeasurementsFileIsWhatASaveWritesAtThatMoment) {
    TempDir dir;
    History h(dir.path() / "history");
    const TMeasurement m = measurement(31, 1000);
    const std::string name = h.add(m, {"Стенд 2", "", "Каналы 8"});
    h.settle();
    EXPECT_EQ(name, "2024-05-14_09-31-02.d8c");

    // A save after the chart build: the boxes' mask, the scales file's calibration, the title
    // of the chosen time unit; the memo's lines prepared as a save prepares them.
    TMeasurement built = m;
    built.ChannelMask = 0x03;
    built.Scale = built.ScaleK;
    built.Shift = built.ShiftScl;
    const std::string saved = dir.file("saved.d8c");
    saveD8cFile(built, saved, {"Стенд 2", "", "Каналы 8"}, std::nullopt);
    EXPECT_EQ(readBytes(h.store.pathOf(name).u8string()), readBytes(saved));
    EXPECT_EQ(lastWriteTime(h.store.pathOf(name).u8string()), lastWriteTime(saved));
    const HistoryEntry& e = h.store.at(0);
    EXPECT_EQ(e.comment, (std::vector<std::string>{"Стенд 2", "Каналы 12"}));
    EXPECT_EQ(e.fileBytes, fs::file_size(saved));
    EXPECT_EQ(e.samples(), 30000u);
    EXPECT_DOUBLE_EQ(e.durationSeconds(), 15000 * 488.28125e-6);

    // Two measurements of one second keep both.
    EXPECT_EQ(h.add(m), "2024-05-14_09-31-02_2.d8c");
    h.settle();
    EXPECT_TRUE(h.failures.empty());
}

TEST(HistoryStore, TheListComesBackFromTheIndexOrElseFromTheFiles) {
    TempDir dir;
    const fs::path folder = dir.path() / "history";
    {
        History h(folder);
        h.add(measurement(10, 100));
        TMeasurement zero = measurement(11, 200);
        zero.ZeroRun = true;
        h.add(zero);
        const std::string pinned = h.add(measurement(12, 300), {"опора 7"});
        h.store.setPinned(pinned, true);
        h.store.setSavedAs(pinned, "/data/опора.d8c");
        h.settle();
    }
    {
        History h(folder);
        h.read();
        ASSERT_EQ(h.names(), (std::vector<std::string>{"2024-05-14_09-12-02.d8c",
                                                       "2024-05-14_09-11-02_zero.d8c",
                                                       "2024-05-14_09-10-02.d8c"}));
        EXPECT_TRUE(h.store.at(0).pinned);
        EXPECT_EQ(h.store.at(0).savedAs, "/data/опора.d8c");
        EXPECT_TRUE(h.store.at(1).zeroRun);
    }
    // Without its index, and with a file gone and one changed by hand: the files tell.
    fs::remove(folder / kHistoryIndexName);
    fs::remove(folder / "2024-05-14_09-10-02.d8c");
    TMeasurement byHand = measurement(12, 300);
    byHand.ChannelMask = 0x03;
    saveD8cFile(byHand, (folder / "2024-05-14_09-12-02.d8c").u8string(), {"переписан"},
                std::nullopt);
    History h(folder);
    h.read();
    ASSERT_EQ(h.names(), (std::vector<std::string>{"2024-05-14_09-12-02.d8c",
                                                   "2024-05-14_09-11-02_zero.d8c"}));
    EXPECT_EQ(h.store.at(0).comment, (std::vector<std::string>{"переписан", "Каналы 12"}));
    EXPECT_EQ(h.store.at(0).dataSize, 60000u);
    EXPECT_TRUE(h.store.at(1).zeroRun);
    EXPECT_DOUBLE_EQ(h.store.at(1).measuredAt, toDosTime(measurement(11, 0).MeasuredAt));
    // The rebuilt index is read by the next run as it is.
    h.settle();
    History again(folder);
    again.store.load();
    EXPECT_EQ(again.names(), h.names());
}

TEST(HistoryStore, ACommentReachesTheFileAndNothingElseOfItChanges) {
    TempDir dir;
    History h(dir.path() / "history");
    const std::string name = h.add(measurement(20, 500));
    h.settle();
    const std::string file = h.store.pathOf(name).u8string();
    const LoadedD8c before = loadD8cFile(file);

    h.store.setComment(name, {"Стенд 2, после ремонта", "Каналы 12"});
    h.settle();
    const LoadedD8c after = loadD8cFile(file);
    EXPECT_EQ(after.contents.Comment,
              (std::vector<std::string>{"Стенд 2, после ремонта", "Каналы 12"}));
    EXPECT_EQ(after.contents.SampleData, before.contents.SampleData);
    EXPECT_EQ(after.contents.Scale, before.contents.Scale);
    EXPECT_EQ(after.MeasuredAt, before.MeasuredAt);
    History next(dir.path() / "history");
    next.read();
    EXPECT_EQ(next.store.at(0).comment, after.contents.Comment);
}

TEST(HistoryStore, TheOldestUnpinnedGoFirstWhenTheSpaceIsTaken) {
    TempDir dir;
    History h(dir.path() / "history");
    for (int minute = 1; minute <= 5; ++minute)
        h.add(measurement(minute, static_cast<std::uint16_t>(minute)));
    h.settle();
    const std::uint64_t one = h.store.at(0).fileBytes;
    h.store.setPinned("2024-05-14_09-01-02.d8c", true);
    // Room for three: the oldest is pinned, so the second and third go; the newest is kept
    // even when nothing else could make room.
    const auto over = h.store.overLimit(3 * one, "2024-05-14_09-05-02.d8c");
    EXPECT_EQ(over,
              (std::vector<std::string>{"2024-05-14_09-02-02.d8c", "2024-05-14_09-03-02.d8c"}));
    EXPECT_EQ(h.store.overLimit(0, "2024-05-14_09-05-02.d8c").size(), 3u);
    for (const std::string& name : over)
        h.store.remove(name);
    h.settle();
    for (const std::string& name : over)
        EXPECT_FALSE(fs::exists(h.store.pathOf(name)));
    History next(dir.path() / "history");
    next.read();
    EXPECT_EQ(next.names(),
              (std::vector<std::string>{"2024-05-14_09-05-02.d8c", "2024-05-14_09-04-02.d8c",
                                        "2024-05-14_09-01-02.d8c"}));
    EXPECT_TRUE(next.store.at(2).pinned);
}

TEST(HistoryStore, AFolderThatCannotBeWrittenLeavesTheListAsItWas) {
    TempDir dir;
    test::writeBytes(dir.file("plain"), {1});
    History h(dir.path() / "plain" / "history");
    h.add(measurement(30, 1));
    EXPECT_EQ(h.store.size(), 1u);
    h.settle();
    EXPECT_EQ(h.store.size(), 0u);
    ASSERT_EQ(h.failures.size(), 1u);
    EXPECT_NE(h.failures[0].find("Cannot create file"), std::string::npos) << h.failures[0];
}

#ifndef _WIN32
TEST(HistoryStore, AFullDiskLeavesNoFileUnderTheName) {
    TempDir dir;
    const fs::path folder = dir.path() / "history";
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{100000, 100000};
        ::setrlimit(RLIMIT_FSIZE, &r);
        History h(folder);
        h.add(measurement(40, 1));
        TMeasurement big = measurement(41, 2);
        big.SampleData.resize(480000);
        h.add(big);
        h.settle();
        ::_exit(h.failures.size() == 1 && h.store.size() == 1 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    History h(folder);
    h.read();
    EXPECT_EQ(h.names(), std::vector<std::string>{"2024-05-14_09-40-02.d8c"});
    for (const auto& file : fs::directory_iterator(folder))
        EXPECT_EQ(file.path().filename().u8string().find(".~"), std::string::npos);
}
#endif

} // namespace
} // namespace zarvik
