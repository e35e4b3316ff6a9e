#include "common/cp1251.h"
#include "common/inifile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using zarvik::IniFile;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("zarvik-ini-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_path = m_dir / "Zarvik.ini";
    }
    void TearDown() override { fs::remove_all(m_dir); }
    void writeBytes(const std::string& bytes) { std::ofstream(m_path, std::ios::binary) << bytes; }
    std::string readBytes() const {
        std::ifstream in(m_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    fs::path m_dir;
    fs::path m_path;
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndIsCreatedOnFirstWrite) {
    IniFile ini(m_path);
    EXPECT_EQ(ini.readInteger("Options", "XYmode", 3), 3);
    EXPECT_TRUE(ini.readBool("Options", "Restore", true));
    EXPECT_EQ(ini.readString("Options", "Name", "x"), "x");
    EXPECT_FALSE(fs::exists(m_path));
    ASSERT_TRUE(ini.writeInteger("Options", "XYmode", 2));
    EXPECT_EQ(readBytes(), "[Options]\r\nXYmode=2\r\n");
    EXPECT_EQ(IniFile(m_path).readInteger("Options", "XYmode", 0), 2);
}

TEST_F(IniFileTest, ValuesThatAreNotIntegersGiveTheDefault) {
    writeBytes("[A]\r\nn1= 42 \r\nn2=-7\r\nn3=12abc\r\nn4=\r\nn5=3.5\r\nb1=5\r\nb2=0\r\n"
               "n6=99999999999\r\nd1=2047,5\r\nd2=2047.5\r\n");
    IniFile ini(m_path);
    EXPECT_EQ(ini.readInteger("A", "n1", 0), 42);
    EXPECT_EQ(ini.readInteger("A", "n2", 0), -7);
    EXPECT_EQ(ini.readInteger("A", "n3", 8), 8);
    EXPECT_EQ(ini.readInteger("A", "n4", 8), 8);
    EXPECT_EQ(ini.readInteger("A", "n5", 8), 8);
    EXPECT_EQ(ini.readInteger("A", "n6", 8), 8);
    EXPECT_EQ(ini.readInteger("A", "missing", 8), 8);
    EXPECT_EQ(ini.readInteger("Missing", "n1", 8), 8);
    EXPECT_TRUE(ini.readBool("A", "b1", false));
    EXPECT_FALSE(ini.readBool("A", "b2", true));
    EXPECT_DOUBLE_EQ(ini.readDecimal("A", "d1", 1.0, ','), 2047.5);
    EXPECT_DOUBLE_EQ(ini.readDecimal("A", "d2", 1.0, ','), 1.0);
    EXPECT_DOUBLE_EQ(ini.readDecimal("A", "d2", 1.0, '.'), 2047.5);
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCaseCyrillicIncluded) {
    writeBytes(
        zarvik::utf8ToCp1251("[Окно F/T]\r\nSRAMBLOCKS=3\r\n[ГРАФИК СИГНАЛА]\r\nВысота=600\r\n"));
    IniFile ini(m_path);
    EXPECT_EQ(ini.readInteger("окно f/t", "SRAMblocks", 8), 3);
    EXPECT_EQ(ini.readInteger("График сигнала", "высота", 515), 600);
}

TEST_F(IniFileTest, WriteInPlaceKeepsEveryOtherLineByteForByte) {
    const std::string before = "; settings\r\n[Options]\r\nTimeUnits=1\r\n  XYmode = 0 \r\n"
                               "odd line without equals\r\n\r\n[Other]\r\nKey=v\r\n";
    writeBytes(before);
    IniFile ini(m_path);
    ASSERT_TRUE(ini.writeInteger("options", "xymode", 3));
    EXPECT_EQ(readBytes(), "; settings\r\n[Options]\r\nTimeUnits=1\r\nxymode=3\r\n"
                           "odd line without equals\r\n\r\n[Other]\r\nKey=v\r\n");
    // A new key goes after the last line of its section, a new section at the end.
    ASSERT_TRUE(ini.writeString("Options", "New", "x"));
    ASSERT_TRUE(ini.writeBool("Third", "Flag", true));
    EXPECT_EQ(readBytes(), "; settings\r\n[Options]\r\nTimeUnits=1\r\nxymode=3\r\n"
                           "odd line without equals\r\nNew=x\r\n\r\n[Other]\r\nKey=v\r\n"
                           "[Third]\r\nFlag=1\r\n");
}

TEST_F(IniFileTest, UnixLineEndsStayUnix) {
    writeBytes("[A]\nk=1\n");
    IniFile ini(m_path);
    ASSERT_TRUE(ini.writeInteger("A", "j", 2));
    EXPECT_EQ(readBytes(), "[A]\nk=1\nj=2\n");
}

TEST_F(IniFileTest, CyrillicNamesAreWrittenAsWindows1251) {
    IniFile ini(m_path);
    ASSERT_TRUE(ini.writeInteger("Запуск", "Тип", 16));
    EXPECT_EQ(readBytes(), "[\xC7\xE0\xEF\xF3\xF1\xEA]\r\n\xD2\xE8\xEF=16\r\n");
    ASSERT_TRUE(ini.writeString("Запуск", "Имя", "Ускорение, см/с/c"));
    EXPECT_EQ(IniFile(m_path).readString("ЗАПУСК", "имя", ""), "Ускорение, см/с/c");
    ASSERT_TRUE(ini.writeDecimal("Scales", "Channel 1", 250.5, ','));
    EXPECT_EQ(IniFile(m_path).readString("Scales", "Channel 1", ""), "250,5");
}

TEST_F(IniFileTest, AFailedWriteLeavesTheFileAsItWas) {
    writeBytes("[A]\r\nk=1\r\n");
    IniFile ini(m_path);
    // A folder where the new copy would be written makes the write fail, even for root.
    fs::path blocker = m_path;
    blocker += ".~new";
    fs::create_directory(blocker);
    EXPECT_FALSE(ini.writeInteger("A", "k", 2));
    fs::remove(blocker);
    EXPECT_EQ(readBytes(), "[A]\r\nk=1\r\n");
    EXPECT_EQ(ini.readInteger("A", "k", 0), 1) << "memory follows the file";
}

#ifndef _WIN32
TEST_F(IniFileTest, AWriteReplacesTheFileWhole) {
    writeBytes("[A]\r\nk=1\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(m_path.c_str(), &before), 0);
    IniFile ini(m_path);
    ASSERT_TRUE(ini.writeInteger("A", "k", 2));
    struct stat after {};
    ASSERT_EQ(::stat(m_path.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "written beside and renamed over, not in place";
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1)
        << "no temporary file left behind";
}
#endif

} // namespace
