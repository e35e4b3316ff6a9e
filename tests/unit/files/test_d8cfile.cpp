// Data files on disk: round trips of every field, loads that fail without touching the
// measurement, saves that fail without touching the old file, and the browser's quick look.

#include "files/d8cfile.h"
#include "files/filetime.h"
#include "files/textlines.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <streambuf>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace zarvik {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
using Bytes = std::vector<std::uint8_t>;

// Channels 1 and 3 filling all eight memory blocks: channel 1 ramps, channel 3 falls.
TMeasurement fullMeasurement() {
    TMeasurement m;
    m.ChannelMask = 0x05;
    m.SamplePeriodUs = 1000000.0 * 18.0 / kBoardClockHz;
    for (int n = 1; n <= kChannels; ++n) {
        m.Scale[n] = 0.125 * n;
        m.Shift[n] = 2040.0 + n;
    }
    m.XTitle = "Время, мс";
    m.YTitle = "Ускорение, см/с/c";
    m.ChannelsLine = "Каналы 13";
    m.MeasuredAt = encodeMeasuredAt({2023, 11, 5, 14, 30, 17, 400});
    m.SampleData.resize(480000);
    for (std::size_t k = 0; k < 120000; ++k) {
        const auto ch1 = static_cast<std::uint16_t>(k % 4096);
        const auto ch3 = static_cast<std::uint16_t>(4095 - k % 4096);
        m.SampleData[4 * k] = static_cast<std::uint8_t>(ch1);
        m.SampleData[4 * k + 1] = static_cast<std::uint8_t>(ch1 >> 8);
        m.SampleData[4 * k + 2] = static_cast<std::uint8_t>(ch3);
        m.SampleData[4 * k + 3] = static_cast<std::uint8_t>(ch3 >> 8);
    }
    return m;
}

void expectSameMeasurement(const TMeasurement& a, const TMeasurement& b) {
    EXPECT_EQ(a.FormatWord, b.FormatWord);
    EXPECT_EQ(a.ChannelMask, b.ChannelMask);
    EXPECT_EQ(a.DataSize, b.DataSize);
    EXPECT_EQ(a.SamplePeriodUs, b.SamplePeriodUs);
    EXPECT_EQ(a.Scale, b.Scale);
    EXPECT_EQ(a.Shift, b.Shift);
    EXPECT_EQ(a.XTitle, b.XTitle);
    EXPECT_EQ(a.YTitle, b.YTitle);
    EXPECT_EQ(a.SampleData, b.SampleData);
    EXPECT_EQ(a.Comment, b.Comment);
    EXPECT_EQ(a.BlockCount, b.BlockCount);
    EXPECT_EQ(a.MeasuredAt, b.MeasuredAt);
    EXPECT_EQ(a.FileName, b.FileName);
    EXPECT_EQ(a.FromFile, b.FromFile);
    EXPECT_EQ(a.LegacyFormat, b.LegacyFormat);
}

TMeasurement load(const std::string& fileName) {
    TMeasurement m;
    applyLoadedD8c(m, loadD8cFile(fileName));
    return m;
}

