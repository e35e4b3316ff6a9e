#include "device/receivehandler.h"

namespace zarvik {

bool CycleState::transferring() const {
    return !CurrentCommand.empty() && CurrentCommand[0] >= board::kRead;
}

bool CycleState::measuring() const {
    return !CurrentCommand.empty() &&
           (CurrentCommand[0] == board::kStart || CurrentCommand[0] == board::kStartAndWait) &&
           PacketsLeft == 1;
}

ChunkDecision receiveChunk(CycleState& s, const std::uint8_t* bytes, std::size_t n,
                           bool linkCheckPending, std::vector<std::uint8_t>& received) {
    ChunkDecision d;
    if (n == 0)
        return d;
    if (s.measuring() || (s.transferring() && s.PacketsLeft > 0)) {
        // The echo of a link check sent just before a start is no reply to it, and no packet
        // begins with it.
        while (n > 0 && bytes[0] == board::kEcho) {
            d.linkCheckAnswered = linkCheckPending;
            ++bytes;
            --n;
        }
        if (n == 0)
            return d;
    } else if (linkCheckPending && bytes[0] == board::kEcho) {
        d.linkCheckAnswered = true;
        return d;
    }

    const std::uint8_t first = bytes[0];
    if (s.transferring()) {
        if (first == board::kNext)
            d.clearLegacyFormat = true;
        bool accepted = false;
        if (packetTypeOk(bytes, n)) {
            if (s.PacketsLeft % 60 == 0 || s.PacketsLeft == 2) {
                const int done =
                    s.PacketsTotal == 0 ? 100 : 100 - s.PacketsLeft * 100 / s.PacketsTotal;
                d.status0 =
                    UiText{ZARVIK_TR_NOOP("Board", "Передача данных %1%"), {std::to_string(done)}};
                if (s.PacketsLeft == 2)
                    d.status1 = UiText{ZARVIK_TR_NOOP("Board", "Построение графика")};
            }
            accepted = packetChecksumOk(bytes, n);
            d.badChecksum = !accepted && n == board::kPacketSize;
        }
        if (accepted) {
            appendPacketSamples(bytes, received);
            d.stored = true;
        } else {
            d.rejected = true;
            d.write.push_back(board::kRepeat);
            ++s.PacketsLeft;
        }
    }

    --s.PacketsLeft;
    if (s.PacketsLeft > 0 && s.CurrentCommand >= ByteString{board::kRead})
        d.write.push_back(board::kNext);
    if (s.PacketsLeft == 0 && (first == board::kFinishedA || first == board::kFinishedB))
        d.startTransfer = true;
    else if (s.PacketsLeft == 0) {
        d.transferComplete = s.transferring();
        d.draw = true;
        // Whatever comes after the last packet is no part of the array.
        if (d.transferComplete)
            s.CurrentCommand = {0x00};
    }
    return d;
}

} // namespace zarvik
