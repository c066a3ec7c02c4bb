#pragma once

#include <deque>
#include <string>

#include "link/clock.h"
#include "link/serial_port.h"
#include "sim/pager_board.h"

namespace kxp40s::sim {

// The host's serial port with the simulated board on the other end of the
// cable, in-process: what the host writes goes to the board at once, and the
// board's replies become readable on the given clock, immediately or, when
// paced, at 9600 baud (10 bits a byte). A board that unplugs takes the port
// with it: from the moment its last byte is due every call answers kPortGone.
class SimSerialPort : public SerialPort {
  public:
    SimSerialPort(PagerBoard& board, Clock& clock, std::string name, bool paced = false);

    int open(const std::string& name) override;
    int close() override;
    int setup9600() override;
    int flush() override;
    int write(std::span<const std::uint8_t> bytes) override;
    int read(std::span<std::uint8_t> bytes) override;
    int getch() override;
    int bytesWaiting() override;
    int lineStatus() override;

    const std::string& name() const { return name_; }
    // False once the board went away.
    bool plugged();

  private:
    struct TimedByte {
        double dueMs;
        std::uint8_t byte;
    };
    int availableCount();
    int checkUsable();
    void schedule(const BoardReply& reply);

    PagerBoard& board_;
    Clock& clock_;
    std::string name_;
    bool paced_;
    bool open_ = false;
    std::deque<TimedByte> pending_;
    double outputFreeMs_ = 0;
    std::optional<double> unplugAtMs_;
};

inline constexpr double kByteTimeMs = 10.0 * 1000.0 / 9600.0;

}  // namespace kxp40s::sim