TEST(D8cFile, RoundTripKeepsEveryField) {
    TempDir dir;
    const std::string name = dir.file("опыт 1.d8c");
    TMeasurement m = fullMeasurement();
    const auto written = saveD8cFile(m, name, {"Балка Б-2, точка 3", "", "ЁЖЗ ёжз"}, 8);
    EXPECT_EQ(written.back(), "Каналы 13 просмотр графика выполнялся с интегрированием по 8 "
                              "точкам");
    EXPECT_EQ(m.Comment, written);
    EXPECT_EQ(m.SaveFileName, name);
    EXPECT_EQ(m.DataSize, 480000u);
    EXPECT_EQ(m.FormatWord, 0x8004);

    const TMeasurement r = load(name);
    EXPECT_EQ(r.FormatWord, 0x8004);
    EXPECT_EQ(r.FormatByteA, 16);
    EXPECT_EQ(r.FormatByteB, 1);
    EXPECT_EQ(r.ChannelMask, 0x05u);
    EXPECT_EQ(r.DataSize, 480000u);
    EXPECT_EQ(r.BlockCount, 8);
    EXPECT_EQ(r.SamplePeriodUs, m.SamplePeriodUs);
    EXPECT_EQ(r.Scale, m.Scale);
    EXPECT_EQ(r.Shift, m.Shift);
    EXPECT_EQ(r.XTitle, "Время, мс");
    EXPECT_EQ(r.YTitle, "Ускорение, см/с/c");
    EXPECT_EQ(r.SampleData, m.SampleData);
    EXPECT_EQ(r.Comment, written);
    EXPECT_TRUE(r.FromFile);
    EXPECT_FALSE(r.LegacyFormat);
    EXPECT_EQ(r.FileName, name);
    EXPECT_EQ(r.MeasuredAt, toDosTime(m.MeasuredAt));

    // Texts are Windows-1251 on disk: "Время" right after the fixed part.
    const Bytes raw = readBytes(name);
    EXPECT_EQ(Bytes(raw.begin() + 145, raw.begin() + 150), (Bytes{0xC2, 0xF0, 0xE5, 0xEC, 0xFF}));
}

TEST(D8cFile, SamplesOfChannelsOneAndThreeAlternate) {
    TempDir dir;
    const std::string name = dir.file("m.d8c");
    TMeasurement m = fullMeasurement();
    saveD8cFile(m, name, {}, std::nullopt);
    const Bytes raw = readBytes(name);
    EXPECT_EQ(raw[4], 0x05);
    EXPECT_EQ(raw[5] | raw[6] << 8 | raw[7] << 16 | raw[8] << 24, 480000);

    const TMeasurement r = load(name);
    ASSERT_EQ(r.wordCount(), 240000u);
    for (std::size_t k : {std::size_t{0}, std::size_t{1}, std::size_t{4097}, std::size_t{119999}}) {
        EXPECT_EQ(r.word(2 * k), k % 4096) << k;
        EXPECT_EQ(r.word(2 * k + 1), 4095 - k % 4096) << k;
    }
}

TEST(D8cFile, OlderFormatIsKeptOnResaveAndNewMeasurementsGetTheCurrentOne) {
    TempDir dir;
    TMeasurement fresh = fullMeasurement();
    saveD8cFile(fresh, dir.file("new.d8c"), {}, std::nullopt);
    EXPECT_EQ(readBytes(dir.file("new.d8c"))[1], 0x80);

    Bytes legacy = readBytes(dir.file("new.d8c"));
    legacy[1] = 0x00;
    writeBytes(dir.file("old.d8c"), legacy);
    TMeasurement m = load(dir.file("old.d8c"));
    EXPECT_TRUE(m.LegacyFormat);
    EXPECT_EQ(m.FormatWord, 0x0004);
    saveD8cFile(m, dir.file("again.d8c"), m.Comment, std::nullopt);
    const Bytes again = readBytes(dir.file("again.d8c"));
    EXPECT_EQ(again[0], 0x04);
    EXPECT_EQ(again[1], 0x00);

    // A file of the current format clears the flag again.
    applyLoadedD8c(m, loadD8cFile(dir.file("new.d8c")));
    EXPECT_FALSE(m.LegacyFormat);
}

