#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

#include "app/version.h"
#include "child_process.h"
#include "link/link_face.h"
#include "link_sim_process.h"
#include "run_program.h"
#include "temp_folder.h"

namespace kxp40s::e2e {
namespace {

using namespace std::chrono_literals;

// The window reads its arguments before Qt starts: --help, --version and a
// wrong argument are answered without a display.
TEST(WindowArguments, AreAnsweredWithoutADisplay) {
    const std::vector<std::string> noDisplay{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    const auto version = runProgram("kxp40s", {"--version"}, "", noDisplay);
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "kxp40s " + std::string(kVersion) + "\n");
    const auto help = runProgram("kxp40s", {"--help"}, "", noDisplay);
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_TRUE(help.out.starts_with("kxp40s: the KXP40 pager programmer's window")) << help.out;
    EXPECT_NE(help.out.find("--board"), std::string::npos) << help.out;
    const auto wrong = runProgram("kxp40s", {"--board", "serial"}, "", noDisplay);
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("--board"), std::string::npos) << wrong.err;
}

// The window on a display of its own, with the simulated board plugged in
// and listed as a serial port.
class Window : public testing::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        if (!VirtualDisplay::available() || ::access(binary("kxp40s").c_str(), X_OK) != 0)
            GTEST_SKIP() << "no Xvfb or no window built";
        display_.emplace();
        ASSERT_FALSE(display_->name().empty());
    }

    std::string plug() const { return (folder_ / "board").string(); }

    std::unique_ptr<ChildProcess> startWindow(const std::vector<std::string>& arguments = {}) {
        const auto runtime = folder_ / "runtime";
        std::filesystem::create_directory(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        // Under the leak checker: the session bus library keeps a buffer to
        // the end, which is not the window's to free.
        const auto suppressions = folder_ / "lsan.supp";
        std::ofstream(suppressions) << "leak:libdbus-1.so\n";
        std::vector<std::string> command{binary("kxp40s"), "--report"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return std::make_unique<ChildProcess>(
            command,
            std::vector<std::string>{
                "DISPLAY=" + display_->name(), "QT_QPA_PLATFORM=xcb", "KXP40S_PORTS=" + plug(),
                "XDG_DATA_HOME=" + folder_.string(), "XDG_CONFIG_HOME=" + folder_.string(),
                "XDG_RUNTIME_DIR=" + runtime.string(),
                "LSAN_OPTIONS=suppressions=" + suppressions.string() + ":print_suppressions=0"});
    }

    // Waits until the window is up and has found the board.
    static void waitConnected(ChildProcess& window) {
        const auto shown = window.waitFor("shown ", 30s);
        ASSERT_TRUE(shown);
        EXPECT_EQ(*shown, "shown KXP40S V05.12 USB KAVION");
        EXPECT_EQ(window.waitFor("status ", 5s),
                  std::string("status #000000") + " " + kBoardConnectText);
    }

    std::optional<VirtualDisplay> display_;
};

// It finds the board and turns red within two monitor ticks of the board
// being unplugged.
TEST_F(Window, FindsThePluggedBoardAndSeesItUnplugged) {
    SimProcess sim({"--plug", plug()});
    const auto window = startWindow();
    waitConnected(*window);

    sim.stop();
    const auto unplugged = std::chrono::steady_clock::now();
    EXPECT_EQ(window->waitFor("status ", 3s),
              std::string("status #ff0000") + " " + kBoardDisconnectText);
    EXPECT_LE(std::chrono::steady_clock::now() - unplugged, 2200ms);
}

// SIGTERM ends the window as File > Exit does: the board's release command
// is the last thing the board hears, and the exit status says it was stopped.
TEST_F(Window, SigtermReleasesTheBoardAndEnds) {
    SimProcess sim({"--plug", plug(), "--trace"});
    const auto window = startWindow();
    waitConnected(*window);

    ASSERT_EQ(::kill(window->pid(), SIGTERM), 0);
    EXPECT_EQ(window->waitExit(5s), 1);
    sim.stop();
    const std::string trace = sim.remainingOutput();
    const auto lastFrame = trace.rfind("frame ");
    ASSERT_NE(lastFrame, std::string::npos) << trace;
    EXPECT_NE(trace.find(" 02 72 ", lastFrame), std::string::npos)
        << "released: " << trace.substr(lastFrame);
}

// A table file named on the command line (as the desktop entry's Exec names
// it) is opened once the window is up, as File > Open opens it.
TEST_F(Window, OpensTheTableFileItIsGiven) {
    SimProcess sim({"--plug", plug()});
    const std::string file = (folder_ / "pager.tbl").string();
    ASSERT_EQ(runProgram("kxp40s-cli", {"new", "-o", file}).status, 0);
    const auto window = startWindow({file});
    waitConnected(*window);
    EXPECT_EQ(window->waitFor("caption ", 10s),
              "caption KXP40S V05.12 USB KAVION - [" + file + "]");
    ASSERT_EQ(::kill(window->pid(), SIGTERM), 0);
    EXPECT_EQ(window->waitExit(5s), 1);
}

// Ctrl-C while start-up's message box says that no board answers: the box
// closes as if answered, and the window ends at once with Ctrl-C's status.
TEST_F(Window, ASignalClosesAnOpenMessageBoxAndEnds) {
    const auto window = startWindow();
    ASSERT_TRUE(window->waitFor("shown ", 30s));
    // The search over no port ends at once and its box comes up; a signal
    // that came before the box would end the program the same way.
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(::kill(window->pid(), SIGINT), 0);
    EXPECT_EQ(window->waitExit(5s), 130) << window->errors();
}

}  // namespace
}  // namespace kxp40s::e2e
