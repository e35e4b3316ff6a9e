// The data file as bytes: the exact image a save produces, what a load makes of every
// prefix of a file, the comment a save writes, and how names choose the format.

#include "files/d8cformat.h"
#include "files/saveformat.h"
#include "files/textlines.h"
#include "largestallocation.h"

#include <gtest/gtest.h>

#include <limits>

namespace zarvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Channels 1 and 3, two sample instants, scales and shifts that differ per channel.
TMeasurement smallMeasurement() {
    TMeasurement m;
    m.ChannelMask = 0x105; // only the low byte is stored
    m.SamplePeriodUs = 500.0;
    m.Scale[3] = 0.5;
    m.Shift[1] = -3.0;
    m.XTitle = "Время, мс";
    m.YTitle = "Тест";
    m.SampleData = {0x23, 0x01, 0xFF, 0x0F, 0x00, 0x00, 0x00, 0x08};
    m.ChannelsLine = "Каналы 13";
    return m;
}

const Bytes kSmallFile = {
    0x04, 0x80, 0x10, 0x01, 0x05,                   // FormatWord, A, B, mask
    0x08, 0x00, 0x00, 0x00,                         // DataSize
    0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x7F, 0x40, // SamplePeriodUs 500
    // Scale 1..8: 250, 250, 0.5, 250 ...
    0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x6F, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x6F, 0x40,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x6F, 0x40,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x6F, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x6F, 0x40,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x6F, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x6F, 0x40,
    // Shift 1..8: -3, 2047 ...
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFC, 0x9F, 0x40,
    0x00, 0x00, 0x00, 0x00, 0x00, 0xFC, 0x9F, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFC, 0x9F, 0x40,
    0x00, 0x00, 0x00, 0x00, 0x00, 0xFC, 0x9F, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFC, 0x9F, 0x40,
    0x00, 0x00, 0x00, 0x00, 0x00, 0xFC, 0x9F, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFC, 0x9F, 0x40,
    0xC2, 0xF0, 0xE5, 0xEC, 0xFF, 0x2C, 0x20, 0xEC, 0xF1, 0x00, // "Время, мс"
    0xD2, 0xE5, 0xF1, 0xF2, 0x00,                               // "Тест"
    0x23, 0x01, 0xFF, 0x0F, 0x00, 0x00, 0x00, 0x08,             // samples
    // "Тест" CR LF "Каналы 13"
    0xD2, 0xE5, 0xF1, 0xF2, 0x0D, 0x0A, 0xCA, 0xE0, 0xED, 0xE0, 0xEB, 0xFB, 0x20, 0x31, 0x33};

constexpr std::size_t kSmallSamplesAt = 145 + 10 + 5;

D8cContents parse(const Bytes& b, std::size_t size) {
    return parseD8c(b.data(), size);
}

