#include <gtest/gtest.h>

#include <filesystem>

#include "child_process.h"
#include "link/link_face.h"
#include "link_sim_process.h"
#include "temp_folder.h"

namespace kxp40s::e2e {
namespace {

using namespace std::chrono_literals;

class Window : public testing::TempFolderTest {};

// The window on a display of its own finds the simulated board that is
// listed as a serial port, and turns red within two monitor ticks of the
// board being unplugged.
TEST_F(Window, FindsThePluggedBoardAndSeesItUnplugged) {
    if (!VirtualDisplay::available() || ::access(binary("kxp40s").c_str(), X_OK) != 0)
        GTEST_SKIP() << "no Xvfb or no window built";
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty());
    const std::string plug = (folder_ / "board").string();
    const auto runtime = folder_ / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    SimProcess sim({"--plug", plug});
    ChildProcess window(
        {binary("kxp40s"), "--report"},
        {"DISPLAY=" + display.name(), "QT_QPA_PLATFORM=xcb", "KXP40S_PORTS=" + plug,
         "XDG_DATA_HOME=" + folder_.string(), "XDG_RUNTIME_DIR=" + runtime.string()});

    const auto shown = window.waitFor("shown ", 30s);
    ASSERT_TRUE(shown);
    EXPECT_EQ(*shown, "shown KXP40S V05.12 USB KAVION");
    EXPECT_EQ(window.waitFor("status ", 5s),
              std::string("status #000000") + " " + kBoardConnectText);

    sim.stop();
    const auto unplugged = std::chrono::steady_clock::now();
    EXPECT_EQ(window.waitFor("status ", 3s),
              std::string("status #ff0000") + " " + kBoardDisconnectText);
    EXPECT_LE(std::chrono::steady_clock::now() - unplugged, 2200ms);
}

}  // namespace
}  // namespace kxp40s::e2e
