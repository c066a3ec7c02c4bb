#include "link/frames.h"

#include <gtest/gtest.h>

namespace kxp40s {
namespace {

std::pair<int, int> lastTwo(const Bytes& frame) {
    return {frame[frame.size() - 2], frame[frame.size() - 1]};
}

TEST(Frames, TemplatesCarryTheirFixedChecksumsAndLengths) {
    const auto& t = frameTemplates();
    struct Case {
        const char* name;
        const Bytes& frame;
        std::size_t length;
        std::pair<int, int> checksum;
    };
    const Case cases[] = {
        {"identify", t.identify, 18, {0, 138}},
        {"write ack", t.writeAck, 16, {0, 141}},
        {"board-control ack", t.boardControlAck, 16, {0, 143}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.frame.size(), c.length);
        EXPECT_EQ(lastTwo(c.frame), c.checksum);
        EXPECT_TRUE(std::equal(kFrameMagic.begin(), kFrameMagic.end(), c.frame.begin()));
    }
}

TEST(Frames, CommandsCarryAddressCountAndSixteenBitSum) {
    const Bytes read = buildReadCommand(0x0780, 128);
    ASSERT_EQ(read.size(), 18u);
    EXPECT_EQ((Bytes{read.begin() + 10, read.end()}),
              (Bytes{'3', 'R', 3, 0x07, 0x80, 128, 0x01, 0x8F}));

    const Bytes data(128, 0xFF);
    const Bytes write = buildWriteCommand(0x0700, data);
    ASSERT_EQ(write.size(), 145u);
    EXPECT_EQ(write[12], 130);
    EXPECT_EQ(write[13], 0x07);
    EXPECT_EQ(write[14], 0x00);
    const int sum = '3' + 'S' + 130 + 7 + 128 * 0xFF;  // 0x808F
    EXPECT_EQ(lastTwo(write), std::make_pair(sum >> 8 & 0xFF, sum & 0xFF));

    const Bytes start = buildBoardControl(1, false);
    const Bytes release = buildBoardControl(1, true);
    ASSERT_EQ(start.size(), 17u);
    EXPECT_EQ(start[13], 's');
    EXPECT_EQ(start[14], 1);
    EXPECT_EQ(release[13], 'r');
    EXPECT_EQ(release[14], 0);
    EXPECT_TRUE(checksumMatches(start));
    EXPECT_TRUE(checksumMatches(release));
}

TEST(Frames, BlockPlansCutRangesIntoBlocksOfAtMost128) {
    struct Case {
        const char* name;
        int strt, stp;
        std::size_t blocks;
        Block last;
    };
    const Case cases[] = {
        {"one byte", 993, 993, 1, {993, 1}},
        {"identity", 993, 1006, 1, {993, 14}},
        {"whole memory", 0, 2047, 16, {1920, 128}},
        {"old-format memory", 0, 2015, 16, {1920, 96}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto plan = blockPlan(c.strt, c.stp, 128);
        ASSERT_EQ(plan.size(), c.blocks);
        EXPECT_EQ(plan.back(), c.last);
        for (std::size_t i = 0; i + 1 < plan.size(); ++i)
            EXPECT_EQ(plan[i].count, 128);
    }
}

TEST(Frames, IdentifyReplyNeedsPrefixAndChecksum) {
    const Bytes good = buildFrame('5', 'R', Bytes{1, 5});
    Bytes badSum = good;
    badSum.back() ^= 1;
    Bytes wrongLengthByte = good;
    wrongLengthByte[12] = 3;
    wrongLengthByte[16] = static_cast<std::uint8_t>(wrongLengthByte[16] + 1);
    struct Case {
        const char* name;
        Bytes reply;
        bool accepted;
    };
    const Case cases[] = {
        {"good", good, true},
        {"bad checksum", badSum, false},
        {"length byte 3 with its checksum", wrongLengthByte, false},
        {"memory reply", buildFrame('3', 'R', Bytes{1, 5}), false},
        {"short", Bytes(good.begin(), good.begin() + 16), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(identifyReplyAccepted(c.reply), c.accepted);
    }
}

}  // namespace
}  // namespace kxp40s
