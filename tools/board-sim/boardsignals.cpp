#include "boardsignals.h"

#include <algorithm>
#include <cmath>

namespace zarvik::boardsim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::uint64_t kNoiseSeed = 0x5A5A1234ABCDull;

// A counter-based generator, so that any sample can be computed on its own.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint16_t clampCode(double value) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(value), 0L, 4095L));
}

int channelCount(std::uint8_t mask) {
    int n = 0;
    for (int bit = 0; bit < kChannelCount; ++bit) {
        n += (mask >> bit) & 1;
    }
    return n;
}

// The channel number (1..8) of word k of the memory.
int channelOfWord(std::uint8_t mask, std::size_t k) {
    const int n = channelCount(mask);
    if (n == 0) {
        return 1;
    }
    int wanted = static_cast<int>(k % static_cast<std::size_t>(n));
    for (int bit = 0; bit < kChannelCount; ++bit) {
        if ((mask >> bit) & 1) {
            if (wanted-- == 0) {
                return bit + 1;
            }
        }
    }
    return 1;
}

} // namespace

std::uint16_t sampleCode(int channel, std::uint64_t instant, std::uint32_t clockDivisor) {
    const double t = static_cast<double>(instant) * clockDivisor / kClockHz;
    switch (channel) {
    case 1:
        return clampCode(2048 + 1500 * std::sin(2 * kPi * 50 * t));
    case 2:
        return std::fmod(t * 10, 1.0) < 0.5 ? 3000 : 1000;
    case 3: {
        const double since = std::fmod(t, 0.5);
        return clampCode(2048 + 1800 * std::exp(-since / 0.05) * std::sin(2 * kPi * 200 * since));
    }
    case 4:
        return static_cast<std::uint16_t>(1548 + mix(kNoiseSeed ^ instant) % 1001);
    case 5:
        return 1000;
    case 6:
        return clampCode(2048 + 1000 * std::sin(2 * kPi * 1000 * t));
    case 7:
        return std::fmod(t, 1.0) < 0.5 ? 3500 : 500;
    default:
        return 3000;
    }
}

std::uint32_t clockDivisorFromBytes(std::uint8_t hi, std::uint8_t lo) {
    const std::uint32_t divisor = (65544u - ((static_cast<std::uint32_t>(hi) << 8) | lo)) & 0xFFFFu;
    return divisor == 0 ? 65536u : divisor;
}

int blocksFromCode(std::uint8_t code) {
    return 8 - std::min(code >> 5, 7);
}

BoardMemory measure(std::uint8_t mask, std::uint32_t clockDivisor, int blocks, int steadyLevel) {
    BoardMemory memory;
    memory.mask = mask;
    memory.words.assign(static_cast<std::size_t>(blocks) * kWordsPerBlock, 0);
    const int n = channelCount(mask);
    if (n == 0) {
        return memory;
    }
    if (steadyLevel >= 0) {
        std::fill(memory.words.begin(), memory.words.end(),
                  static_cast<std::uint16_t>(std::min(steadyLevel, 4095)));
        return memory;
    }
    for (std::size_t k = 0; k < memory.words.size(); ++k) {
        memory.words[k] =
            sampleCode(channelOfWord(mask, k), k / static_cast<std::size_t>(n), clockDivisor);
    }
    return memory;
}

double measureSeconds(std::uint8_t mask, std::uint32_t clockDivisor, int blocks) {
    const int n = channelCount(mask);
    if (n == 0) {
        return 0;
    }
    const double instants = static_cast<double>(blocks) * kWordsPerBlock / n;
    return instants * clockDivisor / kClockHz;
}

std::uint16_t packetChecksum(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += bytes[i];
    }
    return static_cast<std::uint16_t>(sum);
}

std::array<std::uint8_t, kPacketSize> encodePacket(const BoardMemory& memory, std::size_t index,
                                                   char type) {
    std::array<std::uint8_t, kPacketSize> packet{};
    packet[0] = static_cast<std::uint8_t>(type);
    for (std::size_t i = 0; i < static_cast<std::size_t>(kWordsPerPacket); ++i) {
        const std::size_t k = index * kWordsPerPacket + i;
        const std::uint16_t word = k < memory.words.size() ? memory.words[k] : 0;
        const auto channelIndex = static_cast<std::uint8_t>(channelOfWord(memory.mask, k) - 1);
        packet[1 + 2 * i] = static_cast<std::uint8_t>(word & 0xFF);
        packet[2 + 2 * i] = static_cast<std::uint8_t>(((word >> 8) << 4) | channelIndex);
    }
    const std::uint16_t sum = packetChecksum(packet.data(), kPacketSize - 2);
    packet[kPacketSize - 2] = static_cast<std::uint8_t>(sum >> 8);
    packet[kPacketSize - 1] = static_cast<std::uint8_t>(sum & 0xFF);
    return packet;
}

std::vector<std::uint8_t> sampleBytes(const BoardMemory& memory, int blocks) {
    const std::size_t words = static_cast<std::size_t>(blocks) * kWordsPerBlock;
    std::vector<std::uint8_t> bytes(2 * words, 0);
    for (std::size_t k = 0; k < words && k < memory.words.size(); ++k) {
        bytes[2 * k] = static_cast<std::uint8_t>(memory.words[k] & 0xFF);
        bytes[2 * k + 1] = static_cast<std::uint8_t>(memory.words[k] >> 8);
    }
    return bytes;
}

} // namespace zarvik::boardsim
