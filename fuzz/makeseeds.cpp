// Seeds for the fuzz harnesses, made by the program's own writers: a data file for every
// channel set of one or two channels and for all eight, the settings and calibration files the
// program writes, the chunks of a transfer as the simulated board sends them, and an index of
// the history of measurements.
// Usage: fuzz_seeds FOLDER (makes FOLDER/d8c, FOLDER/ini, FOLDER/text, FOLDER/receive,
// FOLDER/history).

#include "boardsignals.h"
#include "common/inifile.h"
#include "files/d8cfile.h"
#include "history/historyindex.h"
#include "shell/settings.h"
#include "view/scalesfile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
namespace sim = zarvik::boardsim;

namespace {

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: fuzz_seeds FOLDER\n", stderr);
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* sub : {"d8c", "ini", "text", "receive", "history"})
        fs::create_directories(root / sub);

    for (int mask : {0x01, 0x02, 0x05, 0x80, 0xC3, 0xFF}) {
        zarvik::TMeasurement m;
        m.ChannelMask = static_cast<std::uint32_t>(mask);
        m.SamplePeriodUs = 488.28125;
        m.XTitle = "Время, мкс";
        m.YTitle = "Ускорение, см/с/c";
        m.ChannelsLine = "Каналы";
        m.SampleData = sim::sampleBytes(sim::measure(static_cast<std::uint8_t>(mask), 7200, 1), 1);
        m.SampleData.resize(64 * 2); // a few instants keep the seeds small
        const fs::path file = root / "d8c" / ("mask" + std::to_string(mask) + ".d8c");
        zarvik::saveD8cFile(m, file.string(), {"Стенд 2, датчик 4", "нагрузка 12 кН"},
                            std::nullopt);
    }

    const fs::path ini = root / "ini" / "Zarvik.ini";
    zarvik::IniFile settings(ini);
    zarvik::writeMainSettings(settings, zarvik::MainSettings());
    const fs::path scl = root / "ini" / "scales.scl";
    zarvik::IniFile scales(scl);
    zarvik::ChannelValues levels{};
    for (int n = 1; n <= zarvik::kChannels; ++n)
        levels[n] = 2000 + n;
    zarvik::writeZeroLevels(scales, levels, 0xFF, ',');
    scales.writeString(zarvik::scl::kSecYscale, zarvik::scl::kKeyName, zarvik::kDefaultYTitle.text);
    writeFile(root / "text" / "settings", readFile(ini));
    writeFile(root / "text" / "numbers", "2047,5 1E-6 -1.5E-7 250");

    // The receive harness's input: a transfer of one block (state byte 2), its packets as
    // well-formed "q" packets of their 500 sample bytes (kind 6), a fragment of one as raw
    // bytes (kind 0, 167 units of 3), and an echo.
    const sim::BoardMemory memory = sim::measure(0x01, 7200, 1);
    std::string transfer(1, '\x02');
    for (std::size_t i = 0; i < 4; ++i) {
        const auto packet = sim::encodePacket(memory, i, 'q');
        if (i == 2) {
            transfer += '\x00';
            transfer += static_cast<char>(167);
            transfer.append(reinterpret_cast<const char*>(packet.data()), 501);
        }
        transfer += '\x06';
        transfer.append(reinterpret_cast<const char*>(packet.data() + 1), 500);
    }
    transfer += std::string("\x01\x01\x18\x00\x00", 5);
    writeFile(root / "receive" / "transfer", transfer);

    // A journal: two measurements, a pin, a comment written later and one deleted.
    zarvik::HistoryEntry e;
    e.name = "2024-05-14_09-31-02.d8c";
    e.measuredAt = 45426.396550925925;
    e.channelMask = 0xFF;
    e.samplePeriodUs = 488.28125;
    e.dataSize = 480000;
    e.comment = {"Стенд 2, датчик 4", "Каналы 12345678"};
    e.fileBytes = 480199;
    std::string journal =
        std::string(zarvik::kHistoryIndexHeader) + "\n" + zarvik::historyRecord(e);
    e.name = "2024-05-14_09-40-11_zero.d8c";
    e.zeroRun = true;
    journal += zarvik::historyRecord(e);
    journal += zarvik::historyRecord(e.name, {{"pinned", "1"}});
    journal += zarvik::historyRecord("2024-05-14_09-31-02.d8c", {{"comment", "нагрузка\t12 кН"}});
    journal += zarvik::historyRecord("2024-05-13_17-02-40.d8c", {{"deleted", "1"}});
    writeFile(root / "history" / "history-index.txt", journal);
    return 0;
}
