#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "link/clock.h"
#include "link/link_face.h"
#include "link/pager_link.h"
#include "link/stop_flag.h"

namespace kxp40s {

// Byte access to I/O registers of the parallel port: the data register at the
// base address and the status register at base + 1.
// Why a parallel port could not be opened, as the port list shows it.
enum class PortRefusal { None, Busy, Denied };

class PortIo {
  public:
    virtual ~PortIo() = default;
    virtual void Out32(std::uint16_t port, std::uint8_t value) = 0;
    virtual std::uint8_t Inp32(std::uint16_t port) = 0;
    // Why a port could not be reached, for the user (empty: nothing to say).
    virtual std::string problem() const { return {}; }
    // Why the port at `base` could not be opened, once it was tried.
    virtual PortRefusal refusal(std::uint16_t /*base*/) const { return PortRefusal::None; }
    // True once the port itself has broken down (not the board): what it
    // reads since then is made up, so a transfer that ran into it fails.
    virtual bool failed() const { return false; }
    // Hands on the writes the port still holds back (a port may keep them
    // until a read needs the board's answer).
    virtual void flush() {}
};

// The base addresses searched for the board, in order.
inline constexpr std::uint16_t kLptBases[] = {0x378, 0x278, 0x3BC};

// Data register values; bits 2-7 are always set. Through the board's
// inverting drivers a 1 in bit 0 pulls SCL low and a 1 in bit 1 pulls SDA low.
inline constexpr std::uint8_t kLptSclBit = 0x01;
inline constexpr std::uint8_t kLptSdaBit = 0x02;
inline constexpr std::uint8_t kLptBothHigh = 0xFC;
inline constexpr std::uint8_t kLptSdaLow = 0xFE;
inline constexpr std::uint8_t kLptBothLow = 0xFF;
// Status register bit 3 reads 1 while SDA is low.
inline constexpr std::uint8_t kLptSdaReadBack = 0x08;

// The receiver's last byte of a read gets NACK (any non-zero `last`).
inline constexpr std::uint8_t kLptNack = 255;

// The memory's control byte for an address: 1010, the block number (address
// bits 8-10) and the write bit 0. The read control byte is one more.
constexpr std::uint8_t lptControlByte(int address) {
    return static_cast<std::uint8_t>(0xA0 | ((address & 0x700) >> 7));
}

// Told the address reached, for the progress bar.
using LptProgress = std::function<void(int address)>;
// Given each byte of a sequential read; false stops the read.
using LptByteSink = std::function<bool(int address, std::uint8_t byte)>;

// The passive parallel-port board: the program drives the two wires of the
// pager memory's bus itself, one 25 us pause after every step.
class LptBus {
  public:
    // How the 25 us pauses are timed: busy on the steady clock; busy on the
    // loop count measured by CalibrateDelay; or (simulated boards) by moving
    // the bus's clock on, 1 ms per 40 pauses, so they cost nothing.
    enum class Pacing { SteadyClock, CalibratedLoop, OnClock };

    LptBus(PortIo& io, Clock& clock, Pacing pacing = Pacing::SteadyClock);

    std::uint16_t LptDataPort = kLptBases[0];
    std::uint16_t LptStatusPort = kLptBases[0] + 1;
    std::uint8_t LptDataShadow = kLptBothHigh;
    std::int32_t LoopsPer25us = 0;
    // Asked at every page: a stop ends a page read or write there (a page
    // write after the page's write cycle), the bus stopped, nothing said.
    const StopFlag* stop = nullptr;

    // Finds the board at one of kLptBases; none: "The Programmed Board is not
    // responding!", with why the port could not be reached on a line after it.
    bool LptBoardConnect(LinkFace& face);
    bool LptProbe(std::uint16_t base);

    void LptStart();
    void LptStop();
    void LptIdle();

    void SclReleased();
    void SclLow();
    void SdaReleased();
    void SdaLow();

    bool LptSendByte(std::uint8_t value);
    std::uint8_t LptReceiveByte(std::uint8_t last);

    // Random read; a control byte never acknowledged (or a port that failed)
    // shows "Read error!" and gives nothing.
    std::optional<std::uint8_t> LptReadByteAt(int address, LinkFace& face);

    // Writes data(strt..stp) in 16-byte pages, waiting out the memory's write
    // cycle after each page. False when a byte went unacknowledged or the port
    // failed (the bus is then idle).
    bool LptPageWrite(std::span<const std::uint8_t> data, int strt, int stp,
                      const LptProgress& progress);
    // Reads strt..stp into `into` with a new address phase at every page.
    // False when a control byte was never acknowledged or the port failed.
    bool LptPageRead(std::span<std::uint8_t> into, int strt, int stp, const LptProgress& progress);
    // Reads strt..stp in one run, handing each byte to `sink` until it says
    // stop. False when the control byte was never acknowledged or the port
    // failed (the sink is not given what a failed port read).
    bool LptSequentialRead(int strt, int stp, const LptByteSink& sink);

    void Delay25us();
    void CalibrateDelay();

    Clock& clock() { return clock_; }
    PortIo& io() { return io_; }

  private:
    void put(std::uint8_t value);
    void setShadowBit(std::uint8_t bit, bool on);
    void clockPulse();
    bool sdaIsLow();
    bool sendControlByte(std::uint8_t ctrl);
    bool sendControlByteWithin(std::uint8_t ctrl, std::int64_t ms);
    bool addressPhase(int address);
    bool openPage(int a);
    bool portWorks() const;
    bool stopAsked() const;
    void sleepMs(int ms);
    void delayMs(int ms);

    PortIo& io_;
    Clock& clock_;
    Pacing pacing_;
    int pausedUs_ = 0;
};

// The parallel-port board as the transfer sequences see it: a few bytes by
// random reads, the memory in pages, a compare by one sequential read.
class LptPagerLink : public PagerLink {
  public:
    LptPagerLink(LptBus& bus, LinkFace& face) : bus_(bus), face_(face) {}

    BoardKind kind() const override { return BoardKind::Lpt; }
    std::optional<std::vector<std::uint8_t>> readBytes(int first, int last) override;
    Result readMemory(int strt, int stp, std::span<std::uint8_t> into) override;
    Result writeMemory(std::span<const std::uint8_t> data, int strt, int stp) override;
    Comparison compareMemory(std::span<const std::uint8_t> data, int strt, int stp) override;

  private:
    Result failure(const char* text);
    LptProgress progress();

    LptBus& bus_;
    LinkFace& face_;
};

// One step of the board monitor on the parallel-port board: the data register
// goes back to the idle level (SCL released, SDA held low).
void Timer1_Timer(LptBus& bus, LinkFace& face);

}  // namespace kxp40s
