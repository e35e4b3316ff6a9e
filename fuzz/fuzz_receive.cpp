// Whatever the line delivers, in whatever state of the measurement cycle, the receive handler
// stores only packets that passed their check, asks only with "q" and "r" during a transfer,
// and never collects more than the blocks of the measurement hold.
//
// Input: a state byte (idle, measuring, or a transfer of 1..8 blocks), then chunks, each a
// kind byte (bit 0: the link check is pending; bit 1: a well-formed packet made of the next
// 500 bytes, so that accepted packets are reached; otherwise a length byte and raw bytes).

#include "device/boardprotocol.h"
#include "device/receivehandler.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using namespace zarvik;

bool allowedDuringTransfer(const ByteString& write) {
    for (std::uint8_t b : write)
        if (b != board::kNext && b != board::kRepeat)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0];
    const int blocks = 1 + (mode >> 4) % 8;
    CycleState s;
    switch (mode & 3) {
    case 1:
        s.CurrentCommand = startCommand(0, 0xFF, 7200, blockCode(blocks));
        s.StartCommand = s.CurrentCommand;
        s.PacketsLeft = 1;
        break;
    case 2:
        s.CurrentCommand = readCommand(0, blockCode(blocks));
        s.PacketsLeft = s.PacketsTotal = static_cast<std::uint16_t>(blocks * 120);
        break;
    default:
        break;
    }
    std::vector<std::uint8_t> received;
    const std::size_t limit = static_cast<std::size_t>(blocks) * 60000;

    for (std::size_t at = 1; at < size;) {
        const std::uint8_t kind = data[at++];
        ByteString chunk;
        if (kind & 2) {
            chunk.push_back((kind & 4) ? 'q' : 'p');
            for (std::size_t i = 0; i < 500; ++i)
                chunk.push_back(at < size ? data[at++] : 0);
            std::uint16_t sum = 0;
            for (std::uint8_t b : chunk)
                sum = static_cast<std::uint16_t>(sum + b);
            chunk.push_back(static_cast<std::uint8_t>(sum >> 8));
            chunk.push_back(static_cast<std::uint8_t>(sum & 0xFF));
        } else {
            const std::size_t n = at < size ? data[at++] * 3u : 0;
            for (std::size_t i = 0; i < n && at < size; ++i)
                chunk.push_back(data[at++]);
        }
        const bool transferring = s.transferring();
        const std::size_t before = received.size();
        const ChunkDecision d =
            receiveChunk(s, chunk.data(), chunk.size(), (kind & 1) != 0, received);
        if (d.stored && !(packetTypeOk(chunk.data(), chunk.size()) &&
                          packetChecksumOk(chunk.data(), chunk.size())))
            std::abort();
        if (received.size() != before + (d.stored ? 500 : 0))
            std::abort();
        if (transferring && !allowedDuringTransfer(d.write))
            std::abort();
        if (received.size() > limit)
            std::abort();
        if (d.startTransfer) {
            // What the cycle does next: ask for the array.
            s.CurrentCommand = readCommand(0, blockCode(blocks));
            s.PacketsLeft = s.PacketsTotal = static_cast<std::uint16_t>(blocks * 120);
            received.clear();
        }
    }
    return 0;
}
