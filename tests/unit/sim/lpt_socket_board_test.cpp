#include "sim/lpt_socket_board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "link/lpt_bus.h"
#include "link/socket_port_io.h"
#include "temp_folder.h"
#include "unit/link/link_fakes.h"
#include "unit/sim/lpt_board_thread.h"

namespace kxp40s {
namespace {

namespace fs = std::filesystem;
using testing::LptBoardThread;

class LptSocketBoardTest : public kxp40s::testing::TempFolderTest {
  protected:
    std::string socketPath() const { return (folder_ / "board").string(); }
};

// One program run: its own port and bus, connected from the first access.
struct Program {
    explicit Program(const std::string& path) : io(path) {}
    SocketPortIo io;
    SteadyClock clock;
    LptBus bus{io, clock, LptBus::Pacing::OnClock};
    testing::ScriptedFace face;
};

TEST_F(LptSocketBoardTest, TakesOverOnlyAFreePathAndRemovesItsSocket) {
    struct Case {
        const char* name;
        std::function<int(const std::string& path)> before;  // a descriptor to close after
        const char* refusal;                                 // nullptr: taken over
    };
    const Case cases[] = {
        {"nothing there", [](const std::string&) { return -1; }, nullptr},
        {"a stale socket",
         [](const std::string& path) {
             ::close(testing::bareSocket(path));
             return -1;
         },
         nullptr},
        {"a plain file",
         [](const std::string& path) {
             std::ofstream(path) << "keep me";
             return -1;
         },
         "exists and is not a socket; it is left as it is"},
        {"a board still listening",
         [](const std::string& path) { return testing::bareSocket(path); },
         "another board already listens at "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(socketPath());
        const int held = c.before(socketPath());
        const bool wasFile = fs::is_regular_file(socketPath());
        SteadyClock clock;
        TwoWireMemory memory(clock);
        if (c.refusal != nullptr) {
            try {
                sim::LptSocketBoard board(memory, socketPath());
                ADD_FAILURE() << "the path was taken over";
            } catch (const std::runtime_error& e) {
                EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << e.what();
            }
            EXPECT_TRUE(fs::exists(socketPath()));
            if (wasFile) {
                std::ifstream in(socketPath());
                EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
            }
        } else {
            {
                sim::LptSocketBoard board(memory, socketPath());
                EXPECT_TRUE(fs::is_socket(socketPath()));
            }
            EXPECT_FALSE(fs::exists(socketPath()));
        }
        if (held >= 0) ::close(held);
    }
}

TEST_F(LptSocketBoardTest, ServesOneProgramAfterAnother) {
    LptBoardThread board(socketPath());
    const std::vector<std::uint8_t> data(TwoWireMemory::kSize, 0x5A);
    {
        Program first(socketPath());
        ASSERT_TRUE(first.bus.LptBoardConnect(first.face));
        ASSERT_TRUE(first.bus.LptPageWrite(data, 0x100, 0x10F, [](int) {}));
    }
    {
        Program second(socketPath());
        EXPECT_EQ(second.bus.LptReadByteAt(0x10F, second.face), 0x5A);
        EXPECT_FALSE(second.io.failed());
    }
    board.stop();
    const auto trace = board.trace();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "connected"), 2);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "disconnected"), 2);
    for (const char* line :
         {"start", "stop", "RX A2 ACK", "RX 0F ACK", "RX A3 ACK", "TX 5A NACK"}) {
        SCOPED_TRACE(line);
        EXPECT_NE(std::find(trace.begin(), trace.end(), line), trace.end());
    }
}

}  // namespace
}  // namespace kxp40s