TEST(D8cFile, EmptyMeasurementAndEmptyTitlesRoundTrip) {
    TempDir dir;
    TMeasurement m;
    m.ChannelMask = 0xFF;
    m.ChannelsLine = "Каналы 12345678";
    saveD8cFile(m, dir.file("e.d8c"), {"пусто"}, std::nullopt);
    const Bytes raw = readBytes(dir.file("e.d8c"));
    EXPECT_EQ(raw[145], 0);
    EXPECT_EQ(raw[146], 0);
    const TMeasurement r = load(dir.file("e.d8c"));
    EXPECT_TRUE(r.SampleData.empty());
    EXPECT_EQ(r.DataSize, 0u);
    EXPECT_EQ(r.BlockCount, 0);
    EXPECT_EQ(r.XTitle, "");
    EXPECT_EQ(r.YTitle, "");
    EXPECT_EQ(r.Comment, (std::vector<std::string>{"пусто", "Каналы 12345678"}));
}

TEST(D8cFile, SavingTwiceLeavesOneChannelLine) {
    TempDir dir;
    TMeasurement m = fullMeasurement();
    auto memo = saveD8cFile(m, dir.file("a.d8c"), {"заметка", ""}, 16);
    memo = saveD8cFile(m, dir.file("a.d8c"), memo, 16);
    const TMeasurement r = load(dir.file("a.d8c"));
    EXPECT_EQ(
        r.Comment,
        (std::vector<std::string>{
            "заметка", "Каналы 13 просмотр графика выполнялся с интегрированием по 16 точкам"}));
    EXPECT_EQ(r.Comment, memo);
}

TEST(D8cFile, LoadedMeasurementSavedAgainKeepsItsTime) {
    TempDir dir;
    TMeasurement m = fullMeasurement();
    saveD8cFile(m, dir.file("a.d8c"), {}, std::nullopt);
    TMeasurement r = load(dir.file("a.d8c"));
    saveD8cFile(r, dir.file("b.d8c"), r.Comment, std::nullopt);
    EXPECT_EQ(lastWriteTime(dir.file("b.d8c")), toDosTime(m.MeasuredAt));
    EXPECT_EQ(readBytes(dir.file("a.d8c")), readBytes(dir.file("b.d8c")));
}

TEST(D8cFile, EveryCutOfAFileFailsWithoutTouchingTheMeasurement) {
    TempDir dir;
    TMeasurement small;
    small.ChannelMask = 0x02;
    small.XTitle = "Время, с";
    small.YTitle = "Сила";
    small.SampleData = {1, 2, 3, 4, 5, 6};
    small.ChannelsLine = "Каналы 2";
    saveD8cFile(small, dir.file("full.d8c"), {"ком"}, std::nullopt);
    const Bytes full = readBytes(dir.file("full.d8c"));
    const std::size_t samplesEnd = 145 + 9 + 5 + 6;

    TMeasurement current = fullMeasurement();
    saveD8cFile(current, dir.file("current.d8c"), {}, std::nullopt);
    current = load(dir.file("current.d8c"));
    const TMeasurement before = current;
    const std::string cut = dir.file("cut.d8c");
    for (std::size_t size = 0; size <= full.size(); ++size) {
        SCOPED_TRACE(size);
        writeBytes(cut, Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size)));
        bool loaded = false;
        try {
            applyLoadedD8c(current, loadD8cFile(cut));
            loaded = true;
        } catch (const FileError& e) {
            EXPECT_EQ(e.kind(),
                      size < 145 ? FileError::Kind::NotDataFile : FileError::Kind::StreamRead);
        }
        EXPECT_EQ(loaded, size >= samplesEnd);
        if (loaded) {
            EXPECT_EQ(current.SampleData, small.SampleData);
            current = before;
        }
        expectSameMeasurement(current, before);
    }
}

TEST(D8cFile, MissingAndForeignFilesGiveTheOperatorsTexts) {
    TempDir dir;
    const std::string missing = dir.file("нет.d8c");
    try {
        loadD8cFile(missing);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::CannotOpen);
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    try {
        loadD8cFile(dir.path().string());
        FAIL() << "a folder was read as a file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::CannotOpen);
    }
    writeBytes(dir.file("text.d8c"), Bytes(300, 'a'));
    try {
        loadD8cFile(dir.file("text.d8c"));
        FAIL();
    } catch (const D8cLoadError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::NotDataFile);
        ASSERT_TRUE(e.header());
        EXPECT_EQ(e.header()->FormatWord, 0x6161);
    }
}

