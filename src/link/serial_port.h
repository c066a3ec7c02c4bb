#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace kxp40s {

// The calls the link makes on a serial port, one port at a time. Results
// follow one rule: a negative number is an error. The only exception is
// getch, which answers kNoByte when nothing has arrived yet; a port whose
// device went away answers kPortGone from then on.
class SerialPort {
  public:
    static constexpr int kOk = 0;
    static constexpr int kNoByte = -1;
    static constexpr int kNotOpen = -2;
    static constexpr int kPortError = -3;
    static constexpr int kPortGone = -4;
    static constexpr int kPortBusy = -5;    // open: another program holds the port
    static constexpr int kPortDenied = -6;  // open: this user may not open the port

    virtual ~SerialPort() = default;

    // Opens the named port (a device path on Linux, COM3 and the like on
    // Windows) for this program alone; a port already open is closed first.
    // kPortBusy when another program holds it, kPortDenied when the user
    // lacks the right to open it.
    virtual int open(const std::string& name) = 0;
    virtual int close() = 0;
    // 9600 baud, 8 data bits, no parity, 1 stop bit, raw, no flow control.
    virtual int setup9600() = 0;
    // Discards both the input and the output buffer.
    virtual int flush() = 0;
    // Returns the number of bytes written.
    virtual int write(std::span<const std::uint8_t> bytes) = 0;
    // Reads up to bytes.size() bytes of those waiting; returns how many.
    virtual int read(std::span<std::uint8_t> bytes) = 0;
    // The next received byte (0-255) without waiting, or kNoByte.
    virtual int getch() = 0;
    // The number of received bytes waiting to be read.
    virtual int bytesWaiting() = 0;
    // Non-negative while the port is open.
    virtual int lineStatus() = 0;
};

// The serial ports of this operating system: termios devices on Linux, COM
// ports on Windows.
std::unique_ptr<SerialPort> makeSystemSerialPort();

}  // namespace kxp40s
