// Times whole-memory transfers over a pty against kxp40s-sim --pace (a
// 9600-baud line): the link's SerialRead and SerialWrite alone, and the
// transfer window's read, write and verify sequences, with the fixed pause
// before each reply and without it (--no-pause). Each is printed as a ratio
// of its limit: the wire time of every byte it exchanged at 10 bits a byte,
// plus, when pausing, 300 ms for every read frame. 1.00 is the limit; the
// target is to stay within 5 % of it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/startup.h"
#include "e2e/link_sim_process.h"
#include "image/pager_map.h"
#include "link/serial_link.h"
#include "link/termios_serial_port.h"
#include "transfer/transfer.h"

namespace {

using namespace kxp40s;

class QuietFace : public LinkFace {
  public:
    Answer show(const Message& message) override {
        if (message.text.find("success") == std::string::npos &&
            message.text.find("Success") == std::string::npos) {
            std::fprintf(stderr, "transfer: %s\n", message.text.c_str());
        }
        return Answer::Yes;
    }
};

// Counts the bytes each way and the memory read frames (18 bytes, "3R", a count).
class CountingPort : public SerialPort {
  public:
    explicit CountingPort(SerialPort& port) : port_(port) {}
    int open(const std::string& name) override { return port_.open(name); }
    int close() override { return port_.close(); }
    int setup9600() override { return port_.setup9600(); }
    int flush() override { return port_.flush(); }
    int write(std::span<const std::uint8_t> bytes) override {
        const int n = port_.write(bytes);
        if (n > 0) out += n;
        if (bytes.size() == 18 && bytes[10] == '3' && bytes[11] == 'R' && bytes[15] > 0)
            ++readFrames;
        return n;
    }
    int read(std::span<std::uint8_t> bytes) override {
        const int n = port_.read(bytes);
        if (n > 0) in += n;
        return n;
    }
    int getch() override {
        const int c = port_.getch();
        if (c >= 0) ++in;
        return c;
    }
    int bytesWaiting() override { return port_.bytesWaiting(); }
    int lineStatus() override { return port_.lineStatus(); }

    long out = 0, in = 0, readFrames = 0;

  private:
    SerialPort& port_;
};

struct Timing {
    double seconds;
    double limit;
};

void report(const char* name, std::vector<Timing> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Timing& a, const Timing& b) { return a.seconds < b.seconds; });
    const Timing& best = runs.front();
    const Timing& median = runs[runs.size() / 2];
    std::printf("%-22s best %.3f s  median %.3f s  limit %.3f s  ratio %.3f (median %.3f)\n", name,
                best.seconds, median.seconds, best.limit, best.seconds / best.limit,
                median.seconds / median.limit);
}

}  // namespace

int main() {
    constexpr int kRuns = 3;
    e2e::SimProcess sim({"--pace"});
    SteadyClock clock;
    TermiosSerialPort termios;
    CountingPort port(termios);
    MemoryRegistryStore store;
    clsRegistryAccess registry(store);
    QuietFace face;
    LinkState state;
    state.BoardPort = sim.ptyPath();
    SerialLink link{state, port, clock, registry, face};
    Session s = startedSession();
    SerialPagerLink pagerLink(link);
    Transfer t{s, face, pagerLink};

    const auto time = [&](const std::function<void()>& sequence) {
        port.out = port.in = port.readFrames = 0;
        s.TransferFailed = false;
        const auto start = std::chrono::steady_clock::now();
        sequence();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double wire = static_cast<double>(port.out + port.in) * 10.0 / 9600.0;
        const double pauses =
            state.pauseBeforeReplies ? 0.3 * static_cast<double>(port.readFrames) : 0.0;
        if (s.TransferFailed) std::fprintf(stderr, "transfer failed\n");
        return Timing{seconds, wire + pauses};
    };
    // The link alone writes an image the pager will take back on a read: marked and checksummed.
    Image marked = s.ConfigImage;
    marked.set(pager::kProgrammedMark, 1);
    pager::storeChecksum(marked.bytes(), 2047);
    std::printf("whole transfers against kxp40s-sim --pace, %d runs each\n", kRuns);
    for (const bool pause : {true, false}) {
        state.pauseBeforeReplies = pause;
        std::vector<Timing> serialReads, serialWrites, reads, writes, verifies;
        for (int run = 0; run < kRuns; ++run) {
            serialReads.push_back(time([&] { SerialRead(link, 0, 2047); }));
            serialWrites.push_back(time([&] { SerialWrite(link, marked.bytes(), 0, 2047); }));
            reads.push_back(time([&] { tbl_readall(t, 0, 2047); }));
            writes.push_back(time([&] { tbl_writeall(t, s.ConfigImage, 0, 2047); }));
            verifies.push_back(time([&] { tbl_verify(t, s.ConfigImage, 0, 2047); }));
        }
        const std::string mode = pause ? "" : " --no-pause";
        report(("SerialRead" + mode).c_str(), serialReads);
        report(("SerialWrite" + mode).c_str(), serialWrites);
        report(("read" + mode).c_str(), reads);
        report(("write" + mode).c_str(), writes);
        report(("verify" + mode).c_str(), verifies);
    }
    return 0;
}
