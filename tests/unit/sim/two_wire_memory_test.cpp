#include <gtest/gtest.h>

#include "link/lpt_bus.h"
#include "sim/two_wire_memory.h"
#include "unit/link/link_fakes.h"

namespace kxp40s {
namespace {

struct Bus {
    testing::FakeClock clock;
    TwoWireMemory memory{clock};
    LptBus bus{memory, clock, LptBus::Pacing::OnClock};

    // Control byte, word address, then the bytes, as one write.
    void write(int address, std::vector<std::uint8_t> bytes) {
        bus.LptStart();
        ASSERT_TRUE(bus.LptSendByte(lptControlByte(address)));
        ASSERT_TRUE(bus.LptSendByte(static_cast<std::uint8_t>(address & 0xFF)));
        for (const auto byte : bytes)
            ASSERT_TRUE(bus.LptSendByte(byte));
        bus.LptStop();
    }
};

TEST(TwoWireMemory, PageWriteRunsRoundWithinItsPage) {
    Bus b;
    std::vector<std::uint8_t> bytes(12);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(0x50 + i);
    b.write(0x128, bytes);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(b.memory.memory[0x120 + (8 + i) % 16], 0x50 + i);
    }
    EXPECT_EQ(b.memory.memory[0x130], 0);
    ASSERT_EQ(b.memory.commits.size(), 1u);
    EXPECT_EQ(b.memory.commits[0].length, 12);
}

TEST(TwoWireMemory, RefusesItsControlByteDuringTheWriteCycle) {
    Bus b;
    b.write(0x10, {1, 2});
    b.bus.LptStart();
    EXPECT_FALSE(b.bus.LptSendByte(0xA0));
    EXPECT_EQ(b.memory.busyRefusals, 1);
    b.clock.sleepMs(TwoWireMemory::kWriteCycleMs);
    b.bus.LptStart();
    EXPECT_TRUE(b.bus.LptSendByte(0xA0));
    b.bus.LptStop();
}

TEST(TwoWireMemory, SequentialReadRunsAcrossPagesAndBlocksAndRoundToZero) {
    Bus b;
    for (int a = 0; a < TwoWireMemory::kSize; ++a)
        b.memory.memory[a] = static_cast<std::uint8_t>(a * 7);
    const auto readRun = [&](int from) {
        std::vector<std::uint8_t> got;
        EXPECT_TRUE(b.bus.LptSequentialRead(from, from + 3, [&](int, std::uint8_t byte) {
            got.push_back(byte);
            return true;
        }));
        return got;
    };
    EXPECT_EQ(readRun(0x0FE), (std::vector<std::uint8_t>{0xFE * 7 & 0xFF, 0xFF * 7 & 0xFF, 0, 7}));
    EXPECT_EQ(readRun(0x7FE),
              (std::vector<std::uint8_t>{0x7FE * 7 & 0xFF, 0x7FF * 7 & 0xFF, 0, 7}));
}

}  // namespace
}  // namespace kxp40s
