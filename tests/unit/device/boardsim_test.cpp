#include "boardsim.h"
#include "unit/device/host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <future>
#include <unistd.h>

using namespace std::chrono_literals;

namespace zarvik::boardsim {
namespace {

// F = 2048 Hz: clock divisor 7200, divisor bytes 0xE3, 0xE8.
Bytes startCommand(std::uint8_t mode, std::uint8_t mask, int blocks) {
    return {0x19, mode, mask, 0xE3, 0xE8, static_cast<std::uint8_t>((8 - blocks) * 32)};
}

BoardOptions instant() {
    BoardOptions o;
    o.timeScale = 0;
    return o;
}

class BoardSimTest : public ::testing::Test {
protected:
    void startBoard(BoardOptions options) {
        m_board = std::make_unique<BoardSim>(std::move(options));
        m_board->open();
        m_board->start();
    }
    void TearDown() override {
        if (m_board) {
            m_board->stop();
        }
    }
    std::unique_ptr<BoardSim> m_board;
};

TEST(BoardSignalsTest, CommandFieldsAndSampleLayout) {
    EXPECT_EQ(clockDivisorFromBytes(0xE3, 0xE8), 7200u);
    EXPECT_EQ(clockDivisorFromBytes(0x00, 0x08), 65536u); // F = 225 Hz
    EXPECT_EQ(blocksFromCode(0xE0), 1);
    EXPECT_EQ(blocksFromCode(0x00), 8);
    EXPECT_EQ(blocksFromCode(0x60), 5);
    // 8 blocks of 8 channels at 2048 Hz take 14.648 s.
    EXPECT_NEAR(measureSeconds(0xFF, 7200, 8) * 1000, 14648.4, 0.1);

    // Channels 1 and 3, interleaved by instant in ascending channel number.
    const BoardMemory memory = measure(0x05, 7200, 1);
    ASSERT_EQ(memory.words.size(), 30000u);
    EXPECT_EQ(memory.words[0], sampleCode(1, 0, 7200));
    EXPECT_EQ(memory.words[1], sampleCode(3, 0, 7200));
    EXPECT_EQ(memory.words[4], sampleCode(1, 2, 7200));
    EXPECT_EQ(memory.words[5], sampleCode(3, 2, 7200));
    EXPECT_NE(sampleCode(4, 1, 7200), sampleCode(4, 2, 7200)); // noise moves
    EXPECT_EQ(sampleCode(4, 77, 7200), sampleCode(4, 77, 7200));
    EXPECT_EQ(sampleCode(5, 123, 7200), 1000);
    for (std::uint64_t i = 0; i < 5000; ++i) {
        for (int ch = 1; ch <= 8; ++ch) {
            ASSERT_LE(sampleCode(ch, i, 147), 4095);
        }
    }
}

TEST(BoardSignalsTest, PacketEncodingAndChecksum) {
    BoardMemory memory;
    memory.mask = 0x80; // channel 8 only: channel index 7 in the low nibble
    memory.words.assign(300, 0);
    memory.words[0] = 0xA34;
    memory.words[250] = 0x0FF;
    const auto first = encodePacket(memory, 0, 'q');
    EXPECT_EQ(first[0], 'q');
    EXPECT_EQ(first[1], 0x34);
    EXPECT_EQ(first[2], 0xA7);
    EXPECT_EQ(first[3], 0x00);
    EXPECT_EQ(first[4], 0x07);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 501; ++i) {
        sum += first[i];
    }
    EXPECT_EQ(first[501], (sum >> 8) & 0xFF);
    EXPECT_EQ(first[502], sum & 0xFF);
    const auto second = encodePacket(memory, 1, 'p');
    EXPECT_EQ(second[0], 'p');
    EXPECT_EQ(second[1], 0xFF);
    EXPECT_EQ(second[2], 0x07);
    // Beyond the memory: zero samples.
    EXPECT_EQ(second[2 * 50 + 1], 0x00);
    EXPECT_EQ(second[2 * 50 + 2] >> 4, 0);
}

TEST_F(BoardSimTest, EchoGreetingAndFullTransfer) {
    startBoard(instant());
    Host host(m_board->slavePath());
    host.send({')'});
    host.send({0x18});
    EXPECT_EQ(host.take(1), Bytes{0x18});

    const std::uint8_t mask = 0xB5; // channels 1, 3, 5, 6, 8
    host.send(startCommand(0x01, mask, 1));
    EXPECT_EQ(host.take(1), Bytes{0x0A});
    const Bytes samples = host.transfer(0x01, 1);
    EXPECT_EQ(samples, sampleBytes(measure(mask, 7200, 1), 1));
    host.pump(50ms);
    EXPECT_EQ(host.pending(), 0u); // nothing after the last packet
    const BoardStats stats = m_board->stats();
    EXPECT_EQ(stats.greetings, 1);
    EXPECT_EQ(stats.echoes, 1);
    EXPECT_EQ(stats.starts, 1);
    EXPECT_EQ(stats.reads, 1);
    EXPECT_EQ(stats.packets, 120);
}

TEST_F(BoardSimTest, RepeatAfterRSendsTheSamePacket) {
    BoardOptions options = instant();
    options.pace = true; // whole packets at the line rate, too
    startBoard(options);
    Host host(m_board->slavePath());
    host.send(startCommand(0x00, 0xFF, 2));
    ASSERT_EQ(host.take(1), Bytes{0x0A});
    host.send({'p', 0x00, 0x00, 0x00, 0xC0});
    const Bytes first = host.take(kPacketSize);
    host.send({'q'});
    const Bytes second = host.take(kPacketSize);
    host.send({'r', 'q'});
    EXPECT_EQ(host.take(kPacketSize), second);
    host.send({'q'});
    const BoardMemory memory = measure(0xFF, 7200, 2);
    const auto third = encodePacket(memory, 2, 'q');
    EXPECT_EQ(host.take(kPacketSize), Bytes(third.begin(), third.end()));
    EXPECT_NE(first, second);
}

TEST_F(BoardSimTest, PacedPacketsEndAtTheLineTimeAndTheRecordKeepsTheHostsTurnarounds) {
    using Clock = std::chrono::steady_clock;
    const auto us = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
    };
    const long long lineTime = kPacketSize * 11 * 1'000'000 / 921600; // 6003 us
    BoardOptions options = instant();
    options.pace = true;
    startBoard(options);
    Host host(m_board->slavePath());
    Bytes sent = startCommand(0x00, 0x01, 1);
    host.send(sent);
    ASSERT_EQ(host.take(1), Bytes{0x0A});
    int seenInPart = 0;
    for (const Bytes& ask : {Bytes{'p', 0x00, 0x00, 0x00, 0xE0}, Bytes{'q'}, Bytes{'q'}}) {
        sent.insert(sent.end(), ask.begin(), ask.end());
        const auto asked = Clock::now();
        host.send(ask);
        ASSERT_EQ(host.take(1).size(), 1u);
        seenInPart += host.pending() + 1 < kPacketSize;
        ASSERT_EQ(host.take(kPacketSize - 1).size(), kPacketSize - 1);
        EXPECT_GE(us(Clock::now() - asked), lineTime); // never faster than the line
    }
    EXPECT_GT(seenInPart, 0);

