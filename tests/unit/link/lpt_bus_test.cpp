#include <gtest/gtest.h>

#include "link/lpt_bus.h"
#include "sim/two_wire_memory.h"
#include "unit/link/link_fakes.h"

namespace kxp40s {
namespace {

using testing::FakeClock;
using testing::ScriptedFace;

std::uint8_t pattern(int a) {
    return static_cast<std::uint8_t>(a ^ (a >> 8) * 0x35);
}

struct Board {
    explicit Board(std::uint16_t base = kLptBases[0]) : memory(clock, base) {
        for (int a = 0; a < TwoWireMemory::kSize; ++a)
            memory.memory[a] = pattern(a);
    }
    FakeClock clock;
    TwoWireMemory memory;
    LptBus bus{memory, clock, LptBus::Pacing::OnClock};
    ScriptedFace face;
    std::vector<int> progress;
    LptProgress record = [this](int a) { progress.push_back(a); };
};

TEST(LptBus, RandomReadAddressesBlockAndWord) {
    struct Case {
        int address;
        std::uint8_t control;
    };
    for (const Case c :
         {Case{0x7FF, 0xAE}, Case{0x100, 0xA2}, Case{0x0FF, 0xA0}, Case{0x3E1, 0xA6}}) {
        SCOPED_TRACE(c.address);
        Board b;
        EXPECT_EQ(lptControlByte(c.address), c.control);
        EXPECT_EQ(b.bus.LptReadByteAt(c.address, b.face), pattern(c.address));
        EXPECT_TRUE(b.face.messages.empty());
    }
}

TEST(LptBus, RandomReadTriesTheControlByteTenTimes) {
    struct Case {
        int acknowledgedFrom;
        bool read;
    };
    for (const Case c : {Case{10, true}, Case{11, false}}) {
        SCOPED_TRACE(c.acknowledgedFrom);
        Board b;
        b.memory.acknowledgeFromAttempt = c.acknowledgedFrom;
        const auto byte = b.bus.LptReadByteAt(0x123, b.face);
        EXPECT_EQ(byte.has_value(), c.read);
        if (c.read) {
            EXPECT_EQ(*byte, pattern(0x123));
        }
        EXPECT_EQ(b.memory.controlBytes, c.read ? 11 : 10);  // the read control byte too
        EXPECT_EQ(b.face.texts(),
                  c.read ? std::vector<std::string>{} : std::vector<std::string>{"Read error!"});
    }
}

TEST(LptBus, PageWriteOfTheWholeMemoryWaitsOutEveryPage) {
    Board b;
    std::vector<std::uint8_t> data(TwoWireMemory::kSize);
    for (int a = 0; a < TwoWireMemory::kSize; ++a)
        data[a] = static_cast<std::uint8_t>(255 - pattern(a));
    ASSERT_TRUE(b.bus.LptPageWrite(data, 0, 2047, b.record));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), b.memory.memory.begin()));
    ASSERT_EQ(b.memory.commits.size(), 128u);
    for (std::size_t i = 0; i < 128; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(b.memory.commits[i].address, 16 * static_cast<int>(i));
        EXPECT_EQ(b.memory.commits[i].length, 16);
        if (i > 0) {
            EXPECT_GE(b.memory.commits[i].atMs - b.memory.commits[i - 1].atMs, 10);
        }
        EXPECT_EQ(b.progress[i], 16 * static_cast<int>(i));
    }
    EXPECT_EQ(b.memory.busyRefusals, 0);
    b.bus.LptStart();
    EXPECT_TRUE(b.bus.LptSendByte(0xA0)) << "the last page's write cycle is over";
}

TEST(LptBus, PageWriteGivesUpAfterHalfASecondOfSilence) {
    Board b;
    b.memory.neverAcknowledge = true;
    const auto start = b.clock.now;
    EXPECT_FALSE(b.bus.LptPageWrite(std::vector<std::uint8_t>(2048), 0, 2047, b.record));
    EXPECT_GT(b.clock.now - start, 500);
    EXPECT_EQ(b.memory.Inp32(kLptBases[0]), kLptSdaLow);  // left idle
}

TEST(LptBus, PageReadReadsEveryRange) {
    for (const auto& [strt, stp] : {std::pair{0, 2047}, std::pair{0, 16}, std::pair{5, 5}}) {
        SCOPED_TRACE(std::to_string(strt) + ".." + std::to_string(stp));
        Board b;
        std::vector<std::uint8_t> got(TwoWireMemory::kSize);
        ASSERT_TRUE(b.bus.LptPageRead(got, strt, stp, b.record));
        for (int a = strt; a <= stp; ++a)
            EXPECT_EQ(got[a], pattern(a)) << a;
        if (stp == 2047) {
            EXPECT_EQ(b.progress.size(), 128u);
        }
    }
}

TEST(LptBus, SequentialReadStopsWhereTheCallerSays) {
    Board b;
    std::vector<int> seen;
    ASSERT_TRUE(b.bus.LptSequentialRead(0x30, 0x7FF, [&](int a, std::uint8_t byte) {
        EXPECT_EQ(byte, pattern(a));
        seen.push_back(a);
        return a < 0x35;
    }));
    EXPECT_EQ(seen, (std::vector<int>{0x30, 0x31, 0x32, 0x33, 0x34, 0x35}));
    EXPECT_EQ(b.bus.LptReadByteAt(0x36, b.face), pattern(0x36)) << "the bus is free again";
    b.memory.neverAcknowledge = true;
    EXPECT_FALSE(b.bus.LptSequentialRead(0, 10, [](int, std::uint8_t) { return true; }));
}

TEST(LptBus, BoardConnectSearchesTheThreeBases) {
    struct Case {
        std::uint16_t board;  // 0: none
        bool found;
    };
    for (const Case c : {Case{0x378, true}, Case{0x278, true}, Case{0x3BC, true}, Case{0, false}}) {
        SCOPED_TRACE(c.board);
        Board b(c.board);
        const auto start = b.clock.now;
        EXPECT_EQ(b.bus.LptBoardConnect(b.face), c.found);
        if (c.found) {
            EXPECT_EQ(b.bus.LptDataPort, c.board);
            EXPECT_EQ(b.bus.LptStatusPort, c.board + 1);
            EXPECT_TRUE(b.face.messages.empty());
        } else {
            EXPECT_EQ(b.face.messages,
                      (std::vector{warning("The Programmed Board is not responding!", "KXP40")}));
            EXPECT_GE(b.clock.now - start, 600);  // four 50 ms waits per base
            EXPECT_LT(b.clock.now - start, 610);
        }
    }
}

}  // namespace
}  // namespace kxp40s
