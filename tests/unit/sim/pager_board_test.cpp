#include "sim/pager_board.h"
#include "started_pager.h"

#include <gtest/gtest.h>

#include "image/pager_map.h"
#include "link/serial_link.h"
#include "sim/sim_serial_port.h"
#include "unit/link/link_fakes.h"

namespace kxp40s::sim {
namespace {

using kxp40s::testing::FakeClock;
using kxp40s::testing::ScriptedFace;

constexpr const char* kPort = "/dev/sim0";

// The link talking to the simulated board in-process, as the transfers will.
struct SimRig {
    explicit SimRig(std::vector<Fault> faults = {}, bool paced = false)
        : board(testing::startedPager(), std::move(faults)), port(board, clock, kPort, paced) {
        kxp40s::testing::listPorts(registry, {kPort});
        state.BoardPort = kPort;
    }
    FakeClock clock;
    PagerBoard board;
    SimSerialPort port;
    MemoryRegistryStore store;
    clsRegistryAccess registry{store};
    ScriptedFace face;
    LinkState state;
    SerialLink link{state, port, clock, registry, face};
};

TEST(PagerBoard, StartupImageCarriesIdentityFirmwareAndChecksum) {
    const Image image = testing::startedPager("KXP40V1.0V4.99", 60);
    const auto identity = image.read(pager::kIdentity.address, pager::kIdentity.length);
    EXPECT_EQ(std::string(identity.begin(), identity.end()), "KXP40V1.0V4.99");
    EXPECT_EQ(image.at(pager::kFirmware), 60);
    const std::uint16_t sum = pager::checksumOf(image.bytes(), 2047);
    EXPECT_EQ(image.at(2046), sum >> 8);
    EXPECT_EQ(image.at(2047), sum & 0xFF);
    EXPECT_EQ(
        std::string(
            reinterpret_cast<const char*>(testing::startedPager("KXP").read(993, 14).data()), 14),
        "KXP           ");
}

TEST(PagerBoard, FaultsParseFromTheirNames) {
    struct Case {
        const char* text;
        std::optional<Fault> fault;
    };
    const Case cases[] = {
        {"bad-checksum@3", Fault{FaultKind::BadChecksum, 3}},
        {"wrong-ack@2", Fault{FaultKind::WrongAck, 2}},
        {"unplug@0", std::nullopt},
        {"late@x", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseFault(c.text), c.fault);
    }
}

TEST(PagerBoard, FramesSplitOrPrecededByNoiseAreStillAnswered) {
    PagerBoard board(testing::startedPager());
    const Bytes command = buildReadCommand(993, 5);
    Bytes noisy{0x00, 'K', 'e', 0x13};
    noisy.insert(noisy.end(), command.begin(), command.begin() + 7);
    EXPECT_TRUE(board.receive(noisy).empty());
    const auto exchanges = board.receive(std::span(command).subspan(7));
    ASSERT_EQ(exchanges.size(), 1u);
    ASSERT_TRUE(exchanges[0].reply);
    EXPECT_EQ(readReplyData(exchanges[0].reply->bytes, 5), (Bytes{'K', 'X', 'P', '4', '0'}));

    Bytes spoilt = buildReadCommand(0, 1);
    spoilt.back() ^= 1;
    const auto ignored = board.receive(spoilt);
    ASSERT_EQ(ignored.size(), 1u);
    EXPECT_FALSE(ignored[0].reply);
    EXPECT_FALSE(board.receive(buildReadCommand(2000, 100))[0].reply);  // past the memory
}

TEST(PagerBoard, LinkReadsAndWritesTheWholeMemoryInProcess) {
    SimRig rig;
    ASSERT_TRUE(BoardConnect(rig.link));
    EXPECT_EQ(rig.board.controlState(), 's');
    ASSERT_TRUE(SerialRead(rig.link, 0, 2047));
    EXPECT_TRUE(std::equal(rig.state.ReadBuffer.begin(), rig.state.ReadBuffer.end(),
                           rig.board.memory().bytes().begin()));

    Bytes image(2048);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(SerialWrite(rig.link, image, 0, 2047));
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.board.memory().bytes().begin()));
    ASSERT_TRUE(BoardCommand(rig.link, 1, true));
    EXPECT_EQ(rig.board.controlState(), 'r');
    EXPECT_TRUE(rig.face.messages.empty());
}

TEST(PagerBoard, UnplugInProcessTakesThePortAwayMidBlock) {
    SimRig rig({Fault{FaultKind::Unplug, 2}}, true);
    EXPECT_FALSE(SerialRead(rig.link, 0, 2047));
    EXPECT_EQ(rig.face.texts(), std::vector<std::string>{kReadErrorText});
    EXPECT_EQ(rig.state.BoardPort, "");
    EXPECT_FALSE(rig.port.plugged());
    EXPECT_EQ(rig.port.open(kPort), SerialPort::kPortError);
}

TEST(PagerBoard, ByteAssignmentsTakeDecimalAndHexadecimalAndRefuseAnythingOutside) {
    struct Case {
        const char* text;
        std::optional<std::pair<int, int>> parsed;
    };
    const Case cases[] = {
        {"993=65", std::pair{993, 65}},
        {"0x3E1=0x41", std::pair{993, 65}},
        {"&H7FF=&HFF", std::pair{2047, 255}},
        {"2048=1", std::nullopt},
        {"12=256", std::nullopt},
        {"12", std::nullopt},
        {"x=1", std::nullopt},
        {"12=1a", std::nullopt},
        {"-1=0", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseByteAssignment(c.text), c.parsed);
    }
}

}  // namespace
}  // namespace kxp40s::sim