    const std::vector<HostByte> record = m_board->hostBytes();
    const auto ends = m_board->packetEnds();
    ASSERT_EQ(record.size(), sent.size());
    ASSERT_EQ(ends.size(), 3u);
    for (std::size_t i = 0; i < record.size(); ++i) {
        EXPECT_EQ(record[i].byte, sent[i]) << i;
        EXPECT_LE(record[i > 0 ? i - 1 : 0].at, record[i].at) << i;
    }
    // A packet ends a line time after the byte asking for it, and before the next request.
    for (std::size_t k = 0, ask = record.size() - 3; k < 3; ++k, ++ask) {
        EXPECT_GE(us(ends[k] - record[ask].at), lineTime);
        EXPECT_LT(us(ends[k] - record[ask].at), 1'000'000);
        EXPECT_TRUE(k == 2 || ends[k] < record[ask + 1].at) << k;
    }
}

TEST_F(BoardSimTest, SteadyLevelInEveryWordOfATransfer) {
    BoardOptions options = instant();
    options.steadyLevel = 0x5A3;
    startBoard(options);
    Host host(m_board->slavePath());
    host.send(startCommand(0x00, 0xB5, 1));
    ASSERT_EQ(host.take(1), Bytes{0x0A});
    const BoardMemory memory = measure(0xB5, 7200, 1, 0x5A3);
    EXPECT_EQ(memory.words, std::vector<std::uint16_t>(kWordsPerBlock, 0x5A3));
    EXPECT_EQ(host.transfer(0x00, 1), sampleBytes(memory, 1));
}

