// A settings file may hold anything: values out of every range, numbers too large for any
// type, bytes that are no text. The window still comes up with every control in its range.

#include "common/cp1251.h"
#include "controlsinrange.h"
#include "shell/settingskeys.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

using namespace zarvik;

std::string garbageSettings(std::mt19937& random) {
    const std::vector<std::pair<std::string, std::string>> keys = {
        {ini::kSecMainWindow, ini::kKeyHeight},
        {ini::kSecMainWindow, ini::kKeyWidth},
        {ini::kSecMainWindow, ini::kKeyLeft},
        {ini::kSecOptions, ini::kKeyTimeUnits},
        {ini::kSecOptions, ini::kKeyXYmode},
        {ini::kSecOptions, ini::kKeyIntegrate},
        {ini::kSecOptions, ini::kKeyLoadHelp},
        {ini::kSecSeriesSelect, ini::channelKey(1)},
        {ini::kSecSeriesColor, ini::channelKey(2)},
        {ini::kSecStart, ini::kKeyStartType},
        {ini::kSecAdc, ini::kKeyRange},
        {ini::kSecFT, ini::kKeySRAMblocks},
        {ini::kSecFT, ini::kKeyTime4allSRAM},
        {ini::kSecFT, ini::kKeyF}};
    const std::vector<std::string> values = {"-1",
                                             "0",
                                             "9",
                                             "16",
                                             "17",
                                             "65536",
                                             "4294967296",
                                             "-2147483648",
                                             "99999999999999999999",
                                             "1e5",
                                             "",
                                             " 5",
                                             "0x10",
                                             "\xff\xfe",
                                             "2048"};
    std::string text;
    for (const auto& [section, key] : keys) {
        if (random() % 3 == 0)
            continue;
        text += "[" + section + "]\r\n" + key + "=" + values[random() % values.size()] + "\r\n";
    }
    // And now and then raw bytes in between.
    for (unsigned n = random() % 40; n > 0; --n)
        text += static_cast<char>(random() % 256);
    return utf8ToCp1251(cp1251ToUtf8(text));
}

TEST(SettingsGarbageTest, AnySettingsFileGivesAWindowWithEveryControlInRange) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 60; ++round) {
        QTemporaryDir dir;
        const std::string text = garbageSettings(random);
        QFile f(dir.path() + "/Zarvik.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
        f.close();
        TForm1 w(dir.path() + "/");
        EXPECT_EQ(test::controlsOutOfRange(w), std::vector<std::string>{}) << text;
    }
}

} // namespace
