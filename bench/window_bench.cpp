// How fast the window is on the screen and how much memory it takes, beside
// a bare Qt window of the same size from the same program, on a display of
// its own with the simulated board plugged in; then the processor time the
// window takes while it only watches the board.
//
//   window_bench [runs] [idle seconds]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "e2e/child_process.h"
#include "e2e/link_sim_process.h"

namespace {

using namespace std::chrono_literals;
using kxp40s::e2e::ChildProcess;
using kxp40s::e2e::VirtualDisplay;
namespace fs = std::filesystem;

struct Start {
    double seconds = 0;
    double peakMb = 0;
};

// VmHWM: the most resident memory the process has had.
double peakMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// User and system time so far, in seconds.
double cpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) ticks += std::stol(field);
    }
    return static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

class Bench {
  public:
    Bench(const fs::path& folder, std::string display, std::string plug)
        : env_({"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "KXP40S_PORTS=" + plug,
                "XDG_DATA_HOME=" + folder.string(), "XDG_CONFIG_HOME=" + folder.string(),
                "XDG_RUNTIME_DIR=" + folder.string()}) {}

    std::vector<std::string> args(bool bare) const {
        std::vector<std::string> a{kxp40s::e2e::binary("kxp40s"), "--report", "--no-splash"};
        if (bare) a.push_back("--bare-window");
        return a;
    }

    Start start(bool bare) const {
        const auto begin = std::chrono::steady_clock::now();
        ChildProcess window(args(bare), env_);
        if (!window.waitFor("shown", 30s)) return {};
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        return {took.count(), peakMegabytes(window.pid())};
    }

    // What the board search alone takes on this machine: kxp40s-cli asks
    // every listed port in turn, as start-up does until the board answers.
    double searchSeconds() const {
        const auto begin = std::chrono::steady_clock::now();
        ChildProcess ports({kxp40s::e2e::binary("kxp40s-cli"), "ports"}, env_);
        while (ports.readLine(30s)) {
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        return took.count();
    }

    double idleCpuPercent(int seconds) const {
        ChildProcess window(args(false), env_);
        if (!window.waitFor("shown", 30s)) return -1;
        std::this_thread::sleep_for(1s);
        const double before = cpuSeconds(window.pid());
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        return 100.0 * (cpuSeconds(window.pid()) - before) / seconds;
    }

  private:
    std::vector<std::string> env_;
};

void report(const char* what, std::vector<Start> starts) {
    std::sort(starts.begin(), starts.end(),
              [](const Start& a, const Start& b) { return a.seconds < b.seconds; });
    double peak = 0;
    for (const Start& s : starts)
        peak = std::max(peak, s.peakMb);
    std::printf("%-24s first shown: median %.3f s (min %.3f, max %.3f); peak memory %.1f MB\n",
                what, starts[starts.size() / 2].seconds, starts.front().seconds,
                starts.back().seconds, peak);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int idleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    if (!VirtualDisplay::available()) {
        std::cerr << "window_bench: Xvfb is needed\n";
        return 1;
    }
    const fs::path folder =
        fs::temp_directory_path() / ("kxp40s-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all);
    {
        VirtualDisplay display;
        const std::string plug = (folder / "board").string();
        kxp40s::e2e::SimProcess sim({"--plug", plug});
        const Bench bench(folder, display.name(), plug);
        bench.start(false);  // the first start also fills the file cache
        std::vector<Start> bare, window;
        for (int i = 0; i < runs; ++i) {
            bare.push_back(bench.start(true));
            window.push_back(bench.start(false));
        }
        std::printf("%d starts each, Xvfb, simulated board plugged in\n", runs);
        report("bare Qt window", bare);
        report("kxp40s (populated)", window);
        std::printf(
            "of which the board search over this machine's ports (kxp40s-cli ports): %.3f s\n",
            bench.searchSeconds());
        std::printf("kxp40s idle with the board monitor: %.2f %% of one core over %d s\n",
                    bench.idleCpuPercent(idleSeconds), idleSeconds);
    }
    fs::remove_all(folder);
    return 0;
}
