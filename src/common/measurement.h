#pragma once
// The one measurement the program holds at a time: raw samples as they came from the board
// or from a ".d8c" file, the acquisition parameters that belong to them, the calibration in
// use and where the data came from. Plain data, touched on the user-interface thread only.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zarvik {

constexpr int kChannels = 8;
constexpr int kWordsPerBlock = 30000;              // one board memory block, all channels
constexpr int kBytesPerBlock = 2 * kWordsPerBlock; // 60000
constexpr int kMaxBlocks = 8;
constexpr double kBoardClockHz = 14745600.0; // the board's crystal

// Per-channel values, indexed by channel number 1..8 (index 0 unused), so that the code reads
// like the channel numbers the operator sees.
using ChannelValues = std::array<double, kChannels + 1>;

inline constexpr std::uint16_t kFormatLegacy = 0x0004;
inline constexpr std::uint16_t kFormatCurrent = 0x8004;

struct TMeasurement {
    // Samples: unsigned 16-bit little-endian words interleaved by sample instant over the
    // channel set in ascending channel number. Only whole instants are meaningful: readers
    // take samples per channel as size div 2 div the number of checked channel boxes and
    // ignore trailing words (7 channels do not divide a 30000-word block).
    std::vector<std::uint8_t> SampleData;

    std::uint32_t ChannelMask = 0; // bit n-1 = channel n; recomputed from the boxes at drawing
    std::uint8_t ChannelCount = 0; // checked channel boxes, 0..8
    std::int16_t BlockCount = kMaxBlocks; // memory blocks of the measurement, 1..8
    std::int32_t SRAMblocks = kMaxBlocks; // operator's sample count / 30000, 1..8
    std::int32_t Time4allSRAM = 117187;   // measurement time for all memory

    // Header fields of the data file, in the order they are stored.
    std::uint16_t FormatWord = kFormatCurrent; // low byte 4 marks a data file
    std::uint8_t FormatByteA = 16;
    std::uint8_t FormatByteB = 1;
    std::uint32_t DataSize = 0;  // bytes of SampleData
    double SamplePeriodUs = 0.0; // one channel's sampling period, microseconds

    ChannelValues Scale{}; // physical = (code - Shift) * Scale, in force for this measurement
    ChannelValues Shift{};
    std::string XTitle;               // "Время, " + time unit
    std::string YTitle;               // name of the physical quantity
    double MeasuredAt = 0.0;          // days since 30 December 1899; not stored inside the file
    std::vector<std::string> Comment; // the lines of the comment memo
    std::string ChannelsLine;         // "Каналы " + digits of the checked channels

    // Calibration source, from "scales.scl".
    ChannelValues ScaleK{};
    ChannelValues ShiftScl{};
    ChannelValues ZeroLevel{};
    std::array<std::int32_t, 13> SavedParams{};

    bool FromFile = false;     // samples came from a file: its own Scale/Shift stay in force
    bool LegacyFormat = false; // FormatWord 4 is kept on re-save
    bool ZeroRun = false;
    std::string FileName;     // data file last loaded
    std::string SaveFileName; // name last chosen in the save dialog

    TMeasurement() {
        for (int n = 1; n <= kChannels; ++n) {
            ScaleK[n] = 250.0;
            ShiftScl[n] = 2047.0;
            Scale[n] = ScaleK[n];
            Shift[n] = ShiftScl[n];
        }
    }

    // Word i of the stream (little-endian); the caller keeps i inside the stream.
    std::uint16_t word(std::size_t i) const {
        return static_cast<std::uint16_t>(SampleData[2 * i] | (SampleData[2 * i + 1] << 8));
    }
    std::size_t wordCount() const { return SampleData.size() / 2; }
};

// Number of channels in a mask (low 8 bits).
inline int channelsInMask(std::uint32_t mask) {
    int n = 0;
    for (int b = 0; b < kChannels; ++b)
        n += (mask >> b) & 1u;
    return n;
}

} // namespace zarvik
