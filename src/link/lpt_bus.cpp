#include "link/lpt_bus.h"

#include <chrono>

#include "link/search_message.h"

namespace kxp40s {

namespace {

constexpr int kAttempts = 10;             // control bytes sent before a read gives up
constexpr std::int64_t kPageAckMs = 500;  // how long a page write waits for the memory
constexpr int kWriteCycleMs = 10;         // the memory's write cycle after each page
constexpr int kProbeWaitMs = 50;
constexpr int kIdleWaitMs = 100;
constexpr int kPageSize = 16;

bool pageStart(int a, int strt) {
    return a == strt || a % kPageSize == 0;
}
bool pageEnd(int a) {
    return (a + 1) % kPageSize == 0;
}

}  // namespace

LptBus::LptBus(PortIo& io, Clock& clock, Pacing pacing) : io_(io), clock_(clock), pacing_(pacing) {}

void LptBus::put(std::uint8_t value) {
    io_.Out32(LptDataPort, value);
    LptDataShadow = value;
    Delay25us();
}

void LptBus::setShadowBit(std::uint8_t bit, bool on) {
    put(static_cast<std::uint8_t>(on ? (LptDataShadow | bit) : (LptDataShadow & ~bit)));
}

// The port may hold writes back until it has to answer a read; whatever the
// board is to see before a wait (a stop that starts the memory's write cycle)
// is handed on first.
void LptBus::sleepMs(int ms) {
    io_.flush();
    clock_.sleepMs(ms);
}

void LptBus::delayMs(int ms) {
    io_.flush();
    DelayMs(clock_, ms);
}

void LptBus::SclReleased() {
    setShadowBit(kLptSclBit, false);
}
void LptBus::SclLow() {
    setShadowBit(kLptSclBit, true);
}
void LptBus::SdaReleased() {
    setShadowBit(kLptSdaBit, false);
}
void LptBus::SdaLow() {
    setShadowBit(kLptSdaBit, true);
}

bool LptBus::sdaIsLow() {
    return (io_.Inp32(LptStatusPort) & kLptSdaReadBack) != 0;
}

void LptBus::clockPulse() {
    SclReleased();
    SclLow();
}

void LptBus::LptStart() {
    put(kLptBothHigh);
    put(kLptSdaLow);
    put(kLptBothLow);
}

void LptBus::LptStop() {
    put(kLptBothLow);
    put(kLptSdaLow);
    put(kLptBothHigh);
}

void LptBus::LptIdle() {
    delayMs(kIdleWaitMs);
    put(kLptSdaLow);
}

bool LptBus::LptSendByte(std::uint8_t value) {
    for (int mask = 0x80; mask != 0; mask >>= 1) {
        if ((value & mask) != 0) {
            SdaReleased();
        } else {
            SdaLow();
        }
        clockPulse();
    }
    SdaReleased();
    SclReleased();
    const bool acknowledged = sdaIsLow();
    SclLow();
    return acknowledged;
}

std::uint8_t LptBus::LptReceiveByte(std::uint8_t last) {
    SdaReleased();
    std::uint8_t byte = 0;
    for (int bit = 0; bit < 8; ++bit) {
        byte = static_cast<std::uint8_t>(byte << 1);
        SclReleased();
        if (!sdaIsLow()) byte |= 1;
        SclLow();
    }
    if (last == 0) {
        SdaLow();
    } else {
        SdaReleased();
    }
    clockPulse();
    return byte;
}

bool LptBus::sendControlByte(std::uint8_t ctrl) {
    LptStart();
    bool acknowledged = LptSendByte(ctrl);
    for (int attempt = 1; !acknowledged && attempt < kAttempts; ++attempt) {
        LptStart();
        acknowledged = LptSendByte(ctrl);
    }
    return acknowledged;
}

bool LptBus::sendControlByteWithin(std::uint8_t ctrl, std::int64_t ms) {
    const std::int64_t start = clock_.nowMs();
    LptStart();
    bool acknowledged = LptSendByte(ctrl);
    while (!acknowledged && clock_.nowMs() - start <= ms) {
        LptStart();
        acknowledged = LptSendByte(ctrl);
    }
    return acknowledged;
}

// Sets the memory's address counter and turns the bus round for reading. The
// acknowledges after the control byte are not examined.
bool LptBus::addressPhase(int address) {
    const std::uint8_t ctrl = lptControlByte(address);
    if (!sendControlByte(ctrl)) return false;
    LptSendByte(static_cast<std::uint8_t>(address & 0xFF));
    LptStart();
    LptSendByte(static_cast<std::uint8_t>(ctrl + 1));
    return portWorks();
}

// A port that broke down reads all ones: every byte looks acknowledged and
// every bit looks low, so the bus itself would never notice.
bool LptBus::portWorks() const {
    return !io_.failed();
}

bool LptBus::stopAsked() const {
    return stop && stop->requested();
}

std::optional<std::uint8_t> LptBus::LptReadByteAt(int address, LinkFace& face) {
    if (addressPhase(address)) {
        const std::uint8_t byte = LptReceiveByte(kLptNack);
        LptStop();
        if (portWorks()) return byte;
    }
    LptIdle();
    face.show(warning("Read error!", kShortTitle));
    return std::nullopt;
}

bool LptBus::openPage(int a) {
    if (!sendControlByteWithin(lptControlByte(a), kPageAckMs)) return false;
    return LptSendByte(static_cast<std::uint8_t>(a & 0xFF)) && portWorks();
}

bool LptBus::LptPageWrite(std::span<const std::uint8_t> data, int strt, int stp,
                          const LptProgress& progress) {
    for (int a = strt; a <= stp; ++a) {
        if (pageStart(a, strt)) {
            if (a != strt) {
                LptStop();
                sleepMs(kWriteCycleMs);
            }
            if (stopAsked()) {
                LptIdle();
                return false;
            }
            const bool opened = openPage(a);
            if (a % kPageSize == 0) progress(a);
            if (!opened) {
                LptIdle();
                return false;
            }
        }
        if (!LptSendByte(data[static_cast<std::size_t>(a)])) {
            LptIdle();
            return false;
        }
    }
    // The last page's write cycle is waited out too, so that whatever comes
    // next (the verify) finds the memory answering.
    LptStop();
    sleepMs(kWriteCycleMs);
    if (portWorks()) return true;
    LptIdle();
    return false;
}

bool LptBus::LptPageRead(std::span<std::uint8_t> into, int strt, int stp,
                         const LptProgress& progress) {
    for (int a = strt; a <= stp; ++a) {
        // The memory stops sending after the NACK that ends a page, so every
        // page (the one of stp too) opens with its own address phase.
        if (pageStart(a, strt) && stopAsked()) {
            if (a != strt) LptStop();
            return false;
        }
        if (pageStart(a, strt) && !addressPhase(a)) return false;
        const bool last = a == stp || pageEnd(a);
        into[static_cast<std::size_t>(a)] = LptReceiveByte(last ? kLptNack : 0);
        if (pageEnd(a)) progress(a);
    }
    LptStop();
    return portWorks();
}

bool LptBus::LptSequentialRead(int strt, int stp, const LptByteSink& sink) {
    if (!addressPhase(strt)) return false;
    for (int a = strt; a <= stp; ++a) {
        const bool last = a == stp;
        const std::uint8_t byte = LptReceiveByte(last ? kLptNack : 0);
        if (!portWorks()) break;
        if (!sink(a, byte)) {
            // The memory is still sending: one more byte with NACK ends it.
            if (!last) LptReceiveByte(kLptNack);
            break;
        }
    }
    LptStop();
    return portWorks();
}

bool LptBus::LptProbe(std::uint16_t base) {
    LptStop();
    delayMs(kProbeWaitMs);
    LptStop();
    delayMs(kProbeWaitMs);
    SclLow();
    io_.Out32(base, static_cast<std::uint8_t>(io_.Inp32(base) | kLptSdaBit));
    delayMs(kProbeWaitMs);
    io_.Out32(base, static_cast<std::uint8_t>(io_.Inp32(base) & ~kLptSdaBit));
    delayMs(kProbeWaitMs);
    // Released, SDA must read high: nothing on the board holds it low.
    const bool passed = (io_.Inp32(static_cast<std::uint16_t>(base + 1)) & kLptSdaReadBack) == 0;
    LptStop();
    return passed;
}

bool LptBus::LptBoardConnect(LinkFace& face) {
    LptDataShadow = kLptBothHigh;
    for (const std::uint16_t base : kLptBases) {
        LptDataPort = base;
        if (LptProbe(base)) {
            LptStatusPort = static_cast<std::uint16_t>(base + 1);
            return true;
        }
    }
    face.show(notRespondingMessage(io_.problem()));
    return false;
}

void LptBus::Delay25us() {
    using namespace std::chrono;
    switch (pacing_) {
        case Pacing::SteadyClock: {
            const auto start = steady_clock::now();
            while (steady_clock::now() - start < microseconds(25)) {
            }
            break;
        }
        case Pacing::CalibratedLoop: {
            // Costs what the calibration cost per count: a clock read every 1000.
            volatile std::int32_t count = 0;
            while (count <= LoopsPer25us) {
                if (count % 1000 == 0) static_cast<void>(steady_clock::now());
                count = count + 1;
            }
            break;
        }
        case Pacing::OnClock:
            pausedUs_ += 25;
            if (pausedUs_ >= 1000) {
                pausedUs_ -= 1000;
                sleepMs(1);
            }
            break;
    }
}

void LptBus::CalibrateDelay() {
    using namespace std::chrono;
    const auto start = steady_clock::now();
    volatile std::int64_t count = 0;
    while (count % 1000 != 0 || steady_clock::now() - start <= milliseconds(25)) {
        count = count + 1;
    }
    LoopsPer25us = static_cast<std::int32_t>(count / 1000);
}

std::optional<std::vector<std::uint8_t>> LptPagerLink::readBytes(int first, int last) {
    std::vector<std::uint8_t> bytes;
    for (int a = first; a <= last; ++a) {
        const auto byte = bus_.LptReadByteAt(a, face_);
        if (!byte) return std::nullopt;
        bytes.push_back(*byte);
    }
    return bytes;
}

LptProgress LptPagerLink::progress() {
    return [this](int address) { face_.setProgressValue(address); };
}

// The bus goes back to its idle level after every failure; a stop said nothing.
Result LptPagerLink::failure(const char* text) {
    bus_.LptIdle();
    if (bus_.stop && bus_.stop->requested()) return Result::Stopped;
    face_.show(warning(text, kShortTitle));
    return Result::Failed;
}

Result LptPagerLink::readMemory(int strt, int stp, std::span<std::uint8_t> into) {
    if (!bus_.LptPageRead(into, strt, stp, progress())) return failure("Read error!");
    bus_.LptIdle();
    return Result::Done;
}

Result LptPagerLink::writeMemory(std::span<const std::uint8_t> data, int strt, int stp) {
    return bus_.LptPageWrite(data, strt, stp, progress()) ? Result::Done : failure("Write error!");
}

// The read stops at the first byte that differs (the memory gets its NACK
// there); the pager's bytes are then read whole, so that the difference can
// be shown and kept.
Comparison LptPagerLink::compareMemory(std::span<const std::uint8_t> data, int strt, int stp) {
    bool differs = false;
    bool stopped = false;
    const bool read = bus_.LptSequentialRead(strt, stp, [&](int a, std::uint8_t byte) {
        if (a % kPageSize == 0) {
            face_.setProgressValue(a);
            stopped = bus_.stop && bus_.stop->requested();
        }
        differs = byte != data[static_cast<std::size_t>(a)];
        return !differs && !stopped;
    });
    if (!read || stopped) return {failure("Read error!"), false, std::nullopt};
    if (!differs) return {};
    std::vector<std::uint8_t> pager(static_cast<std::size_t>(stp) + 1);
    if (readMemory(strt, stp, pager) != Result::Done) return {Result::Done, true, std::nullopt};
    pager.erase(pager.begin(), pager.begin() + strt);
    return {Result::Done, true, std::move(pager)};
}

void Timer1_Timer(LptBus& bus, LinkFace& face) {
    face.setTimer1Enabled(false);
    bus.io().Out32(bus.LptDataPort, kLptSdaLow);
    bus.io().flush();
    face.setTimer1Enabled(true);
}

}  // namespace kxp40s
