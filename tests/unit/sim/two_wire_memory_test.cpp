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

TEST(TwoWireMemory, WritesRoundWithinThePageThenRefusesDuringTheWriteCycle) {
    Bus b;
    b.write(0x1E, {1, 2, 3});
    EXPECT_EQ((std::vector<int>{b.memory.memory[0x1E], b.memory.memory[0x1F], b.memory.memory[0x10],
                                b.memory.memory[0x20]}),
              (std::vector<int>{1, 2, 3, 0}));
    b.bus.LptStart();
    EXPECT_FALSE(b.bus.LptSendByte(0xA0));
    EXPECT_EQ(b.memory.busyRefusals, 1);
    b.clock.sleepMs(TwoWireMemory::kWriteCycleMs);
    b.bus.LptStart();
    EXPECT_TRUE(b.bus.LptSendByte(0xA0));
    b.bus.LptStop();
}

}  // namespace
}  // namespace kxp40s