TEST_F(BoardSimTest, StalledTransferIsSilentUntilTheNextReadCommand) {
    BoardOptions options = instant();
    options.stallAfterPackets = 5;
    startBoard(options);
    Host host(m_board->slavePath());
    host.send(startCommand(0x00, 0x03, 1));
    ASSERT_EQ(host.take(1), Bytes{0x0A});
    host.send({'p', 0x00, 0x00, 0x00, 0xE0});
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(host.take(kPacketSize).size(), kPacketSize) << i;
        host.send({'q'});
    }
    host.send({'r', 'q', 0x18});
    EXPECT_EQ(host.take(1), Bytes{0x18}); // the link check alone is answered
    host.pump(100ms);
    EXPECT_EQ(host.pending(), 0u);
    // A new read: all of it.
    EXPECT_EQ(host.transfer(0x00, 1), sampleBytes(measure(0x03, 7200, 1), 1));
}

TEST_F(BoardSimTest, BadChecksumsAreRepairedByRepeats) {
    BoardOptions options = instant();
    options.badChecksumEvery = 7;
    options.packetType = 'p';
    startBoard(options);
    Host host(m_board->slavePath());
    host.send(startCommand(0x00, 0x0F, 1));
    ASSERT_EQ(host.take(1), Bytes{0x0A});
    int rejected = 0;
    const Bytes samples = host.transfer(0x00, 1, &rejected);
    EXPECT_EQ(samples, sampleBytes(measure(0x0F, 7200, 1), 1));
    EXPECT_GE(rejected, 120 / 7);
    EXPECT_EQ(m_board->stats().repeats, rejected);
}

TEST_F(BoardSimTest, NoEchoAndNoReplySwitches) {
    BoardOptions options = instant();
    options.noEcho = true;
    options.noReply = true;
    startBoard(options);
    Host host(m_board->slavePath());
    host.send({0x18});
    host.send(startCommand(0x00, 0x01, 1));
    host.pump(200ms);
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(m_board->stats().finishes, 1);
}

TEST_F(BoardSimTest, ExternalStartWaitsForTheTrigger) {
    BoardOptions options = instant();
    options.finishByte = 0x0B;
    startBoard(options);
    Host host(m_board->slavePath());
    host.send(startCommand(0x10, 0x03, 1));
    host.pump(200ms);
    EXPECT_EQ(host.pending(), 0u);
    m_board->triggerExternalStart();
    EXPECT_EQ(host.take(1), Bytes{0x0B});

    // Start and wait: all eight blocks with the last channel set and rate.
    host.send({0x16, 0x00});
    host.pump(100ms);
    EXPECT_EQ(host.pending(), 0u);
    m_board->triggerExternalStart();
    EXPECT_EQ(host.take(1), Bytes{0x0B});
    host.send({'p', 0x10, 0x00, 0x00, 0x00});
    const auto expected = encodePacket(measure(0x03, 7200, 8), 0, 'q');
    EXPECT_EQ(host.take(kPacketSize), Bytes(expected.begin(), expected.end()));
}

