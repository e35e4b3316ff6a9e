#pragma once
// The board's side of a measurement as bytes and numbers: the commands the host sends, the
// 503-byte data packets and their check, the sample decoding, the expected durations and the
// progress figures. Plain functions; the measurement cycle applies them to the line and the
// controls.

#include "common/uitext.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zarvik {

using ByteString = std::vector<std::uint8_t>;

namespace board {
constexpr std::uint8_t kStart = 0x19;
constexpr std::uint8_t kStartAndWait = 0x16;
constexpr std::uint8_t kRead = 'p';
constexpr std::uint8_t kNext = 'q';
constexpr std::uint8_t kRepeat = 'r';
constexpr std::uint8_t kBoot = 0x0B;
constexpr std::uint8_t kEcho = 0x18;
constexpr std::uint8_t kFinishedA = 0x0A;
constexpr std::uint8_t kFinishedB = 0x0B;

constexpr std::size_t kPacketSize = 503; // type byte, 250 samples of two bytes, checksum
constexpr std::size_t kSamplesPerPacket = 250;
constexpr int kPacketsPerBlock = 120;
constexpr double kClockHz = 14745600.0;
// The divisor travels as (65544 - divisor) mod 65536: it fits for 9..65544, F >= 225 Hz.
constexpr int kDivisorMin = 9;
constexpr int kDivisorMax = 65544;
} // namespace board

// The byte that tells the board to use B memory blocks: (8 - B) * 32.
std::uint8_t blockCode(int blocks);

// Start measurement: 0x19, mode, channel mask, the divisor's two bytes (high first), block code.
ByteString startCommand(std::uint8_t mode, std::uint8_t mask, int clockDivisor,
                        std::uint8_t blockCode);
// Start and wait for the board's external start: 0x16 and the block code of all 8 blocks.
ByteString startAndWaitCommand();
// Read the array: "p", the mode byte of the last start, 0, 0, block code.
ByteString readCommand(std::uint8_t mode, std::uint8_t blockCode);

// The start command's mode byte: converter range item (0: 0...2,5 V, 1: 0...5,0 V) plus the
// start mode (0 by button, 16 external).
std::uint8_t modeByte(int rangeIndex, int startMode);

// round(14745600 / F); empty when the divisor does not fit the start command (F below 225 Hz,
// or so high that the divisor is below 9) or F is not positive.
std::optional<int> startDivisor(int F);
// One channel's sampling period in microseconds for the divisor.
double samplePeriodUs(int clockDivisor);

// Expected measuring time: round(B * 240000000 / 8 / n / F) ms; 0 for n or F not positive.
double measureTimeMs(int blocks, int channels, int F);
// Expected transfer time: B * 7000 div 8 ms (875 ms a block).
double transferTimeMs(int blocks);
// "ПЕРЕДАЧА МАССИВА, " + round(ms / 1000) + "с".
UiText transferText(double transferMs);

// "Каналы " followed by the digit of every checked channel, ascending; mask bit n-1 = channel n.
std::string channelsLine(std::uint8_t mask);

// A packet passes when it is exactly 503 bytes, starts with "p" or "q", and the 16-bit sum of
// bytes 0..500 equals byte 501 * 256 + byte 502.
bool packetTypeOk(const std::uint8_t* bytes, std::size_t n);
bool packetChecksumOk(const std::uint8_t* bytes, std::size_t n);
// Appends the 250 samples of a packet as 16-bit little-endian words: first + 256 * (second >> 4).
void appendPacketSamples(const std::uint8_t* packet, std::vector<std::uint8_t>& samples);

// The progress display at a moment: seconds elapsed and left, the percentage (integer
// quotient), the bar position and whether the bar has reached its end.
struct ProgressFigures {
    std::int32_t elapsedSec = 0;
    std::int32_t restSec = 0;
    std::uint16_t percent = 0;
    int position = 0;
    bool finished = false;
};
ProgressFigures progressFigures(std::uint32_t elapsedMs, std::int32_t totalSec, int maximum);
// Seconds as "%.2d:%.2d" minutes and seconds.
std::string minutesSeconds(std::int32_t seconds);

} // namespace zarvik