TEST(D8cFile, CannotCreateReportsTheNameAndWritesNothing) {
    TempDir dir;
    TMeasurement m = fullMeasurement();
    const TMeasurement before = m;
    const std::string name = dir.file("нет папки/a.d8c");
    try {
        saveD8cFile(m, name, {"x"}, std::nullopt);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::CannotCreate);
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + name);
    }
    EXPECT_TRUE(dir.names().empty());
    expectSameMeasurement(m, before);
    EXPECT_EQ(m.SaveFileName, "");
}

TEST(D8cFile, NamesOfOtherFormatsAreRefusedAndTheirFilesKept) {
    TempDir dir;
    TMeasurement m = fullMeasurement();
    for (const char* n : {"a.D8C", "a.txt", "a.dat", "a"}) {
        const std::string name = dir.file(n);
        writeBytes(name, Bytes{1, 2, 3});
        try {
            saveD8cFile(m, name, {}, std::nullopt);
            FAIL() << n;
        } catch (const FileError& e) {
            EXPECT_EQ(e.kind(), FileError::Kind::UnsupportedExtension);
        }
        EXPECT_EQ(readBytes(name), (Bytes{1, 2, 3})) << n;
    }
    EXPECT_EQ(dir.names().size(), 4u);
}

#ifndef _WIN32
// The file size limit makes the system refuse the write half way, like a full disk.
TEST(D8cFile, AFailedWriteLeavesTheOldFileByteForByte) {
    TempDir dir;
    const std::string name = dir.file("keep.d8c");
    TMeasurement old;
    old.ChannelsLine = "Каналы 1";
    old.SampleData = {9, 9};
    old.ChannelMask = 1;
    saveD8cFile(old, name, {"старый"}, std::nullopt);
    const Bytes oldBytes = readBytes(name);
    const auto oldTime = lastWriteTime(name);

    TMeasurement big = fullMeasurement();
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        saveD8cFile(big, name, {"новый"}, std::nullopt);
    } catch (const FileError& e) {
        failed = true;
        EXPECT_EQ(e.kind(), FileError::Kind::WriteFailed);
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + name);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(failed);
    EXPECT_EQ(readBytes(name), oldBytes);
    EXPECT_EQ(lastWriteTime(name), oldTime);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"keep.d8c"}); // no temporary left
    EXPECT_EQ(big.SaveFileName, "");
}
#endif

// Replacing goes through a new file; what the old one was must survive that.
TEST(D8cFile, ReplacingKeepsLinksAndPermissionsAndRefusesFolders) {
    TempDir dir;
    TMeasurement m = fullMeasurement();
    std::size_t entries = 1;
#ifndef _WIN32
    // Links and POSIX permissions; Windows has neither for an ordinary user.
    const std::string real = dir.file("real.d8c");
    writeBytes(real, Bytes{1});
    std::filesystem::permissions(real, std::filesystem::perms(0640));
    std::filesystem::create_symlink(real, dir.file("link.d8c"));
    saveD8cFile(m, dir.file("link.d8c"), {}, std::nullopt);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.d8c")));
    EXPECT_EQ(readBytes(real).size(), 145 + 10 + 18 + 480000 + 9u);
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0640));
    entries += 2;
#endif

    std::filesystem::create_directory(dir.file("folder.d8c"));
    try {
        saveD8cFile(m, dir.file("folder.d8c"), {}, std::nullopt);
        FAIL() << "a folder was replaced";
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::CannotCreate);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.d8c")));
    EXPECT_EQ(dir.names().size(), entries);
}

