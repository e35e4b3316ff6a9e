#include "boardsignals.h"
#include "device/boardprotocol.h"
#include "device/linkfigures.h"
#include "device/receivehandler.h"

#include <gtest/gtest.h>

namespace zarvik {
namespace {

using Bytes = ByteString;

TEST(BoardProtocolTest, CommandsAndTheFiguresOfAStart) {
    // 8 blocks, 8 channels, 2048 Hz: divisor 7200 travels as 65544 - 7200 = 0xE3E8.
    EXPECT_EQ(startDivisor(2048), 7200);
    EXPECT_EQ(startCommand(modeByte(1, 16), 0xFF, 7200, blockCode(8)),
              (Bytes{0x19, 0x11, 0xFF, 0xE3, 0xE8, 0x00}));
    EXPECT_EQ(measureTimeMs(8, 8, 2048), 14648.0);
    // The lowest frequency the command can carry, and the first one below it.
    EXPECT_EQ(startDivisor(225), 65536);
    EXPECT_EQ(startCommand(0, 0x01, 65536, blockCode(1)), (Bytes{0x19, 0, 0x01, 0x00, 0x08, 0xE0}));
    EXPECT_NEAR(samplePeriodUs(65536), 4444.44, 0.005);
    EXPECT_FALSE(startDivisor(224));
    EXPECT_FALSE(startDivisor(0));
    EXPECT_EQ(measureTimeMs(8, 0, 2048), 0.0);

    EXPECT_EQ(readCommand(0x10, blockCode(3)), (Bytes{'p', 0x10, 0x00, 0x00, 160}));
    EXPECT_EQ(startAndWaitCommand(), (Bytes{0x16, 0x00}));
    for (int b = 1; b <= 8; ++b)
        EXPECT_EQ(blockCode(b), (8 - b) * 32) << b;

    struct {
        int blocks;
        double ms;
        const char* text;
    } const transfers[] = {{1, 875, "ПЕРЕДАЧА МАССИВА, 1с"},
                           {4, 3500, "ПЕРЕДАЧА МАССИВА, 4с"}, // a half to the even neighbour
                           {5, 4375, "ПЕРЕДАЧА МАССИВА, 4с"},
                           {8, 7000, "ПЕРЕДАЧА МАССИВА, 7с"}};
    for (const auto& t : transfers) {
        EXPECT_EQ(transferTimeMs(t.blocks), t.ms) << t.blocks;
        EXPECT_EQ(transferText(t.ms).russian(), t.text) << t.blocks;
    }
    EXPECT_EQ(channelsLine(0xA5), "Каналы 1368");
}

TEST(BoardProtocolTest, PacketCheckAndSampleDecoding) {
    boardsim::BoardMemory memory;
    memory.mask = 0x80;
    memory.words.assign(250, 0);
    memory.words[0] = 0xA34;
    const auto packet = boardsim::encodePacket(memory, 0, 'q');
    ASSERT_EQ(packet[1], 0x34);
    ASSERT_EQ(packet[2], 0xA7); // the low nibble is not part of the sample
    std::vector<std::uint8_t> samples;
    appendPacketSamples(packet.data(), samples);
    ASSERT_EQ(samples.size(), 500u);
    EXPECT_EQ(samples[0] | samples[1] << 8, 2612);

    EXPECT_TRUE(packetChecksumOk(packet.data(), packet.size()));
    auto swapped = packet; // the sum goes high byte first
    std::swap(swapped[501], swapped[502]);
    EXPECT_FALSE(packetChecksumOk(swapped.data(), swapped.size()));
    // A fragment whose last two bytes happen to be the sum of the others is still a fragment.
    const std::uint8_t fragment[] = {'q', 0x00, 0x71};
    EXPECT_FALSE(packetChecksumOk(fragment, 3));
    EXPECT_TRUE(packetTypeOk(fragment, 3));
    const std::uint8_t stray[] = {0x55};
    EXPECT_FALSE(packetTypeOk(stray, 1));
}

TEST(BoardProtocolTest, ProgressFigures) {
    struct {
        std::uint32_t elapsedMs;
        int totalSec;
        int maximum;
        int elapsed, rest, percent, position;
        bool finished;
    } const cases[] = {
        {0, 15, 14648, 0, 15, 0, 0, false},
        {7999, 15, 14648, 7, 8, 46, 6835, false}, // whole seconds, integer quotients
        {15000, 15, 14648, 15, 0, 100, 14648, true},
        {500, 0, 100, 0, 0, 100, 100, true}, // nothing to wait for: no division by zero
    };
    for (const auto& c : cases) {
        const ProgressFigures p = progressFigures(c.elapsedMs, c.totalSec, c.maximum);
        EXPECT_EQ(p.elapsedSec, c.elapsed) << c.elapsedMs;
        EXPECT_EQ(p.restSec, c.rest) << c.elapsedMs;
        EXPECT_EQ(p.percent, c.percent) << c.elapsedMs;
        EXPECT_EQ(p.position, c.maximum ? c.position : 0) << c.elapsedMs;
        EXPECT_EQ(p.finished, c.finished) << c.elapsedMs;
    }
    EXPECT_EQ(minutesSeconds(0), "00:00");
    EXPECT_EQ(minutesSeconds(75), "01:15");
    EXPECT_EQ(minutesSeconds(3600), "60:00");
}

class ReceiveTest : public ::testing::Test {
protected:
    ChunkDecision feed(const Bytes& chunk, bool linkCheckPending = false) {
        return receiveChunk(state, chunk.data(), chunk.size(), linkCheckPending, received);
    }
    void startMeasuring() {
        state.CurrentCommand = startCommand(0, 0xFF, 7200, blockCode(1));
        state.StartCommand = state.CurrentCommand;
        state.PacketsLeft = 1;
    }
    void startTransfer(int blocks) {
        state.CurrentCommand = readCommand(0, blockCode(blocks));
        state.PacketsLeft = state.PacketsTotal = static_cast<std::uint16_t>(blocks * 120);
    }
    CycleState state;
    std::vector<std::uint8_t> received;
};

TEST_F(ReceiveTest, EchoesAndTheFinishByte) {
    // Idle: the echo answers a pending check and changes nothing else.
    ChunkDecision d = feed({0x18}, true);
    EXPECT_TRUE(d.linkCheckAnswered);
    EXPECT_EQ(state.PacketsLeft, 0);
    // Stray bytes while idle only count down, wrapping; nothing is written or drawn.
    d = feed({0x55});
    EXPECT_EQ(state.PacketsLeft, 0xFFFF);
    EXPECT_TRUE(d.write.empty());
    EXPECT_FALSE(d.draw);

    // A late echo while measuring is no reply; the finish byte behind it is.
    startMeasuring();
    d = feed({0x18, 0x18});
    EXPECT_FALSE(d.startTransfer || d.draw);
    EXPECT_TRUE(state.measuring());
    d = feed({0x18, 0x0B});
    EXPECT_TRUE(d.startTransfer);
    EXPECT_TRUE(d.write.empty());

    // Any other reply ends the measuring phase with a redraw of what is held.
    startMeasuring();
    d = feed({0x42});
    EXPECT_FALSE(d.startTransfer);
    EXPECT_TRUE(d.draw);
    EXPECT_FALSE(d.transferComplete);

    // During a transfer an echo answers the check but never stands in for the packet behind
    // it, nor for one still to come.
    const boardsim::BoardMemory memory = boardsim::measure(0x01, 7200, 1);
    startTransfer(1);
    const auto packet = boardsim::encodePacket(memory, 0, 'q');
    Bytes echoed{0x18};
    echoed.insert(echoed.end(), packet.begin(), packet.end());
    d = feed(echoed, true);
    EXPECT_TRUE(d.linkCheckAnswered);
    EXPECT_TRUE(d.stored);
    EXPECT_EQ(d.write, Bytes{'q'});
    d = feed({0x18}, true);
    EXPECT_FALSE(d.stored || d.rejected);
    EXPECT_EQ(state.PacketsLeft, 119);
}

TEST_F(ReceiveTest, ATransferWithBadPacketsStoresEveryGoodOneOnceAndAsksOnceForEachBadOne) {
    const boardsim::BoardMemory memory = boardsim::measure(0xFF, 7200, 8);
    startTransfer(8);
    int sent = 0;
    int repeats = 0;
    bool sawBuilding = false;
    std::vector<int> percentAt; // packets left when the percentage was shown
    for (std::size_t index = 0; index < 960;) {
        auto packet = boardsim::encodePacket(memory, index, index < 480 ? 'p' : 'q');
        const bool bad = ++sent % 7 == 0;
        if (bad)
            ++packet[100];
        const std::uint16_t left = state.PacketsLeft;
        const ChunkDecision d = feed(Bytes(packet.begin(), packet.end()));
        if (d.status0)
            percentAt.push_back(left);
        sawBuilding = sawBuilding || (d.status1 && d.status1->russian() == "Построение графика");
        EXPECT_EQ(d.clearLegacyFormat, index >= 480);
        if (bad) {
            ++repeats;
            ASSERT_TRUE(d.rejected);
            ASSERT_EQ(d.write, (Bytes{'r', 'q'}));
            ASSERT_EQ(state.PacketsLeft, left);
            continue;
        }
        ASSERT_TRUE(d.stored);
        ++index;
        if (index < 960) {
            ASSERT_EQ(d.write, Bytes{'q'});
            ASSERT_FALSE(d.draw);
        } else {
            EXPECT_TRUE(d.write.empty()) << "nothing is asked for after the last packet";
            EXPECT_TRUE(d.transferComplete);
            EXPECT_TRUE(d.draw);
        }
    }
    EXPECT_EQ(received, boardsim::sampleBytes(memory, 8));
    EXPECT_EQ(repeats, (sent) / 7);
    EXPECT_TRUE(sawBuilding);
    EXPECT_EQ(percentAt.front(), 960);
    EXPECT_EQ(percentAt.back(), 2);

    // After the last packet the cycle is no longer transferring: more bytes store nothing.
    const auto extra = boardsim::encodePacket(memory, 0, 'q');
    const ChunkDecision d = feed(Bytes(extra.begin(), extra.end()));
    EXPECT_FALSE(d.stored);
    EXPECT_TRUE(d.write.empty());
    EXPECT_EQ(received.size(), 480000u);
}

TEST_F(ReceiveTest, FragmentsAndShortReadsAreRejected) {
    const boardsim::BoardMemory memory = boardsim::measure(0x01, 7200, 1);
    startTransfer(1);
    const auto packet = boardsim::encodePacket(memory, 0, 'q');
    const Bytes whole(packet.begin(), packet.end());
    const Bytes chunks[] = {
        Bytes(whole.begin(), whole.begin() + 251), // first half
        Bytes(whole.begin() + 251, whole.end()),   // second half
        {'q', 0x00, 0x71},                         // a sum that fits its bytes
        {'q', 0x00},
        {0x55, 0xAA, 0x00},
    };
    for (const Bytes& c : chunks) {
        const ChunkDecision d = feed(c);
        EXPECT_TRUE(d.rejected) << c.size();
        EXPECT_EQ(d.write, (Bytes{'r', 'q'})) << c.size();
    }
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(state.PacketsLeft, 120);
}

TEST(LinkFiguresTest, ALinkIsDegradedAboveOneRepeatInTwentyPackets) {
    const struct {
        int packets, repeats;
        bool degraded;
    } cases[] = {{120, 6, false}, {120, 7, true}, {960, 48, false},
                 {960, 49, true}, {0, 0, false},  {0, 1, true}};
    for (const auto& c : cases) {
        TransferFigures f;
        f.packets = c.packets;
        f.repeats = c.repeats;
        EXPECT_EQ(linkDegraded(f), c.degraded) << c.repeats << " of " << c.packets;
    }
    TransferFigures f;
    f.packets = 960;
    f.lineMs = lineTimeMs(960);
    f.transferMs = 6123.0;
    EXPECT_NEAR(f.lineMs, 5763.54, 0.01); // 960 x 503 x 11 bits at 921600 baud
    EXPECT_EQ(transferFiguresText(f, ',').russian(),
              "Пакетов 960, повторено 0 (ошибок суммы 0, обрывков 0, остановок 0); передача "
              "6,12 с, по линии 5,76 с");
}

} // namespace
} // namespace zarvik
