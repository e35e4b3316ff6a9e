#pragma once
// The host's side of the board's line in tests: the serial component set up as the program
// sets up its port, collecting what arrives, with a plain transfer loop.

#include "boardsignals.h"
#include "device/serial/sercomm.h"
#include "unit/serial/uiqueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zarvik::boardsim {

using Bytes = std::vector<std::uint8_t>;

// The host's side of the line: the serial component set up as the program sets up its port,
// collecting what arrives.
class Host {
public:
    explicit Host(const std::string& path) : m_comm(m_ui.Invoker()) {
        m_comm.SetDeviceName(path);
        m_comm.SetParity(paOdd);
        m_comm.FlowControl().SetControlRts(rtsEnabled);
        m_comm.SetMonitorEvents(ceRxChar | ceTxEmpty | ceRxFlag | ceError);
        m_comm.OnRxChar = [this](TSerCustomComm& sender, int count) {
            Bytes chunk(static_cast<std::size_t>(count));
            chunk.resize(static_cast<std::size_t>(sender.ReadBytes(chunk.data(), count)));
            m_rx.insert(m_rx.end(), chunk.begin(), chunk.end());
        };
        m_comm.OnError = [this](TSerCustomComm&, std::uint32_t) { m_lineLost = true; };
        m_comm.Open();
        TSerLineSettings s = m_comm.GetLineSettings();
        s.BaudRate = 921600;
        m_comm.SetLineSettings(s);
    }

    void send(const Bytes& bytes) {
        ASSERT_TRUE(m_comm.WriteBytes(bytes.data(), static_cast<int>(bytes.size())) ==
                    static_cast<int>(bytes.size()));
    }

    // The first count bytes received, waiting up to limit; fewer when no more came.
    Bytes take(std::size_t count,
               std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
        m_ui.PumpUntil([&] { return m_rx.size() >= count; }, limit);
        const std::size_t n = std::min(count, m_rx.size());
        Bytes out(m_rx.begin(), m_rx.begin() + static_cast<std::ptrdiff_t>(n));
        m_rx.erase(m_rx.begin(), m_rx.begin() + static_cast<std::ptrdiff_t>(n));
        return out;
    }

    void pump(std::chrono::milliseconds period) { m_ui.PumpFor(period); }
    bool waitLineLost() {
        return m_ui.PumpUntil([&] { return m_lineLost; }, std::chrono::milliseconds(3000));
    }
    std::size_t pending() const { return m_rx.size(); }
    TSerComm& comm() { return m_comm; }

    // A transfer of the given block count, packet by packet, each asked for with "q" and a bad
    // one with "r" and "q"; returns the samples as stored (16-bit little-endian words).
    Bytes transfer(std::uint8_t mode, int blocks, int* rejected = nullptr) {
        send({'p', mode, 0x00, 0x00, static_cast<std::uint8_t>((8 - blocks) * 32)});
        Bytes samples;
        const int total = blocks * kPacketsPerBlock;
        for (int left = total; left > 0;) {
            const Bytes packet = take(kPacketSize);
            if (packet.size() != kPacketSize) {
                ADD_FAILURE() << "packet " << total - left + 1 << " did not come";
                return samples;
            }
            const std::uint16_t sum = packetChecksum(packet.data(), kPacketSize - 2);
            const bool good = (packet[0] == 'p' || packet[0] == 'q') &&
                              sum == packet[kPacketSize - 2] * 256 + packet[kPacketSize - 1];
            if (!good) {
                if (rejected) {
                    ++*rejected;
                }
                send({'r', 'q'});
                continue;
            }
            for (std::size_t i = 1; i + 1 < kPacketSize - 2; i += 2) {
                const int sample = packet[i] + 256 * (packet[i + 1] >> 4);
                samples.push_back(static_cast<std::uint8_t>(sample & 0xFF));
                samples.push_back(static_cast<std::uint8_t>(sample >> 8));
            }
            if (--left > 0) {
                send({'q'});
            }
        }
        return samples;
    }

private:
    test::UiQueue m_ui;
    TSerComm m_comm;
    Bytes m_rx;
    bool m_lineLost = false;
};

} // namespace zarvik::boardsim