TEST_F(BoardSimTest, MeasurementTakesTheTimeItImplies) {
    BoardOptions options;
    options.timeScale = 1;
    startBoard(options);
    Host host(m_board->slavePath());
    // 8 channels, 1 block: 3750 instants at 14745600 / 65536 Hz = 16.7 s; at divisor 147
    // (100 kHz) 37 ms. Ask for the slow one and check it has not finished quickly.
    host.send({0x19, 0x00, 0xFF, 0x00, 0x08, 0xE0});
    host.pump(300ms);
    EXPECT_EQ(host.pending(), 0u);
    // A new start replaces the running measurement.
    host.send({0x19, 0x00, 0xFF, 0xFF, static_cast<std::uint8_t>(65544 - 147 - 0xFF00), 0xE0});
    EXPECT_EQ(host.take(1), Bytes{0x0A});
}

TEST_F(BoardSimTest, SplitAndStrayPackets) {
    BoardOptions options = instant();
    options.splitEvery = 1;
    options.splitPauseMs = 150;
    options.strayEvery = 2;
    startBoard(options);
    Host host(m_board->slavePath());
    host.send(startCommand(0x00, 0x01, 1));
    ASSERT_EQ(host.take(1), Bytes{0x0A});
    host.send({'p', 0x00, 0x00, 0x00, 0xE0});
    host.pump(60ms);
    EXPECT_GT(host.pending(), 0u);
    EXPECT_LT(host.pending(), kPacketSize); // the first half only
    EXPECT_EQ(host.take(kPacketSize).size(), kPacketSize);
    host.send({'q'});
    const Bytes second = host.take(kPacketSize + 3);
    ASSERT_EQ(second.size(), kPacketSize + 3);
    EXPECT_EQ(Bytes(second.begin(), second.begin() + 3), (Bytes{0x55, 0xAA, 0x00}));
    EXPECT_EQ(second[3], 'q');
}

TEST_F(BoardSimTest, HangUpIsSeenByTheHostAndTheLinkFollowsTheReopening) {
    char dir[] = "/tmp/zarvik-board-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/board";
    BoardOptions options = instant();
    options.linkPath = link;
    options.hangUpAfterPackets = 3;
    options.reopenAfterMs = 300;
    startBoard(options);
    const std::string firstPath = m_board->slavePath();
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), firstPath);
    {
        Host host(link);
        host.send(startCommand(0x00, 0x01, 1));
        ASSERT_EQ(host.take(1), Bytes{0x0A});
        host.send({'p', 0x00, 0x00, 0x00, 0xE0});
        // The third packet may be lost with the line, as on an unplugged cable.
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(host.take(kPacketSize).size(), kPacketSize);
            host.send({'q'});
        }
        EXPECT_TRUE(host.waitLineLost());
        std::uint32_t errors = 0;
        TSerComStat status;
        host.comm().GetLineStatus(errors, status);
        EXPECT_EQ(errors & leIoError, leIoError);
    }
    // Plugged in again: a new device under the same link.
    for (int i = 0; i < 100 && m_board->stats().opens < 2; ++i) {
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_EQ(m_board->stats().opens, 2);
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), m_board->slavePath());
    Host again(link);
    again.send({0x18});
    EXPECT_EQ(again.take(1), Bytes{0x18});
    m_board->stop();
    std::filesystem::remove_all(dir);
}

TEST_F(BoardSimTest, EndsWhenTheHostHangsUpIfAsked) {
    BoardOptions options = instant();
    options.exitOnPeerHangUp = true;
    auto board = std::make_unique<BoardSim>(options);
    board->open();
    auto running = std::async(std::launch::async, [&] { board->run(); });
    {
        Host host(board->slavePath());
        host.send({0x18});
        EXPECT_EQ(host.take(1), Bytes{0x18});
        // Still playing while the host keeps the line.
        EXPECT_EQ(running.wait_for(100ms), std::future_status::timeout);
    }
    EXPECT_EQ(running.wait_for(5s), std::future_status::ready);
    board->requestStop();
}

} // namespace
} // namespace zarvik::boardsim