// Hands out one byte per call and counts them, so a test sees what a reader really read.
class CountingBuffer : public std::streambuf {
public:
    explicit CountingBuffer(Bytes bytes) : m_bytes(std::move(bytes)) {
        setg(base(), base(), base());
    }
    std::size_t delivered = 0;

protected:
    int_type underflow() override {
        const auto pos = static_cast<std::size_t>(gptr() - base());
        if (pos >= m_bytes.size())
            return traits_type::eof();
        setg(base(), gptr(), gptr() + 1);
        ++delivered;
        return traits_type::to_int_type(*gptr());
    }
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
        const off_type from = dir == std::ios_base::beg   ? 0
                              : dir == std::ios_base::cur ? gptr() - base()
                                                          : static_cast<off_type>(m_bytes.size());
        const off_type to = from + off;
        if (to < 0 || to > static_cast<off_type>(m_bytes.size()))
            return pos_type(off_type(-1));
        setg(base(), base() + to, base() + to);
        return pos_type(to);
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }

private:
    char* base() { return reinterpret_cast<char*>(m_bytes.data()); }
    Bytes m_bytes;
};

TEST(D8cScan, SeeksOverTheSampleBlock) {
    TMeasurement m = fullMeasurement();
    m.ChannelsLine = "Каналы 13";
    const Bytes image = encodeD8c(m, {"первая", "вторая"});
    CountingBuffer buffer(image);
    std::istream in(&buffer);
    const D8cSummary s = scanD8c(in);
    EXPECT_EQ(s.status, D8cSummary::Status::Ok);
    EXPECT_EQ(s.header.DataSize, 480000u);
    EXPECT_EQ(s.XTitle, "Время, мс");
    EXPECT_EQ(s.YTitle, "Ускорение, см/с/c");
    EXPECT_EQ(s.Comment, (std::vector<std::string>{"первая", "вторая"}));
    // Header, titles and comment only: the calibration and the samples are never read.
    EXPECT_EQ(buffer.delivered, 17u + 10 + 18 + 6 + 2 + 6);
}

TEST(D8cScan, ShortAndForeignFiles) {
    TempDir dir;
    EXPECT_EQ(scanD8cFile(dir.file("нет.d8c")).status, D8cSummary::Status::CannotOpen);
    writeBytes(dir.file("a.d8c"), Bytes(100, 7));
    EXPECT_EQ(scanD8cFile(dir.file("a.d8c")).status, D8cSummary::Status::NotDataFile);
    writeBytes(dir.file("b.d8c"), Bytes{4, 0, 16});
    EXPECT_EQ(scanD8cFile(dir.file("b.d8c")).status, D8cSummary::Status::NotDataFile);

    // A sample block longer than the file leaves no comment, and no error.
    TMeasurement m = fullMeasurement();
    Bytes image = encodeD8c(m, {"x"});
    image.resize(145 + 30 + 100);
    writeBytes(dir.file("c.d8c"), image);
    const D8cSummary s = scanD8cFile(dir.file("c.d8c"));
    EXPECT_EQ(s.status, D8cSummary::Status::Ok);
    EXPECT_EQ(s.YTitle, "Ускорение, см/с/c");
    EXPECT_TRUE(s.Comment.empty());

    // A file cut inside its titles still lists.
    image.resize(150);
    writeBytes(dir.file("d.d8c"), image);
    const D8cSummary d = scanD8cFile(dir.file("d.d8c"));
    EXPECT_EQ(d.status, D8cSummary::Status::Ok);
    EXPECT_EQ(d.XTitle, "Время");
}

TEST(D8cScan, ReadsTheCommentOfASavedFile) {
    TempDir dir;
    TMeasurement m = fullMeasurement();
    const auto written = saveD8cFile(m, dir.file("a.d8c"), {"раз", "", "два"}, std::nullopt);
    const D8cSummary s = scanD8cFile(dir.file("a.d8c"));
    EXPECT_EQ(s.status, D8cSummary::Status::Ok);
    EXPECT_EQ(s.Comment, written);
}

} // namespace
} // namespace zarvik
