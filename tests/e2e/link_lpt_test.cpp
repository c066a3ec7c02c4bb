#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "image/image.h"
#include "link/lpt_bus.h"
#include "link/socket_port_io.h"
#include "lpt_sim_process.h"
#include "run_program.h"
#include "unit/link/link_fakes.h"

namespace kxp40s::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kIdentity = "KXP40V2.0V5.13";
constexpr int kIdentityAt = 993;

// The bus as the programs drive a board, paced on real time, against
// kxp40s-sim --lpt as a process.
struct LptRig {
    explicit LptRig(std::vector<std::string> simArgs = {})
        : board(std::move(simArgs)), io(board.socketPath()) {}
    LptSimProcess board;
    SocketPortIo io;
    SteadyClock clock;
    LptBus bus{io, clock};
    testing::ScriptedFace face;
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(kImageSize);
    LptProgress ignore = [](int) {};
};

TEST(LinkOverLptSocket, ReadsTheIdentityAndWritesAPageBack) {
    const fs::path saved =
        fs::temp_directory_path() / ("kxp40s_lpt_saved_" + std::to_string(getpid()));
    LptRig rig({"--identity", kIdentity, "--save", saved.string()});
    ASSERT_TRUE(rig.bus.LptBoardConnect(rig.face));
    ASSERT_TRUE(rig.bus.LptPageRead(rig.memory, kIdentityAt, kIdentityAt + 13, rig.ignore));
    EXPECT_EQ(std::string(rig.memory.begin() + kIdentityAt, rig.memory.begin() + kIdentityAt + 14),
              kIdentity);

    std::vector<std::uint8_t> page(kImageSize);
    for (int a = 0x400; a <= 0x40F; ++a)
        page[a] = static_cast<std::uint8_t>(a * 11);
    ASSERT_TRUE(rig.bus.LptPageWrite(page, 0x400, 0x40F, rig.ignore));
    ASSERT_TRUE(rig.bus.LptPageRead(rig.memory, 0x3FF, 0x410, rig.ignore));
    EXPECT_TRUE(std::equal(page.begin() + 0x400, page.begin() + 0x410, rig.memory.begin() + 0x400));
    EXPECT_TRUE(rig.face.messages.empty());

    EXPECT_EQ(rig.board.stop(), 0);
    std::ifstream in(saved, std::ios::binary);
    const std::vector<std::uint8_t> stored{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(stored.size(), static_cast<std::size_t>(kImageSize));
    EXPECT_TRUE(std::equal(page.begin() + 0x400, page.begin() + 0x410, stored.begin() + 0x400));
    EXPECT_EQ(stored[0x3FF], rig.memory[0x3FF]);
    fs::remove(saved);
}

TEST(LinkOverLptSocket, SigtermRemovesTheSocketEvenWithAProgramConnected) {
    for (const bool connected : {false, true}) {
        SCOPED_TRACE(connected ? "a program connected" : "idle");
        LptRig rig;
        EXPECT_TRUE(fs::is_socket(rig.board.socketPath()));
        if (connected) {
            ASSERT_TRUE(rig.bus.LptBoardConnect(rig.face));
        }
        EXPECT_EQ(rig.board.stop(), 0);
        EXPECT_FALSE(fs::exists(rig.board.socketPath()));
        if (connected) {
            EXPECT_FALSE(rig.bus.LptReadByteAt(0, rig.face).has_value());
            EXPECT_NE(rig.io.problem().find("stopped answering"), std::string::npos);
        }
    }
}

TEST(LinkOverLptSocket, SimulatorRefusesAPlugAndAPathThatIsNotASocket) {
    const fs::path file =
        fs::temp_directory_path() / ("kxp40s_lpt_file_" + std::to_string(getpid()));
    std::ofstream(file) << "keep me";
    const auto plugged =
        runProgram("kxp40s-sim", {"--lpt", file.string() + ".sock", "--plug", "x"});
    EXPECT_EQ(plugged.status, 2);
    EXPECT_NE(plugged.err.find("--plug excludes --lpt"), std::string::npos) << plugged.err;

    const auto taken = runProgram("kxp40s-sim", {"--lpt", file.string()});
    EXPECT_EQ(taken.status, 1);
    EXPECT_EQ(taken.err, "kxp40s-sim: " + file.string() +
                             " exists and is not a socket; it is left as it is\n");
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
    fs::remove(file);
}

}  // namespace
}  // namespace kxp40s::e2e
