#include "device/boardprotocol.h"

#include "common/rounding.h"

#include <cstdio>

namespace zarvik {

std::uint8_t blockCode(int blocks) {
    return static_cast<std::uint8_t>((8 - blocks) * 32);
}

ByteString startCommand(std::uint8_t mode, std::uint8_t mask, int clockDivisor, std::uint8_t code) {
    const auto div = static_cast<std::uint16_t>((65544 - clockDivisor) & 0xFFFF);
    return {board::kStart,
            mode,
            mask,
            static_cast<std::uint8_t>(div >> 8),
            static_cast<std::uint8_t>(div & 0xFF),
            code};
}

ByteString startAndWaitCommand() {
    return {board::kStartAndWait, blockCode(8)};
}

ByteString readCommand(std::uint8_t mode, std::uint8_t code) {
    return {board::kRead, mode, 0x00, 0x00, code};
}

std::uint8_t modeByte(int rangeIndex, int startMode) {
    return static_cast<std::uint8_t>(rangeIndex + startMode);
}

std::optional<int> startDivisor(int F) {
    if (F <= 0)
        return std::nullopt;
    const std::int64_t divisor = roundHalfEven(board::kClockHz / F);
    if (divisor < board::kDivisorMin || divisor > board::kDivisorMax)
        return std::nullopt;
    return static_cast<int>(divisor);
}

double samplePeriodUs(int clockDivisor) {
    return clockDivisor / board::kClockHz * 1000000.0;
}

double measureTimeMs(int blocks, int channels, int F) {
    if (channels <= 0 || F <= 0)
        return 0.0;
    return static_cast<double>(
        roundHalfEven(blocks * 240000000.0 / 8.0 / channels / static_cast<double>(F)));
}

double transferTimeMs(int blocks) {
    return static_cast<double>(idiv(std::int64_t{blocks} * 7000, 8));
}

UiText transferText(double transferMs) {
    return {ZARVIK_TR_NOOP("Board", "ПЕРЕДАЧА МАССИВА, %1с"),
            {std::to_string(roundHalfEven(transferMs / 1000.0))}};
}

std::string channelsLine(std::uint8_t mask) {
    std::string line = "Каналы ";
    for (int n = 1; n <= 8; ++n)
        if (mask & (1u << (n - 1)))
            line += static_cast<char>('0' + n);
    return line;
}

bool packetTypeOk(const std::uint8_t* bytes, std::size_t n) {
    return n > 0 && (bytes[0] == board::kRead || bytes[0] == board::kNext);
}

bool packetChecksumOk(const std::uint8_t* bytes, std::size_t n) {
    // A chunk of another length is a fragment, or a packet with bytes around it: its samples
    // would land 250 words off.
    if (n != board::kPacketSize)
        return false;
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i + 2 < n; ++i)
        sum = static_cast<std::uint16_t>(sum + bytes[i]);
    return sum == bytes[n - 2] * 256 + bytes[n - 1];
}

void appendPacketSamples(const std::uint8_t* packet, std::vector<std::uint8_t>& samples) {
    const std::size_t at = samples.size();
    samples.resize(at + 2 * board::kSamplesPerPacket);
    std::uint8_t* out = samples.data() + at;
    for (std::size_t i = 0; i < board::kSamplesPerPacket; ++i) {
        const std::uint8_t first = packet[1 + 2 * i];
        const std::uint8_t second = packet[2 + 2 * i];
        out[2 * i] = first;
        out[2 * i + 1] = static_cast<std::uint8_t>(second >> 4);
    }
}

ProgressFigures progressFigures(std::uint32_t elapsedMs, std::int32_t totalSec, int maximum) {
    ProgressFigures p;
    p.elapsedSec = static_cast<std::int32_t>(elapsedMs / 1000);
    p.restSec = totalSec - p.elapsedSec;
    if (totalSec <= 0) {
        // Nothing to wait for: the display is at its end at once.
        p.percent = 100;
        p.position = maximum;
        p.finished = true;
        return p;
    }
    p.percent = static_cast<std::uint16_t>(std::int64_t{p.elapsedSec} * 100 / totalSec);
    p.position = static_cast<int>(std::int64_t{maximum} * p.elapsedSec / totalSec);
    p.finished = p.position >= maximum;
    return p;
}

std::string minutesSeconds(std::int32_t seconds) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2d:%.2d", seconds / 60, seconds % 60);
    return buf;
}

} // namespace zarvik
