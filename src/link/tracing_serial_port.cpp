#include "link/tracing_serial_port.h"

#include <cstdio>

namespace kxp40s {

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

TracingSerialPort::TracingSerialPort(SerialPort& inner, Clock& clock, Sink sink)
    : inner_(inner), clock_(clock), sink_(std::move(sink)), start_(clock.nowMs()) {}

int TracingSerialPort::open(const std::string& name) {
    reportReceived();
    const int result = inner_.open(name);
    char line[64];
    std::snprintf(line, sizeof line, "%8lld ms open ",
                  static_cast<long long>(clock_.nowMs() - start_));
    sink_(line + name + (result == kOk ? "" : " (failed)"));
    return result;
}

int TracingSerialPort::close() {
    reportReceived();
    return inner_.close();
}

int TracingSerialPort::write(std::span<const std::uint8_t> bytes) {
    reportReceived();
    report("TX", bytes);
    return inner_.write(bytes);
}

int TracingSerialPort::read(std::span<std::uint8_t> bytes) {
    const int got = inner_.read(bytes);
    if (got > 0) received_.insert(received_.end(), bytes.begin(), bytes.begin() + got);
    reportReceived();
    return got;
}

int TracingSerialPort::getch() {
    const int byte = inner_.getch();
    if (byte >= 0) received_.push_back(static_cast<std::uint8_t>(byte));
    return byte;
}

void TracingSerialPort::report(const char* direction, std::span<const std::uint8_t> bytes) {
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%8lld ms %s ",
                  static_cast<long long>(clock_.nowMs() - start_), direction);
    sink_(stamp + hexBytes(bytes));
}

void TracingSerialPort::reportReceived() {
    if (received_.empty()) return;
    report("RX", received_);
    received_.clear();
}

}  // namespace kxp40s
