#pragma once

#include <functional>
#include <string>

#include "link/clock.h"
#include "link/frames.h"
#include "link/serial_port.h"

namespace kxp40s {

// Passes every call to another port and reports each frame sent ("TX") and
// received ("RX") as one line of hexadecimal with a millisecond time stamp
// counted from the tracer's creation. Bytes taken one at a time are gathered
// and reported with the rest of their frame.
class TracingSerialPort : public SerialPort {
  public:
    using Sink = std::function<void(const std::string& line)>;
    TracingSerialPort(SerialPort& inner, Clock& clock, Sink sink);

    int open(const std::string& name) override;
    int close() override;
    int setup9600() override { return inner_.setup9600(); }
    int flush() override { return inner_.flush(); }
    int write(std::span<const std::uint8_t> bytes) override;
    int read(std::span<std::uint8_t> bytes) override;
    int getch() override;
    int bytesWaiting() override { return inner_.bytesWaiting(); }
    int lineStatus() override { return inner_.lineStatus(); }

  private:
    void report(const char* direction, std::span<const std::uint8_t> bytes);
    void reportReceived();

    SerialPort& inner_;
    Clock& clock_;
    Sink sink_;
    std::int64_t start_;
    Bytes received_;
};

// "4B 65 73 ..." : two upper-case digits per byte, separated by spaces.
std::string hexBytes(std::span<const std::uint8_t> bytes);

}  // namespace kxp40s
