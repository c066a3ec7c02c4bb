#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

#include "app/version.h"
#include "child_process.h"
#include "editors/capcodes.h"
#include "files/table_file.h"
#include "link/link_face.h"
#include "link_sim_process.h"
#include "run_program.h"
#include "started_pager.h"
#include "temp_folder.h"

// Last: Xlib defines names (None, Status) that the headers above use.
#include "display_user.h"

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

    std::unique_ptr<ChildProcess> startWindow(const std::vector<std::string>& args = {},
                                              const std::vector<std::string>& env = {}) {
        const auto runtime = folder_ / "runtime";
        std::filesystem::create_directory(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        // Under the leak checker: the session bus library keeps a buffer to
        // the end, which is not the window's to free.
        const auto suppressions = folder_ / "lsan.supp";
        std::ofstream(suppressions) << "leak:libdbus-1.so\n";
        std::vector<std::string> argv{binary("kxp40s"), "--report"};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> environment{
            "DISPLAY=" + display_->name(),
            "QT_QPA_PLATFORM=xcb",
            "KXP40S_PORTS=" + plug(),
            "XDG_DATA_HOME=" + folder_.string(),
            "XDG_CONFIG_HOME=" + folder_.string(),
            "XDG_RUNTIME_DIR=" + runtime.string(),
            "LSAN_OPTIONS=suppressions=" + suppressions.string() + ":print_suppressions=0"};
        environment.insert(environment.end(), env.begin(), env.end());
        return std::make_unique<ChildProcess>(argv, environment);
    }

    // A table file in the test's folder whose first capcode is 1654321.
    std::string tableFile(const std::string& name) const {
        Image image = startedImage();
        storeCapcode(image, 0, 1654321);
        const auto file = folder_ / name;
        EXPECT_FALSE(writeTableFile(file, image));
        return file.string();
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

// The window as a user at its display works it: a text box found with Tab,
// the pages and the menus' keys pressed inside it.
class WindowAtItsDisplay : public Window {
  protected:
    void SetUp() override {
        Window::SetUp();
        if (IsSkipped()) return;
        user_.emplace(display_->name());
        ASSERT_TRUE(user_->connected());
    }

    // The main window, given the focus (which it may have had already).
    ::Window focusWindow(ChildProcess& window) {
        const auto found = user_->findWindow("KXP40S", 5s);
        EXPECT_TRUE(found);
        if (!found) return 0;
        user_->focus(*found);
        window.waitFor("focus ", 2s);
        return *found;
    }

    // Tab until a text box has the focus; its name.
    std::string tabToTextBox(ChildProcess& window) {
        for (int press = 0; press < 60; ++press) {
            user_->press(XK_Tab);
            auto line = window.waitFor("focus ", 5s);
            if (!line) break;
            while (auto later = window.waitFor("focus ", 200ms))  // where the press left it
                line = std::move(later);
            if (line->starts_with("focus txt")) return line->substr(6);
        }
        return {};
    }

    std::optional<DisplayUser> user_;
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

// `kxp40s FILE` opens FILE once the window has started, as File > Open
// would: the caption names it.
TEST_F(Window, OpensTheTableFileNamedOnItsCommandLine) {
    SimProcess sim({"--plug", plug()});
    const std::string file = tableFile("named.tbl");
    const auto window = startWindow({file});
    waitConnected(*window);
    EXPECT_EQ(window->waitFor("caption ", 5s), "caption KXP40S V05.12 USB KAVION - [" + file + "]");
}

// The menus' keys and the page keys win inside a text box: Ctrl+Tab goes
// to the next page, Ctrl+E ends the program.
TEST_F(WindowAtItsDisplay, TheMenusKeysWinInsideATextBox) {
    SimProcess sim({"--plug", plug()});
    const auto window = startWindow();
    waitConnected(*window);
    focusWindow(*window);
    ASSERT_FALSE(tabToTextBox(*window).empty());
    user_->press(XK_Tab, {XK_Control_L});
    EXPECT_EQ(window->waitFor("focus ", 5s), "focus picSet2");
    ASSERT_FALSE(tabToTextBox(*window).empty());
    user_->press(XK_e, {XK_Control_L});
    EXPECT_EQ(window->waitExit(5s), 0) << window->errors();
}

// A table file dropped from a file manager opens as File > Open opens it.
TEST_F(WindowAtItsDisplay, OpensATableFileDroppedOnIt) {
    SimProcess sim({"--plug", plug()});
    const std::string file = tableFile("dropped.tbl");
    const auto window = startWindow();
    waitConnected(*window);
    const ::Window target = focusWindow(*window);
    ASSERT_TRUE(user_->dropFile(target, file, 5s));
    EXPECT_EQ(window->waitFor("caption ", 5s), "caption KXP40S V05.12 USB KAVION - [" + file + "]");
}

// At twice the scale on a 1024x768 screen the window opens scaled down to
// the screen's free area; at the ordinary scale it keeps its design size.
class WindowOnASmallScreen : public testing::TempFolderTest {};

TEST_F(WindowOnASmallScreen, NeverOpensLargerThanTheScreen) {
    if (!VirtualDisplay::available() || ::access(binary("kxp40s").c_str(), X_OK) != 0)
        GTEST_SKIP() << "no Xvfb or no window built";
    VirtualDisplay display("1024x768x24");
    struct Size {
        int width, height, x, y, roomWidth, roomHeight;
    };
    const auto opened = [&](const char* scale) -> std::optional<Size> {
        ChildProcess window(
            {binary("kxp40s"), "--report", "--no-splash"},
            {"DISPLAY=" + display.name(), "QT_QPA_PLATFORM=xcb",
             std::string("QT_SCALE_FACTOR=") + scale,
             "KXP40S_PORTS=", "XDG_DATA_HOME=" + folder_.string(),
             "XDG_CONFIG_HOME=" + folder_.string(), "XDG_RUNTIME_DIR=" + folder_.string()});
        const auto line = window.waitFor("size ", 30s);
        Size s{};
        if (!line || std::sscanf(line->c_str(), "size %dx%d+%d+%d of %dx%d", &s.width, &s.height,
                                 &s.x, &s.y, &s.roomWidth, &s.roomHeight) != 6)
            return std::nullopt;
        return s;
    };
    const auto ordinary = opened("1");
    const auto doubled = opened("2");
    ASSERT_TRUE(ordinary && doubled);
    for (const Size& s : {*ordinary, *doubled}) {
        EXPECT_GE(s.x, 0);
        EXPECT_GE(s.y, 0);
        EXPECT_LE(s.x + s.width, s.roomWidth);
        EXPECT_LE(s.y + s.height, s.roomHeight);
    }
    EXPECT_EQ(doubled->roomWidth, 512);
    EXPECT_LT(doubled->width, ordinary->width);
}

}  // namespace
}  // namespace kxp40s::e2e
