#include "common/cp1251.h"
#include "shell/settings.h"
#include "view/scalesfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

using namespace zarvik;
namespace fs = std::filesystem;

class Folder : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        root = fs::temp_directory_path() /
               ("zarvik-view-" + std::to_string(seed()) + std::to_string(seed()));
        fs::create_directories(root);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    static void write(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path root;
};

using ScalesFile = Folder;

TEST_F(ScalesFile, AMissingFileGivesEveryDefault) {
    const ScalesData d = readScalesFile(IniFile(root / "scales.scl"), ',');
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(d.scaleK[n], 250.0) << n;
        EXPECT_EQ(d.shiftScl[n], 2047.0) << n;
    }
    EXPECT_EQ(d.yTitle, "Ускорение, см/с/c");
}

TEST_F(ScalesFile, NumbersNeedTheLocalesSeparatorOthersReadAsTheDefault) {
    write(root / "scales.scl", "[K, (cm/s/s)/mA]\r\n1=12,5\r\n2=12.5\r\n3=\r\n4=abc\r\n5=-3\r\n"
                               "6=1,5E-3\r\n"
                               "[Shift (ADC units)]\r\n1=2040,25\r\n2=2040.25\r\n8=2100\r\n");
    const IniFile file(root / "scales.scl");

    const ScalesData comma = readScalesFile(file, ',');
    EXPECT_EQ(comma.scaleK[1], 12.5);
    EXPECT_EQ(comma.scaleK[2], 250.0); // a point where the locale has a comma
    EXPECT_EQ(comma.scaleK[3], 250.0); // empty
    EXPECT_EQ(comma.scaleK[4], 250.0); // not a number
    EXPECT_EQ(comma.scaleK[5], -3.0);
    EXPECT_DOUBLE_EQ(comma.scaleK[6], 0.0015);
    EXPECT_EQ(comma.scaleK[7], 250.0); // missing
    EXPECT_EQ(comma.shiftScl[1], 2040.25);
    EXPECT_EQ(comma.shiftScl[2], 2047.0);
    EXPECT_EQ(comma.shiftScl[8], 2100.0);

    const ScalesData point = readScalesFile(file, '.');
    EXPECT_EQ(point.scaleK[1], 250.0); // a comma where the locale has a point
    EXPECT_EQ(point.scaleK[2], 12.5);
    EXPECT_EQ(point.shiftScl[1], 2047.0);
    EXPECT_EQ(point.shiftScl[2], 2040.25);
}

TEST_F(ScalesFile, TheTitleIsWindows1251TextAndAnEmptyOneIsTheDefault) {
    write(root / "a.scl", utf8ToCp1251("[Yscale]\r\nName=Давление, кПа\r\n"));
    EXPECT_EQ(readScalesFile(IniFile(root / "a.scl"), ',').yTitle, "Давление, кПа");
    write(root / "b.scl", "[Yscale]\r\nName=\r\n");
    EXPECT_EQ(readScalesFile(IniFile(root / "b.scl"), ',').yTitle, "Ускорение, см/с/c");
}

TEST_F(ScalesFile, SavingZeroLevelsChangesOnlyTheShiftLines) {
    const std::string before = "; calibration of rig 2\r\n"
                               "[K, (cm/s/s)/mA]\r\n1=12,5\r\n2 = 7\r\n"
                               "[Shift (ADC units)]\r\n1=2040,25\r\n3=1999\r\nextra=keep me\r\n"
                               "\r\n[Yscale]\r\nName=" +
                               utf8ToCp1251("Ускорение, см/с/c") + "\r\n";
    write(root / "scales.scl", before);
    ChannelValues zero{};
    for (int n = 1; n <= 8; ++n)
        zero[n] = 1000 + n;
    zero[5] = -3.5;
    IniFile file(root / "scales.scl");
    ASSERT_TRUE(writeZeroLevels(file, zero, 0xFF, ','));

    const std::string after = read(root / "scales.scl");
    EXPECT_EQ(after, "; calibration of rig 2\r\n"
                     "[K, (cm/s/s)/mA]\r\n1=12,5\r\n2 = 7\r\n"
                     "[Shift (ADC units)]\r\n1=1001\r\n3=1003\r\nextra=keep me\r\n"
                     "2=1002\r\n4=1004\r\n5=-3,5\r\n6=1006\r\n7=1007\r\n8=1008\r\n"
                     "\r\n[Yscale]\r\nName=" +
                         utf8ToCp1251("Ускорение, см/с/c") + "\r\n");
    const ScalesData d = readScalesFile(IniFile(root / "scales.scl"), ',');
    EXPECT_EQ(d.shiftScl[5], -3.5);
    EXPECT_EQ(d.scaleK[1], 12.5);
}

TEST_F(ScalesFile, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas) {
    write(root / "scales.scl", "[Shift (ADC units)]\r\n1=5\r\n");
    fs::create_directory(root / "scales.scl.~new"); // the replacement cannot be made
    IniFile file(root / "scales.scl");
    EXPECT_FALSE(writeZeroLevels(file, ChannelValues{}, 0xFF, ','));
    EXPECT_EQ(read(root / "scales.scl"), "[Shift (ADC units)]\r\n1=5\r\n");
}