FileError::Kind failureOf(const Bytes& b, std::size_t size) {
    try {
        parse(b, size);
    } catch (const FileError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "a file of " << size << " bytes was accepted";
    return FileError::Kind::CannotOpen;
}

TEST(D8cFormat, WritesTheExactImageOfASmallMeasurement) {
    const TMeasurement m = smallMeasurement();
    const auto comment = prepareSavedComment({"Тест", "", "Каналы 5"}, m, std::nullopt);
    EXPECT_EQ(encodeD8c(m, comment), kSmallFile);
}

TEST(D8cFormat, ReadsEveryFieldOfTheSmallImage) {
    const D8cContents c = parse(kSmallFile, kSmallFile.size());
    EXPECT_EQ(c.header.FormatWord, 0x8004);
    EXPECT_EQ(c.header.FormatByteA, 16);
    EXPECT_EQ(c.header.FormatByteB, 1);
    EXPECT_EQ(c.header.ChannelMask, 0x05);
    EXPECT_EQ(c.header.DataSize, 8u);
    EXPECT_EQ(c.header.SamplePeriodUs, 500.0);
    EXPECT_EQ(c.Scale[3], 0.5);
    EXPECT_EQ(c.Scale[8], 250.0);
    EXPECT_EQ(c.Shift[1], -3.0);
    EXPECT_EQ(c.Shift[2], 2047.0);
    EXPECT_EQ(c.XTitle, "Время, мс");
    EXPECT_EQ(c.YTitle, "Тест");
    EXPECT_EQ(c.SampleData, Bytes(kSmallFile.begin() + kSmallSamplesAt,
                                  kSmallFile.begin() + kSmallSamplesAt + 8));
    EXPECT_EQ(c.Comment, (std::vector<std::string>{"Тест", "Каналы 13"}));
}

TEST(D8cFormat, FormatWordFollowsTheLegacyFlag) {
    TMeasurement m = smallMeasurement();
    EXPECT_EQ(encodeD8c(m, {})[1], 0x80);
    m.LegacyFormat = true;
    const Bytes legacy = encodeD8c(m, {});
    EXPECT_EQ(legacy[0], 0x04);
    EXPECT_EQ(legacy[1], 0x00);
    EXPECT_EQ(parse(legacy, legacy.size()).header.FormatWord, 0x0004);
}

TEST(D8cFormat, EmptyTitlesAreSingleZeroBytes) {
    TMeasurement m = smallMeasurement();
    m.XTitle.clear();
    m.YTitle.clear();
    const Bytes b = encodeD8c(m, {"x"});
    ASSERT_EQ(b.size(), 145u + 2 + 8 + 1);
    EXPECT_EQ(b[145], 0);
    EXPECT_EQ(b[146], 0);
    const D8cContents c = parse(b, b.size());
    EXPECT_EQ(c.XTitle, "");
    EXPECT_EQ(c.YTitle, "");
    EXPECT_EQ(c.SampleData.size(), 8u);
    EXPECT_EQ(c.Comment, std::vector<std::string>{"x"});
}

TEST(D8cFormat, ATitleCannotSmuggleAZeroByteIntoTheLayout) {
    TMeasurement m = smallMeasurement();
    m.XTitle = std::string("ab\0cd", 5);
    const Bytes b = encodeD8c(m, {});
    const D8cContents c = parse(b, b.size());
    EXPECT_EQ(c.XTitle, "ab");
    EXPECT_EQ(c.YTitle, "Тест");
    EXPECT_EQ(c.SampleData, m.SampleData);
}

TEST(D8cFormat, EmptySampleBlockStillCarriesTheComment) {
    TMeasurement m = smallMeasurement();
    m.SampleData.clear();
    const Bytes b = encodeD8c(m, {"один", "два"});
    EXPECT_EQ(b[5], 0); // DataSize 0
    const D8cContents c = parse(b, b.size());
    EXPECT_TRUE(c.SampleData.empty());
    EXPECT_EQ(c.Comment, (std::vector<std::string>{"один", "два"}));
}

TEST(D8cFormat, AFileEndingAfterTheSamplesHasNoComment) {
    const D8cContents c = parse(kSmallFile, kSmallSamplesAt + 8);
    EXPECT_TRUE(c.Comment.empty());
    EXPECT_EQ(c.SampleData.size(), 8u);
}

TEST(D8cFormat, EveryCutOfAValidFileIsRejectedOrReadConsistently) {
    const std::size_t commentAt = kSmallSamplesAt + 8;
    for (std::size_t size = 0; size <= kSmallFile.size(); ++size) {
        SCOPED_TRACE(size);
        if (size < 145) {
            EXPECT_EQ(failureOf(kSmallFile, size), FileError::Kind::NotDataFile);
        } else if (size < commentAt) {
            // Cut titles run to the end, leaving no room for the eight sample bytes.
            EXPECT_EQ(failureOf(kSmallFile, size), FileError::Kind::StreamRead);
        } else {
            const D8cContents c = parse(kSmallFile, size);
            EXPECT_EQ(c.SampleData.size(), 8u);
            EXPECT_EQ(joinLines(c.Comment).size() > 0, size > commentAt);
        }
    }
}

TEST(D8cFormat, RejectedFilesStillShowTheirHeaderWhenTheyHaveOne) {
    Bytes wrong = kSmallFile;
    wrong[0] = 0x05;
    try {
        parse(wrong, wrong.size());
        FAIL() << "a file without the marker was accepted";
    } catch (const D8cLoadError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::NotDataFile);
        EXPECT_EQ(std::string(e.what()), "Приложение открывает файлы *.d8c, записанные АЦП.");
        ASSERT_TRUE(e.header());
        EXPECT_EQ(e.header()->SamplePeriodUs, 500.0);
    }
    try {
        parse(kSmallFile, 10);
        FAIL() << "ten bytes were accepted";
    } catch (const D8cLoadError& e) {
        EXPECT_FALSE(e.header());
    }
    try {
        parse(kSmallFile, kSmallSamplesAt + 3);
        FAIL() << "a cut sample block was accepted";
    } catch (const D8cLoadError& e) {
        EXPECT_EQ(std::string(e.what()), "Stream read error");
        EXPECT_TRUE(e.header());
    }
}

