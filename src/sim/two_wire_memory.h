#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/lpt_bus.h"

namespace kxp40s {

// The parallel-port board with a pager on it: a 2048-byte two-wire serial
// memory (eight blocks of 256 bytes, 16-byte pages) behind the board's
// inverting drivers. It follows SCL and SDA from the data register writes at
// its base address and answers on status bit 3. Other bases have nothing
// attached.
class TwoWireMemory : public PortIo {
  public:
    static constexpr int kSize = 2048;
    static constexpr int kWriteCycleMs = 10;

    TwoWireMemory(Clock& clock, std::uint16_t base = kLptBases[0]);

    void Out32(std::uint16_t port, std::uint8_t value) override;
    std::uint8_t Inp32(std::uint16_t port) override;

    std::array<std::uint8_t, kSize> memory{};

    // Faults.
    bool attached = true;            // false: no board at any base
    bool neverAcknowledge = false;   // the memory answers nothing
    int acknowledgeFromAttempt = 1;  // control bytes before this one go unanswered
    int acknowledgeUpToAttempt = std::numeric_limits<int>::max();  // and those after this one
    bool writeProtected = false;        // data bytes of a write are refused
    std::optional<int> corruptAddress;  // this address reads back inverted

    // What happened on the bus.
    struct PageCommit {
        std::int64_t atMs;
        int address;  // of the first byte written
        int length;
    };
    std::vector<PageCommit> commits;
    int starts = 0;
    int stops = 0;
    int controlBytes = 0;  // control bytes addressed to the memory
    int busyRefusals = 0;  // control bytes refused during a write cycle
    // Told each start, stop and byte: "start", "stop", "RX A0 ACK" for a byte
    // the memory received and its answer, "TX 5A NACK" for one it sent and
    // the master's answer.
    std::function<void(const std::string& line)> trace;

  private:
    enum class Phase { Idle, Control, WordAddress, WriteData, ReadData };

    bool sdaLine() const { return masterSda_ && !slaveLow_; }
    void onStart();
    void onStop();
    void onRise();
    void onFall();
    void endAckClock();
    bool byteReceived(std::uint8_t byte);
    bool controlReceived(std::uint8_t byte);
    bool dataReceived(std::uint8_t byte);
    void loadNextByte();
    void driveBit();
    std::uint8_t readAt(int address) const;
    bool busy() const { return clock_.nowMs() < busyUntil_; }
    void note(const char* what, std::uint8_t byte, bool acknowledged);

    Clock& clock_;
    std::uint16_t base_;
    std::map<std::uint16_t, std::uint8_t> dataRegisters_;
    bool scl_ = true;
    bool masterSda_ = true;
    bool slaveLow_ = false;

    Phase phase_ = Phase::Idle;
    int bitCount_ = 0;          // bits of the current byte clocked (received) or driven (sent)
    std::uint8_t shift_ = 0;    // the byte coming in
    std::uint8_t out_ = 0;      // the byte going out
    bool sending_ = false;      // the memory is sending bytes
    bool ackClock_ = false;     // the ninth clock of a byte is running
    bool acking_ = false;       // the memory acknowledged the byte it received
    bool masterAcked_ = false;  // the master acknowledged the byte it received
    int block_ = 0;
    int address_ = 0;                         // the memory's address counter
    std::map<int, std::uint8_t> pageBuffer_;  // the page being written, by address
    int firstWritten_ = 0;
    std::int64_t busyUntil_ = 0;
};

}  // namespace kxp40s
