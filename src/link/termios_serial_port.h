#pragma once

#include <termios.h>

#include <optional>

#include "link/serial_port.h"

namespace kxp40s {

// A serial device of the operating system (USB-serial adapter, ACM device,
// real UART or pseudo-terminal) through POSIX termios.
//
// The port is opened non-blocking with VMIN=1, so that "nothing yet" (EAGAIN)
// and "the device went away" (a read of 0, EIO, or a hang-up reported by
// poll) can be told apart; with VMIN=0 both would read as 0 bytes.
//
// An open port is held exclusively (TIOCEXCL, and an advisory flock that
// also stops programs running as root), so that two programs never talk to
// one board at once. Closing gives the device back as it was found: its
// terminal settings restored and the exclusive mode cleared, so that a
// terminal that turned out not to be the board is not left raw.
class TermiosSerialPort : public SerialPort {
  public:
    TermiosSerialPort() = default;
    TermiosSerialPort(const TermiosSerialPort&) = delete;
    TermiosSerialPort& operator=(const TermiosSerialPort&) = delete;
    ~TermiosSerialPort() override;

    int open(const std::string& name) override;
    int close() override;
    int setup9600() override;
    int flush() override;
    int write(std::span<const std::uint8_t> bytes) override;
    int read(std::span<std::uint8_t> bytes) override;
    int getch() override;
    int bytesWaiting() override;
    int lineStatus() override;

  private:
    int failure(int error);
    bool hungUp() const;

    int fd_ = -1;
    bool gone_ = false;
    std::optional<termios> found_;  // the settings the port had when it was opened
};

}  // namespace kxp40s
