#include "sim/sim_serial_port.h"

#include <algorithm>

namespace kxp40s::sim {

SimSerialPort::SimSerialPort(PagerBoard& board, Clock& clock, std::string name, bool paced)
    : board_(board), clock_(clock), name_(std::move(name)), paced_(paced) {}

bool SimSerialPort::plugged() {
    return !unplugAtMs_ || static_cast<double>(clock_.nowMs()) < *unplugAtMs_;
}

int SimSerialPort::open(const std::string& name) {
    close();
    if (name != name_ || !plugged()) return kPortError;
    open_ = true;
    return kOk;
}

int SimSerialPort::close() {
    if (!open_) return kNotOpen;
    open_ = false;
    return kOk;
}

int SimSerialPort::checkUsable() {
    if (!open_) return kNotOpen;
    if (!plugged()) return kPortGone;
    return kOk;
}

int SimSerialPort::setup9600() {
    return checkUsable();
}

int SimSerialPort::flush() {
    const int usable = checkUsable();
    if (usable == kOk) {
        const double now = static_cast<double>(clock_.nowMs());
        std::erase_if(pending_, [now](const TimedByte& b) { return b.dueMs <= now; });
    }
    return usable;
}

int SimSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (const int usable = checkUsable(); usable != kOk) return usable;
    for (const auto& exchange : board_.receive(bytes)) {
        if (exchange.reply) schedule(*exchange.reply);
    }
    return static_cast<int>(bytes.size());
}

void SimSerialPort::schedule(const BoardReply& reply) {
    const double now = static_cast<double>(clock_.nowMs());
    double due = std::max(now, outputFreeMs_) + reply.delayMs;
    for (std::uint8_t byte : reply.bytes) {
        if (paced_) due += kByteTimeMs;
        pending_.push_back({due, byte});
    }
    outputFreeMs_ = due;
    if (reply.unplugAfter) unplugAtMs_ = due;
}

int SimSerialPort::availableCount() {
    const double now = static_cast<double>(clock_.nowMs());
    return static_cast<int>(std::count_if(pending_.begin(), pending_.end(),
                                          [now](const TimedByte& b) { return b.dueMs <= now; }));
}

int SimSerialPort::read(std::span<std::uint8_t> bytes) {
    if (const int usable = checkUsable(); usable != kOk) return usable;
    const int n = std::min(static_cast<int>(bytes.size()), availableCount());
    for (int i = 0; i < n; ++i) {
        bytes[static_cast<std::size_t>(i)] = pending_.front().byte;
        pending_.pop_front();
    }
    return n;
}

int SimSerialPort::getch() {
    std::uint8_t byte = 0;
    const int n = read(std::span(&byte, 1));
    if (n < 0) return n;
    return n == 0 ? kNoByte : byte;
}

int SimSerialPort::bytesWaiting() {
    if (const int usable = checkUsable(); usable != kOk) return usable;
    return availableCount();
}

int SimSerialPort::lineStatus() {
    return open_ ? kOk : kNotOpen;
}

}  // namespace kxp40s::sim