TEST(D8cFormat, AHugeDataSizeIsRejectedBeforeAnythingIsAllocated) {
    for (std::uint32_t size : {0xFFFFFFFFu, 0x80000000u, 9u}) {
        Bytes b = kSmallFile;
        b[5] = static_cast<std::uint8_t>(size);
        b[6] = static_cast<std::uint8_t>(size >> 8);
        b[7] = static_cast<std::uint8_t>(size >> 16);
        b[8] = static_cast<std::uint8_t>(size >> 24);
        const std::size_t cut = kSmallSamplesAt + 8; // no comment: exactly 8 bytes remain
        test::largestAllocation = 0;
        EXPECT_EQ(failureOf(b, cut), FileError::Kind::StreamRead) << size;
        EXPECT_LT(test::largestAllocation, 4096u) << size;
    }
}

TEST(D8cFormat, AFileWithoutTitleTerminatorsNeedsNoSamples) {
    Bytes b(kSmallFile.begin(), kSmallFile.begin() + 150);
    b[5] = 0; // DataSize 0
    const D8cContents c = parse(b, b.size());
    EXPECT_EQ(c.XTitle, "Время");
    EXPECT_EQ(c.YTitle, "");
    EXPECT_TRUE(c.Comment.empty());
}

TEST(SavedComment, AFreshMeasurementKeepsOneChannelLine) {
    TMeasurement m;
    m.ChannelsLine = "Каналы 1357";
    const auto first = prepareSavedComment({"опыт 3", "", "  ", "Каналы 2"}, m, 8);
    const std::string line =
        "Каналы 1357 просмотр графика выполнялся с интегрированием по 8 точкам";
    EXPECT_EQ(first, (std::vector<std::string>{"опыт 3", "  ", line}));
    // Saved again, the old line (note included) gives way to the new one.
    EXPECT_EQ(prepareSavedComment(first, m, 8), first);
    EXPECT_EQ(prepareSavedComment(first, m, std::nullopt),
              (std::vector<std::string>{"опыт 3", "  ", "Каналы 1357"}));
}

TEST(SavedComment, OnlyLinesStartingWithTheExactWordAreReplaced) {
    TMeasurement m;
    m.ChannelsLine = "Каналы 2";
    const auto out = prepareSavedComment({"каналы 5", " Каналы 6", "Каналы7"}, m, std::nullopt);
    EXPECT_EQ(out, (std::vector<std::string>{"каналы 5", " Каналы 6", "Каналы 2"}));
}

TEST(SavedComment, AFileKeepsItsOwnLinesAndGetsNoForeignChannelLine) {
    TMeasurement m;
    m.FromFile = true;
    m.ChannelsLine = "Каналы 8"; // from a measurement started earlier in the run
    const auto out = prepareSavedComment({"Каналы 13", "", "заметка"}, m, 4);
    EXPECT_EQ(out, (std::vector<std::string>{"Каналы 13", "заметка"}));
}

TEST(TextLines, SplitsAtEveryKindOfLineEnd) {
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(splitLines("\n\r"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(joinLines({"a", "", "b"}), "a\r\n\r\nb");
    EXPECT_EQ(joinLines({}), "");
}

TEST(SaveFormatName, ExtensionDecidesExactly) {
    EXPECT_EQ(saveFormatFor("/data/опыт.d8c"), SaveFormat::DataFile);
    EXPECT_EQ(saveFormatFor("C:\\DataVib\\a.b.txt"), SaveFormat::Text);
    EXPECT_EQ(saveFormatFor("x.csv"), SaveFormat::Csv);
    EXPECT_EQ(saveFormatFor(".d8c"), SaveFormat::DataFile);
    EXPECT_FALSE(saveFormatFor("x.D8C"));
    EXPECT_FALSE(saveFormatFor("x.Txt"));
    EXPECT_FALSE(saveFormatFor("x.d8c.bak"));
    EXPECT_FALSE(saveFormatFor("dir.d8c/x"));
    EXPECT_FALSE(saveFormatFor("x"));
    EXPECT_EQ(fileExtension("dir.x\\name"), "");
}

} // namespace
} // namespace zarvik
