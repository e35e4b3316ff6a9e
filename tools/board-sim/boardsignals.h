#pragma once
// What the simulated board measures and how it packs it: a deterministic signal per channel,
// the board's memory after a measurement, and the 503-byte transfer packets. Tests use the
// same functions to know the samples a transfer must deliver.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarvik::boardsim {

constexpr std::uint32_t kClockHz = 14745600; // the board's crystal
constexpr int kChannelCount = 8;
constexpr int kWordsPerBlock = 30000;
constexpr int kWordsPerPacket = 250;
constexpr int kPacketsPerBlock = kWordsPerBlock / kWordsPerPacket; // 120
constexpr std::size_t kPacketSize = 1 + 2 * kWordsPerPacket + 2;   // 503

// The 12-bit code of channel 1..8 at a sample instant, sampled with the clock divisor:
// 1 sine 50 Hz, 2 square 10 Hz, 3 decaying 200 Hz oscillation restarting every 0.5 s,
// 4 noise from a fixed seed, 5 steady 1000, 6 sine 1 kHz, 7 square 1 Hz, 8 steady 3000.
std::uint16_t sampleCode(int channel, std::uint64_t instant, std::uint32_t clockDivisor);

// The clock divisor of the start command's two divisor bytes ((65544 - divisor) mod 65536).
std::uint32_t clockDivisorFromBytes(std::uint8_t hi, std::uint8_t lo);
// The memory blocks a block code asks for: (8 - blocks) * 32.
int blocksFromCode(std::uint8_t code);

// The board's memory: words interleaved by sample instant over the channels of the mask in
// ascending channel number.
struct BoardMemory {
    std::uint8_t mask = 0;
    std::vector<std::uint16_t> words;
};

// A steady level of 0..4095 stands for every channel's signal (-1: the signals).
BoardMemory measure(std::uint8_t mask, std::uint32_t clockDivisor, int blocks,
                    int steadyLevel = -1);
// How long the board samples for that measurement.
double measureSeconds(std::uint8_t mask, std::uint32_t clockDivisor, int blocks);

// Packet index (0-based) of a transfer: type byte, 250 samples as (low byte, high nibble in
// the upper four bits with the channel index below), and the 16-bit sum of bytes 0..500, high
// byte first. Words beyond the memory are 0.
std::array<std::uint8_t, kPacketSize> encodePacket(const BoardMemory& memory, std::size_t index,
                                                   char type);
std::uint16_t packetChecksum(const std::uint8_t* bytes, std::size_t count);

// The sample stream a host keeps from a transfer of blocks: 16-bit little-endian words.
std::vector<std::uint8_t> sampleBytes(const BoardMemory& memory, int blocks);

} // namespace zarvik::boardsim
