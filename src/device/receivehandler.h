#pragma once
// What the host does with one chunk of bytes from the board, in each state of the measurement
// cycle: the echo of a link check, the measurement-finished byte, a data packet to store or to
// ask for again, the last packet. Plain decisions; the measurement cycle carries them out on
// the line and the controls.

#include "device/boardprotocol.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zarvik {

// The cycle state: the first byte of CurrentCommand tells the phase (below 0x70 measuring or
// idle, from "p" on the transfer) and PacketsLeft the replies still expected.
struct CycleState {
    ByteString CurrentCommand;
    ByteString StartCommand;
    std::uint16_t PacketsLeft = 0;
    std::uint16_t PacketsTotal = 0;

    bool transferring() const;
    // A start command went out and its finish byte has not come.
    bool measuring() const;
};

struct ChunkDecision {
    bool linkCheckAnswered = false;
    // A "q" packet came: the data is not of the old, "p"-only board.
    bool clearLegacyFormat = false;
    // The packet's 250 samples were appended to the received array.
    bool stored = false;
    std::optional<UiText> status0;
    std::optional<UiText> status1;
    // The packet failed its check: what is left of it on the line must be dropped before the
    // repeat request ("r" "q" in `write`) goes out, or the remainder would pass for the next
    // packet.
    bool rejected = false;
    // The rejected chunk was a whole packet whose sum did not match (else a fragment).
    bool badChecksum = false;
    ByteString write;
    // The measurement-finished byte: ask for the array.
    bool startTransfer = false;
    // The last packet is in: the received array is the new measurement.
    bool transferComplete = false;
    // Draw the measurement (the new one, or after an unexpected reply the one held).
    bool draw = false;
};

// One chunk as read from the line. `received` collects the samples of the transfer.
ChunkDecision receiveChunk(CycleState& state, const std::uint8_t* bytes, std::size_t n,
                           bool linkCheckPending, std::vector<std::uint8_t>& received);

} // namespace zarvik
