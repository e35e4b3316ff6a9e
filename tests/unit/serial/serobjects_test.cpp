#include "device/serial/serobjects.h"
#include "device/serial/serprst.h"
#include "device/serial/serutils.h"

#include <gtest/gtest.h>

namespace zarvik {
namespace {

TEST(SerCommBufferTest, AppendsRemovesFromTheFrontAndRefusesOverflow) {
    TSerCommBuffer buffer(8);
    const std::uint8_t a[] = {1, 2, 3, 4, 5};
    EXPECT_TRUE(buffer.Append(a, 5));
    EXPECT_FALSE(buffer.Append(a, 4));
    EXPECT_EQ(buffer.Count(), 5u);
    EXPECT_TRUE(buffer.Append(a, 3));
    buffer.Remove(6);
    ASSERT_EQ(buffer.Count(), 2u);
    EXPECT_EQ(buffer.Data()[0], 2);
    EXPECT_EQ(buffer.Data()[1], 3);
    buffer.Remove(99);
    EXPECT_EQ(buffer.Count(), 0u);
    const auto generation = buffer.Generation();
    buffer.Clear();
    EXPECT_NE(buffer.Generation(), generation);
}

TEST(SerEventTest, ManualResetAndWaitForAny) {
    TSerEvent a, b;
    EXPECT_FALSE(a.IsSet());
    EXPECT_EQ(a.WaitFor(0), TSerWaitResult::TimedOut);
    EXPECT_EQ(WaitForAnyEvent({&a, &b}, 0), -1);
    b.SetEvent();
    b.SetEvent();
    EXPECT_EQ(WaitForAnyEvent({&a, &b}, 0), 1);
    EXPECT_TRUE(b.IsSet()); // stays set until reset
    b.ResetEvent();
    EXPECT_FALSE(b.IsSet());
    a.SetEvent();
    EXPECT_EQ(a.WaitFor(-1), TSerWaitResult::Signaled);
}

TEST(SerPersistentTest, ChangesReportedOutsideUpdatesOnly) {
    TSerBuffers buffers;
    int changes = 0;
    buffers.SetOnChange([&] { ++changes; });
    buffers.SetReadSize(100);
    EXPECT_EQ(changes, 1);
    buffers.BeginUpdate();
    buffers.SetWriteSize(10);
    buffers.SetReadTimeout(5);
    EXPECT_EQ(changes, 1);
    buffers.EndUpdate();
    EXPECT_EQ(changes, 2);
    buffers.EndUpdate(); // the counter does not go below 0
    buffers.SetWriteTimeout(7);
    EXPECT_EQ(changes, 4);
}

TEST(SerPersistentTest, RefusedChangeKeepsTheOldValue) {
    TSerEventChars chars;
    chars.SetOnChange([] { throw std::runtime_error("refused"); });
    EXPECT_THROW(chars.SetXonChar(5), std::runtime_error);
    EXPECT_EQ(chars.XonChar(), 17);
}

TEST(SerUtilsTest, MessagesAndDeviceNames) {
    EXPECT_EQ(FillMessage("Error writing dcb (%d), %s", {"22", "Invalid argument"}),
              "Error writing dcb (22), Invalid argument");
    EXPECT_EQ(FillMessage("Output buffer is full. Please check comm status.", {"1", "x"}),
              "Output buffer is full. Please check comm status.");
    EXPECT_EQ(FillMessage("100%% %s", {"done"}), "100% done");
    EXPECT_EQ(ErrorMessage(" Error setting EventMask (%d), %s", 2)
                  .rfind(" Error setting EventMask (2), ", 0),
              0u);
    EXPECT_EQ(FormatDeviceName("COM%d", 12), "COM12");
    EXPECT_EQ(FormatDeviceName("/dev/serial/by-id/usb-board-if00", 3),
              "/dev/serial/by-id/usb-board-if00");
    // A stray placeholder of another kind is left alone rather than read as a format.
    EXPECT_EQ(FormatDeviceName("/tmp/%s%n-port", 1), "/tmp/%s%n-port");
}

} // namespace
} // namespace zarvik
