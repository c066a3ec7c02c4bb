#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "link/serial_link.h"
#include "link/termios_serial_port.h"
#include "link_sim_process.h"
#include "run_program.h"
#include "sim/pager_board.h"
#include "started_pager.h"

namespace kxp40s::e2e {
namespace {

namespace fs = std::filesystem;

class RecordingFace : public LinkFace {
  public:
    Answer show(const Message& message) override {
        texts.push_back(message.text);
        return Answer::Ok;
    }
    std::vector<std::string> texts;
};

// The real termios port and clock against a simulator on its pty.
struct PtyRig {
    explicit PtyRig(std::vector<std::string> simArgs) : sim(std::move(simArgs)) {
        registry.CreateKey(kSerialCommPath);
        registry.WriteString(kSerialCommPath, "\\Device\\sim", sim.ptyPath());
    }
    SimProcess sim;
    SteadyClock clock;
    TermiosSerialPort port;
    MemoryRegistryStore store;
    clsRegistryAccess registry{store};
    RecordingFace face;
    LinkState state;
    SerialLink link{state, port, clock, registry, face};
};

fs::path tempFile(const std::string& name) {
    return fs::temp_directory_path() / (name + "_" + std::to_string(getpid()));
}

Bytes pattern() {
    Bytes image(kImageSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 13 + 1);
    return image;
}

TEST(LinkOverPty, FindsTheBoardReadsAndWritesTheWholeMemory) {
    const fs::path saved = tempFile("kxp40s_saved");
    PtyRig rig({"--save", saved.string()});
    ASSERT_TRUE(BoardConnect(rig.link));
    EXPECT_EQ(rig.state.BoardPort, rig.sim.ptyPath());

    ASSERT_TRUE(SerialRead(rig.link, 0, 2047));
    const Image startup = testing::startedPager();
    EXPECT_TRUE(
        std::equal(startup.bytes().begin(), startup.bytes().end(), rig.state.ReadBuffer.begin()));

    const Bytes image = pattern();
    ASSERT_TRUE(SerialWrite(rig.link, image, 0, 2047));
    ASSERT_TRUE(BoardCommand(rig.link, 1, true));
    EXPECT_TRUE(rig.face.texts.empty());

    EXPECT_EQ(rig.sim.stop(), 0);
    std::ifstream in(saved, std::ios::binary);
    const Bytes stored{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(stored, image);
    fs::remove(saved);
}

TEST(LinkOverPty, InjectedFaultsEndInTheLinksMessagesWithoutHanging) {
    struct Case {
        const char* fault;
        bool write;
        const char* text;
        bool boardKept;
    };
    const Case cases[] = {
        {"bad-checksum@2", false, kReadErrorText, true}, {"no-ack@3", true, kWriteErrorText, true},
        {"wrong-ack@1", true, kWriteErrorText, true},    {"late@2", false, kReadTimeOutText, true},
        {"noise@1", false, kReadErrorText, true},        {"unplug@2", false, kReadErrorText, false},
        {"unplug@4", true, kWriteErrorText, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        PtyRig rig({"--fault", c.fault});
        rig.state.BoardPort = rig.sim.ptyPath();
        const bool ok =
            c.write ? SerialWrite(rig.link, pattern(), 0, 2047) : SerialRead(rig.link, 0, 383);
        EXPECT_FALSE(ok);
        EXPECT_EQ(rig.face.texts, std::vector<std::string>{c.text});
        EXPECT_EQ(rig.state.BoardPort.empty(), !c.boardKept);
        EXPECT_LT(rig.port.lineStatus(), 0);
    }
}

TEST(LinkOverPty, UnplugRemovesThePlugLinkAndEndsTheSimulator) {
    const fs::path plug = tempFile("kxp40s_plug");
    PtyRig rig({"--plug", plug.string(), "--fault", "unplug@3"});
    EXPECT_TRUE(fs::is_symlink(plug));
    rig.state.BoardPort = plug.string();
    EXPECT_FALSE(SerialRead(rig.link, 0, 2047));
    EXPECT_EQ(rig.face.texts, std::vector<std::string>{kReadErrorText});
    EXPECT_TRUE(rig.sim.waitExit(std::chrono::seconds(10)));
    EXPECT_FALSE(fs::exists(fs::symlink_status(plug)));
}

// Runs kxp40s-cli with `args` (split at blanks) and NAME=VALUE settings in `env`.
ProgramRun runCli(const std::string& args, const std::string& env = "") {
    const auto words = [](const std::string& text) {
        std::vector<std::string> parts;
        std::istringstream in(text);
        for (std::string word; in >> word;)
            parts.push_back(word);
        return parts;
    };
    return runProgram("kxp40s-cli", words(args), "", words(env));
}

TEST(LinkCli, PortsNamesTheBoardAndFirmwareReadsItsVersion) {
    const fs::path plug = tempFile("kxp40s_cliplug");
    SimProcess sim({"--plug", plug.string(), "--firmware", "51", "--trace"});
    const std::string env = "KXP40S_PORTS=" + plug.string() + ":/nonexistent/port";

    const auto ports = runCli("ports", env);
    EXPECT_EQ(ports.status, 0);
    EXPECT_NE(ports.out.find(plug.string() + "\tboard\n"), std::string::npos);
    EXPECT_EQ(ports.out.find("/nonexistent"), std::string::npos);

    const auto searched = runCli("firmware --trace", env);
    EXPECT_EQ(searched.status, 0);
    EXPECT_EQ(searched.out, "Version = 5.1\n");
    EXPECT_NE(searched.err.find(" TX 4B 65 73 74 72 65 6C 42 61 79 35 52 03 00 00 00 00 8A"),
              std::string::npos);

    const auto direct = runCli("firmware --port " + plug.string());
    EXPECT_EQ(direct.status, 0);
    EXPECT_EQ(direct.out, "Version = 5.1\n");

    sim.stop();
    // identify (ports); identify, start, read and release (firmware, and again
    // with --port: the board is used as after a search)
    const std::string trace = sim.remainingOutput();
    EXPECT_NE(trace.find("frame 9 "), std::string::npos);
    EXPECT_EQ(trace.find("frame 10 "), std::string::npos);
}

TEST(LinkCli, FirmwareWithoutABoardFailsWithTheLinksMessage) {
    const auto missing = runCli("firmware --port /nonexistent/port");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              std::string(kNotRespondingText) + " (/nonexistent/port: no such file)\n");
    EXPECT_TRUE(missing.out.empty());

    // a file where a port should be: nothing answers there
    const fs::path silent = tempFile("kxp40s_silent");
    std::ofstream{silent};
    const auto none = runCli("firmware", "KXP40S_PORTS=" + silent.string());
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find(std::string(kNotRespondingText) + " (searched "), std::string::npos)
        << none.err;
    EXPECT_TRUE(none.err.ends_with("; a USB board needs the group dialout)\n")) << none.err;
    EXPECT_NE(runCli("ports", "KXP40S_PORTS=" + silent.string()).status, 0)
        << "no board answers: exit status 1";
}

TEST(LinkCli, APortAnotherProgramHoldsIsRefusedAtOnce) {
    SimProcess sim({});
    TermiosSerialPort holder;
    ASSERT_EQ(holder.open(sim.ptyPath()), SerialPort::kOk);
    const auto start = std::chrono::steady_clock::now();
    const auto busy = runCli("firmware --port " + sim.ptyPath());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(busy.status, 1);
    EXPECT_EQ(busy.err, sim.ptyPath() + " is in use by another program.\n");
    holder.close();
    EXPECT_EQ(runCli("firmware --port " + sim.ptyPath()).status, 0);
}

}  // namespace
}  // namespace kxp40s::e2e
