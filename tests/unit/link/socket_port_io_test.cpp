#include "link/socket_port_io.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <fstream>

#include "link/lpt_bus.h"
#include "temp_folder.h"
#include "unit/link/link_fakes.h"
#include "unit/sim/lpt_board_thread.h"

namespace kxp40s {
namespace {

using testing::LptBoardThread;
using testing::ScriptedFace;

constexpr const char* kNotResponding = "The Programmed Board is not responding!";

std::uint8_t pattern(int a) {
    return static_cast<std::uint8_t>(a * 7 + 3);
}

class SocketPortIoTest : public kxp40s::testing::TempFolderTest {
  protected:
    std::string socketPath() const { return (folder_ / "board").string(); }
    std::string problemText(const std::string& path, const std::string& tail) const {
        return "The simulated parallel-port board at " + path + " " + tail + ".";
    }
};

// The bus on real time against the board on a thread of the test.
struct SocketRig {
    explicit SocketRig(const std::string& path)
        : board(path,
                [](TwoWireMemory& memory) {
                    for (int a = 0; a < TwoWireMemory::kSize; ++a)
                        memory.memory[a] = pattern(a);
                }),
          io(path) {}
    LptBoardThread board;
    SocketPortIo io;
    SteadyClock clock;
    LptBus bus{io, clock, LptBus::Pacing::OnClock};
    ScriptedFace face;
    LptProgress ignore = [](int) {};
};

TEST_F(SocketPortIoTest, BusFindsTheBoardReadsPageWritesAndReadsOn) {
    SocketRig rig(socketPath());
    ASSERT_TRUE(rig.bus.LptBoardConnect(rig.face));
    EXPECT_EQ(rig.bus.LptDataPort, kLptBases[0]);
    EXPECT_EQ(rig.bus.LptReadByteAt(0x7FF, rig.face), pattern(0x7FF));

    std::vector<std::uint8_t> got(TwoWireMemory::kSize);
    ASSERT_TRUE(rig.bus.LptPageRead(got, 0, 47, rig.ignore));
    for (int a = 0; a <= 47; ++a)
        EXPECT_EQ(got[a], pattern(a)) << a;

    std::vector<std::uint8_t> data(TwoWireMemory::kSize);
    for (int a = 0; a < TwoWireMemory::kSize; ++a)
        data[a] = static_cast<std::uint8_t>(~pattern(a));
    ASSERT_TRUE(rig.bus.LptPageWrite(data, 16, 47, rig.ignore));

    std::vector<int> wrong;
    ASSERT_TRUE(rig.bus.LptSequentialRead(10, 50, [&](int a, std::uint8_t byte) {
        if (byte != (a >= 16 && a <= 47 ? data[a] : pattern(a))) wrong.push_back(a);
        return true;
    }));
    EXPECT_TRUE(wrong.empty());
    EXPECT_TRUE(rig.face.messages.empty());
    EXPECT_FALSE(rig.io.failed());
    EXPECT_EQ(rig.io.problem(), "");

    rig.board.stop();
    EXPECT_EQ(rig.board.memory.commits.size(), 2u);
    EXPECT_EQ(rig.board.memory.busyRefusals, 0) << "the write cycles were waited out";
}

TEST_F(SocketPortIoTest, UnreachableBoardReadsAsNothingAttached) {
    struct Case {
        const char* name;
        std::string path;
        const char* why;
    };
    const std::string file = (folder_ / "file").string();
    std::ofstream(file) << "not a socket";
    const std::string stale = (folder_ / "stale").string();
    ::close(testing::bareSocket(stale, false));
    const Case cases[] = {
        {"missing", (folder_ / "none").string(), "there is no such socket"},
        {"a plain file", file, "nothing listens there"},
        {"a socket nobody listens on", stale, "nothing listens there"},
        {"too long a path", "/tmp/" + std::string(200, 'x'), "the path is not usable for a socket"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SocketPortIo io(c.path);
        testing::FakeClock clock;
        LptBus bus(io, clock, LptBus::Pacing::OnClock);
        ScriptedFace face;
        const std::string problem = problemText(c.path, std::string("does not answer: ") + c.why);

        EXPECT_FALSE(bus.LptBoardConnect(face));
        EXPECT_EQ(face.texts(), (std::vector<std::string>{kNotResponding + ("\n" + problem)}));
        EXPECT_EQ(io.problem(), problem);
        EXPECT_TRUE(io.failed());
        EXPECT_EQ(io.Inp32(kLptBases[0] + 1), 0xFF);

        EXPECT_EQ(bus.LptReadByteAt(5, face), std::nullopt);
        EXPECT_EQ(face.texts().back(), "Read error!");
        std::vector<std::uint8_t> got(TwoWireMemory::kSize);
        EXPECT_FALSE(bus.LptPageRead(got, 0, 15, [](int) {}));
    }
}

// The board goes away (the simulator ends) in the middle of each transfer;
// the transfer fails instead of handing on the all-ones of a dead port.
TEST_F(SocketPortIoTest, BoardThatGoesAwayFailsTheTransfer) {
    struct Case {
        const char* name;
        std::function<bool(SocketRig&)> transfer;
    };
    const Case cases[] = {
        {"page read",
         [](SocketRig& rig) {
             std::vector<std::uint8_t> got(TwoWireMemory::kSize);
             return rig.bus.LptPageRead(got, 0, 2047, [&](int a) {
                 if (a == 0x2F) rig.board.stop();
             });
         }},
        {"page write",
         [](SocketRig& rig) {
             return rig.bus.LptPageWrite(std::vector<std::uint8_t>(TwoWireMemory::kSize), 0, 2047,
                                         [&](int a) {
                                             if (a == 0x20) rig.board.stop();
                                         });
         }},
        {"sequential read",
         [](SocketRig& rig) {
             return rig.bus.LptSequentialRead(0, 2047, [&](int a, std::uint8_t) {
                 if (a == 0x25) rig.board.stop();
                 return true;
             });
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SocketRig rig(socketPath());
        ASSERT_TRUE(rig.bus.LptBoardConnect(rig.face));
        EXPECT_FALSE(c.transfer(rig));
        EXPECT_TRUE(rig.io.failed());
        EXPECT_EQ(rig.io.problem(),
                  problemText(socketPath(), "stopped answering: it closed the connection"));
    }
}

TEST_F(SocketPortIoTest, SilentOrClosingPeerEndsWithoutHangingOrSignals) {
    struct Case {
        const char* name;
        bool closes;
        const char* why;
    };
    for (const Case c : {Case{"silent", false,
                              "stopped answering: no reply within 100 ms (is another program "
                              "using it?)"},
                         Case{"closing", true, "stopped answering: it closed the connection"}}) {
        SCOPED_TRACE(c.name);
        const int listener = testing::bareSocket(socketPath());
        SocketPortIo io(socketPath(), std::chrono::milliseconds(100));
        io.Out32(kLptBases[0], kLptBothHigh);
        if (c.closes) ::close(::accept(listener, nullptr, nullptr));
        for (int i = 0; i < 100; ++i)
            io.Out32(kLptBases[0], kLptSdaLow);
        EXPECT_EQ(io.Inp32(kLptBases[0] + 1), 0xFF);
        EXPECT_TRUE(io.failed());
        EXPECT_EQ(io.problem(), problemText(socketPath(), c.why));
        ::close(listener);
        ::unlink(socketPath().c_str());
    }
}

}  // namespace
}  // namespace kxp40s