using FilePlacesTest = Folder;

TEST_F(FilePlacesTest, AWritableProgramFolderKeepsTheFilesBesideTheProgram) {
    const FilePlaces places(root / "program", root / "user");
    fs::create_directories(root / "program");
    write(root / "user" / "Zarvik.ini", "stale");
    EXPECT_EQ(places.forReading("Zarvik.ini"), root / "program" / "Zarvik.ini");
    EXPECT_EQ(places.forWriting("Zarvik.ini"), root / "program" / "Zarvik.ini");
    // The check leaves nothing behind.
    EXPECT_FALSE(fs::exists(root / "program" / "Zarvik.ini.~new"));
}

TEST_F(FilePlacesTest, AReadOnlyProgramFolderMovesTheFilesToTheUsersFolder) {
    fs::create_directories(root / "program");
    write(root / "program" / "scales.scl", "[K, (cm/s/s)/mA]\r\n1=3\r\n");
    const FilePlaces places(root / "program", root / "user" / "Zarvik",
                            [](const fs::path&) { return false; });

    // Until the user has a copy, the one beside the program is read.
    EXPECT_EQ(places.forReading("scales.scl"), root / "program" / "scales.scl");
    EXPECT_EQ(places.forReading("Zarvik.ini"), root / "program" / "Zarvik.ini");

    // The first write starts from the program's copy, in a folder made for it.
    const fs::path target = places.forWriting("scales.scl");
    EXPECT_EQ(target, root / "user" / "Zarvik" / "scales.scl");
    EXPECT_EQ(read(target), "[K, (cm/s/s)/mA]\r\n1=3\r\n");
    EXPECT_EQ(places.forReading("scales.scl"), target);

    // A later write keeps the user's own copy.
    write(target, "mine");
    EXPECT_EQ(read(places.forWriting("scales.scl")), "mine");

    // Nothing beside the program: the user's file starts empty.
    EXPECT_EQ(places.forWriting("Zarvik.ini"), root / "user" / "Zarvik" / "Zarvik.ini");
    EXPECT_FALSE(fs::exists(root / "user" / "Zarvik" / "Zarvik.ini"));
}

TEST_F(FilePlacesTest, WithoutAUserFolderEverythingStaysBesideTheProgram) {
    const FilePlaces places(root, fs::path(), [](const fs::path&) { return false; });
    EXPECT_EQ(places.forWriting("Zarvik.ini"), root / "Zarvik.ini");
    EXPECT_EQ(places.forReading("Zarvik.ini"), root / "Zarvik.ini");
}

TEST_F(FilePlacesTest, AnInstalledProgramUsesTheUsersFolderEvenWhereItCouldWriteItsOwn) {
    fs::create_directories(root / "usr" / "bin");
    write(root / "usr" / "bin" / "Zarvik.ini", "beside the program");
    const FilePlaces places = FilePlaces::inUserFolder(root / "home" / "Zarvik");
    EXPECT_EQ(places.forReading("Zarvik.ini"), root / "home" / "Zarvik" / "Zarvik.ini");
    const fs::path target = places.forWriting("scales.scl");
    EXPECT_EQ(target, root / "home" / "Zarvik" / "scales.scl");
    EXPECT_TRUE(fs::is_directory(root / "home" / "Zarvik"));
    write(target, "mine");
    EXPECT_EQ(read(places.forReading("scales.scl")), "mine");
    EXPECT_EQ(read(places.forWriting("scales.scl")), "mine");
}

TEST_F(FilePlacesTest, OnlyAProgramInBinBesideItsDesktopEntryCountsAsInstalled) {
    struct Case {
        const char* what;
        const char* folder; // the executable's, below root
        const char* entry;  // a file made below root; "" for none
        bool installed;
    } cases[] = {
        {"installed for all users", "usr/bin", "usr/share/applications/zarvik.desktop", true},
        {"with the trailing separator", "usr/bin/", "usr/share/applications/zarvik.desktop", true},
        {"a build tree", "build", "", false},
        {"a bin folder of a portable copy", "zarvik/bin", "", false},
        {"an entry of another program", "usr/bin", "usr/share/applications/other.desktop", false},
        {"the entry beside a folder not named bin", "usr/sbin",
         "usr/share/applications/zarvik.desktop", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root);
        fs::create_directories(root / c.folder);
        if (*c.entry) {
            fs::create_directories((root / c.entry).parent_path());
            write(root / c.entry, "[Desktop Entry]\n");
        }
        EXPECT_EQ(isInstalledProgram(root / c.folder), c.installed);
    }
}

TEST_F(FilePlacesTest, TheWritabilityCheckFailsWhereTheReplacementCannotBeMade) {
    EXPECT_TRUE(canReplaceFile(root / "Zarvik.ini"));
    fs::create_directory(root / "Zarvik.ini.~new");
    EXPECT_FALSE(canReplaceFile(root / "Zarvik.ini"));
    EXPECT_TRUE(fs::is_directory(root / "Zarvik.ini.~new"));
    EXPECT_FALSE(canReplaceFile(root / "missing-folder" / "Zarvik.ini"));
}

} // namespace
