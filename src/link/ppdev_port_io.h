#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "link/lpt_bus.h"

namespace kxp40s {

// The parallel port through Linux's parallel-port driver (/dev/parportN,
// ppdev): no root needed, only membership of the device's group. The legacy
// base addresses 0x378, 0x278 and 0x3BC stand for parport0, 1 and 2. A device
// is opened and claimed at its first access and released when this object
// goes; one that is missing or refused reads as nothing attached (all ones),
// so it simply fails the probe.
class PpdevPortIo : public PortIo {
  public:
    PpdevPortIo() = default;
    PpdevPortIo(const PpdevPortIo&) = delete;
    PpdevPortIo& operator=(const PpdevPortIo&) = delete;
    ~PpdevPortIo() override;

    void Out32(std::uint16_t port, std::uint8_t value) override;
    std::uint8_t Inp32(std::uint16_t port) override;
    std::string problem() const override { return problem_; }
    PortRefusal refusal(std::uint16_t base) const override;

    // The device that stands for a base address ("" for none).
    static std::string devicePath(std::uint16_t base);

  private:
    int deviceFor(std::uint16_t base);
    int open(std::uint16_t base);

    std::map<std::uint16_t, int> fds_;  // base -> claimed descriptor, -1 when unusable
    std::map<std::uint16_t, PortRefusal> refusals_;
    std::string problem_;
};

}  // namespace kxp40s
