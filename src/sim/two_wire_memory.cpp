#include "sim/two_wire_memory.h"

#include "link/tracing_serial_port.h"

namespace kxp40s {

namespace {

constexpr int kPageSize = 16;
constexpr std::uint8_t kNothingAttached = 0xFF;

}  // namespace

TwoWireMemory::TwoWireMemory(Clock& clock, std::uint16_t base) : clock_(clock), base_(base) {}

// Lines through the inverting drivers: a 1 pulls the line low. When both
// lines change in one write, the data line is taken to move while the clock
// is low, as a master does it; only a data change with the clock high makes a
// start or stop.
void TwoWireMemory::Out32(std::uint16_t port, std::uint8_t value) {
    dataRegisters_[port] = value;
    if (!attached || port != base_) return;
    const bool scl = (value & kLptSclBit) == 0;
    const bool sda = (value & kLptSdaBit) == 0;
    if (scl_ && !scl) {
        scl_ = false;
        onFall();
    }
    if (sda != masterSda_) {
        const bool before = sdaLine();
        masterSda_ = sda;
        if (scl_ && before != sdaLine()) sdaLine() ? onStop() : onStart();
    }
    if (!scl_ && scl) {
        scl_ = true;
        onRise();
    }
}

std::uint8_t TwoWireMemory::Inp32(std::uint16_t port) {
    if (attached && port == base_ + 1) return sdaLine() ? 0x00 : kLptSdaReadBack;
    if (attached && port == base_) return dataRegisters_[port];
    return kNothingAttached;
}

void TwoWireMemory::note(const char* what, std::uint8_t byte, bool acknowledged) {
    if (trace)
        trace(std::string(what) + " " + hexBytes({&byte, 1}) + (acknowledged ? " ACK" : " NACK"));
}

void TwoWireMemory::onStart() {
    ++starts;
    if (trace) trace("start");
    // A start before the stop abandons a page write, as the memory does.
    pageBuffer_.clear();
    phase_ = Phase::Control;
    bitCount_ = 0;
    shift_ = 0;
    sending_ = false;
    ackClock_ = false;
    slaveLow_ = false;
}

void TwoWireMemory::onStop() {
    ++stops;
    if (trace) trace("stop");
    if (phase_ == Phase::WriteData && !pageBuffer_.empty()) {
        for (const auto& [address, byte] : pageBuffer_) {
            memory[static_cast<std::size_t>(address)] = byte;
        }
        commits.push_back({clock_.nowMs(), firstWritten_, static_cast<int>(pageBuffer_.size())});
        busyUntil_ = clock_.nowMs() + kWriteCycleMs;
    }
    pageBuffer_.clear();
    phase_ = Phase::Idle;
    sending_ = false;
    ackClock_ = false;
    slaveLow_ = false;
}

void TwoWireMemory::onRise() {
    if (phase_ == Phase::Idle) return;
    if (ackClock_) {
        if (sending_) masterAcked_ = !masterSda_;
        return;
    }
    if (sending_) return;
    shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sdaLine() ? 1 : 0));
    ++bitCount_;
}

void TwoWireMemory::onFall() {
    if (phase_ == Phase::Idle) return;
    if (ackClock_) {
        endAckClock();
    } else if (sending_) {
        if (bitCount_ < 8) {
            driveBit();
        } else {
            slaveLow_ = false;
            ackClock_ = true;
        }
    } else if (bitCount_ == 8) {
        acking_ = byteReceived(shift_);
        note("RX", shift_, acking_);
        slaveLow_ = acking_;
        ackClock_ = true;
        bitCount_ = 0;
        shift_ = 0;
    }
}

void TwoWireMemory::endAckClock() {
    ackClock_ = false;
    slaveLow_ = false;
    if (sending_) note("TX", out_, masterAcked_);
    if (!(sending_ ? masterAcked_ : acking_)) {
        phase_ = Phase::Idle;
        sending_ = false;
        return;
    }
    if (phase_ == Phase::ReadData) loadNextByte();
}

bool TwoWireMemory::byteReceived(std::uint8_t byte) {
    if (neverAcknowledge) return false;
    switch (phase_) {
        case Phase::Control:
            return controlReceived(byte);
        case Phase::WordAddress:
            address_ = (block_ << 8) | byte;
            phase_ = Phase::WriteData;
            return true;
        case Phase::WriteData:
            return dataReceived(byte);
        default:
            return false;
    }
}

bool TwoWireMemory::controlReceived(std::uint8_t byte) {
    if ((byte & 0xF0) != 0xA0) return false;
    ++controlBytes;
    if (busy()) {
        ++busyRefusals;
        return false;
    }
    if (controlBytes < acknowledgeFromAttempt || controlBytes > acknowledgeUpToAttempt)
        return false;
    block_ = (byte >> 1) & 0x07;
    phase_ = (byte & 1) != 0 ? Phase::ReadData : Phase::WordAddress;
    return true;
}

// Bytes of a write collect in the page; the address runs round within it.
bool TwoWireMemory::dataReceived(std::uint8_t byte) {
    if (writeProtected) return false;
    if (pageBuffer_.empty()) firstWritten_ = address_;
    pageBuffer_[address_] = byte;
    address_ = (address_ & ~(kPageSize - 1)) | ((address_ + 1) & (kPageSize - 1));
    return true;
}

// A read runs on across pages and blocks, round to 0 after the last byte.
void TwoWireMemory::loadNextByte() {
    out_ = readAt(address_);
    address_ = (address_ + 1) % kSize;
    sending_ = true;
    bitCount_ = 0;
    driveBit();
}

void TwoWireMemory::driveBit() {
    slaveLow_ = ((out_ >> (7 - bitCount_)) & 1) == 0;
    ++bitCount_;
}

std::uint8_t TwoWireMemory::readAt(int address) const {
    const std::uint8_t byte = memory[static_cast<std::size_t>(address)];
    return corruptAddress == address ? static_cast<std::uint8_t>(~byte) : byte;
}

}  // namespace kxp40s
