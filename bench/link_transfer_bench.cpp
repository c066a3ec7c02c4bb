// Times a whole-memory SerialRead and SerialWrite over a pty against
// kxp40s-sim --pace (a 9600-baud line) and prints each as a ratio of the
// line's own limit: 2576 bytes each way at 10 bits a byte, plus, for the
// read, its sixteen fixed pauses of 300 ms. 1.00 is the limit; the target is
// to stay within 5 % of it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "e2e/link_sim_process.h"
#include "image/image.h"
#include "link/serial_link.h"
#include "link/termios_serial_port.h"

namespace {

using namespace kxp40s;

class QuietFace : public LinkFace {
  public:
    Answer show(const Message& message) override {
        std::fprintf(stderr, "link: %s\n", message.text.c_str());
        return Answer::Ok;
    }
};

constexpr int kWireBytes = 2576;
constexpr double kWireSeconds = kWireBytes * 10.0 / 9600.0;
constexpr int kRuns = 3;

double secondsOf(const std::function<bool()>& transfer) {
    const auto start = std::chrono::steady_clock::now();
    if (!transfer()) return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* name, std::vector<double> times, double limit) {
    std::sort(times.begin(), times.end());
    std::printf("%-6s best %.3f s  median %.3f s  limit %.3f s  ratio %.3f (median %.3f)\n", name,
                times.front(), times[times.size() / 2], limit, times.front() / limit,
                times[times.size() / 2] / limit);
}

}  // namespace

int main() {
    e2e::SimProcess sim({"--pace"});
    SteadyClock clock;
    TermiosSerialPort port;
    MemoryRegistryStore store;
    clsRegistryAccess registry(store);
    QuietFace face;
    LinkState state;
    state.BoardPort = sim.ptyPath();
    SerialLink link{state, port, clock, registry, face};
    const Bytes image(kImageSize, 0xA5);

    std::vector<double> reads, writes;
    for (int run = 0; run < kRuns; ++run) {
        reads.push_back(secondsOf([&] { return SerialRead(link, 0, 2047); }));
        writes.push_back(secondsOf([&] { return SerialWrite(link, image, 0, 2047); }));
        if (reads.back() < 0 || writes.back() < 0) return 1;
    }
    std::printf("whole-memory transfers against kxp40s-sim --pace, %d runs\n", kRuns);
    report("read", reads, kWireSeconds + 16 * kReadPauseMs / 1000.0);
    report("write", writes, kWireSeconds);
    return 0;
}
