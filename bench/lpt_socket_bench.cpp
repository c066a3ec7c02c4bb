// Times whole-memory transfers of the parallel-port bus over SocketPortIo
// against kxp40s-sim --lpt: LptPageRead and LptPageWrite of 0..2047, paced
// as the programs drive a board (a 25 us pause after every step) and without
// the pauses (what the socket itself costs). Each line gives the register
// writes and reads the transfer made and its limit: the time its pauses (one
// per write, when paced) and the memory's write cycles (10 ms a page) take
// by themselves. For comparison, the same bus paced against the memory
// in-process.
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "e2e/lpt_sim_process.h"
#include "image/image.h"
#include "link/clock.h"
#include "link/lpt_bus.h"
#include "link/socket_port_io.h"
#include "sim/two_wire_memory.h"

namespace {

using namespace kxp40s;

class CountingPortIo : public PortIo {
  public:
    explicit CountingPortIo(PortIo& io) : io_(io) {}
    void Out32(std::uint16_t port, std::uint8_t value) override {
        ++writes;
        io_.Out32(port, value);
    }
    std::uint8_t Inp32(std::uint16_t port) override {
        ++reads;
        return io_.Inp32(port);
    }
    std::string problem() const override { return io_.problem(); }
    bool failed() const override { return io_.failed(); }
    void flush() override { io_.flush(); }
    long writes = 0;
    long reads = 0;

  private:
    PortIo& io_;
};

// Real time, but the bus's pauses (1 ms per 40 of them) cost nothing; the
// memory's write cycles are still waited out.
class UnpacedClock : public SteadyClock {
  public:
    void sleepMs(int ms) override {
        if (ms > 1) SteadyClock::sleepMs(ms);
    }
};

class QuietFace : public LinkFace {
  public:
    Answer show(const Message& message) override {
        std::fprintf(stderr, "bus: %s\n", message.text.c_str());
        return Answer::Ok;
    }
};

struct Transfer {
    const char* name;
    double writeCycles;  // seconds
    std::function<bool(LptBus&, std::vector<std::uint8_t>&)> run;
};

void timeTransfer(const Transfer& transfer, PortIo& port, Clock& clock, LptBus::Pacing pacing,
                  const char* mode) {
    CountingPortIo io(port);
    LptBus bus(io, clock, pacing);
    QuietFace face;
    if (!bus.LptBoardConnect(face)) return;
    io.writes = io.reads = 0;
    std::vector<std::uint8_t> memory(kImageSize, 0x5A);
    const auto start = std::chrono::steady_clock::now();
    const bool ok = transfer.run(bus, memory);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const bool paced = pacing == LptBus::Pacing::SteadyClock;
    const double limit =
        transfer.writeCycles + (paced ? static_cast<double>(io.writes) * 25e-6 : 0);
    std::printf("%-10s 0..2047 %-19s %6.3f s  %6ld writes %6ld reads  limit %6.3f s%s\n",
                transfer.name, mode, took.count(), io.writes, io.reads, limit,
                ok ? "" : "  FAILED");
}

void measure(const Transfer& transfer) {
    SteadyClock steady;
    {
        e2e::LptSimProcess board;
        SocketPortIo socket(board.socketPath());
        timeTransfer(transfer, socket, steady, LptBus::Pacing::SteadyClock, "socket, paced");
    }
    {
        e2e::LptSimProcess board;
        SocketPortIo socket(board.socketPath());
        UnpacedClock unpaced;
        timeTransfer(transfer, socket, unpaced, LptBus::Pacing::OnClock, "socket, unpaced");
    }
    TwoWireMemory memory(steady);
    timeTransfer(transfer, memory, steady, LptBus::Pacing::SteadyClock, "in-process, paced");
}

}  // namespace

int main() {
    const LptProgress ignore = [](int) {};
    const Transfer transfers[] = {
        {"page read", 0.0,
         [&](LptBus& bus, std::vector<std::uint8_t>& m) {
             return bus.LptPageRead(m, 0, 2047, ignore);
         }},
        {"page write", 128 * 0.010,
         [&](LptBus& bus, std::vector<std::uint8_t>& m) {
             return bus.LptPageWrite(m, 0, 2047, ignore);
         }},
    };
    for (const Transfer& t : transfers)
        measure(t);
    return 0;
}
