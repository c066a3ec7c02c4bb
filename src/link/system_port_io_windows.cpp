#include "link/system_port_io.h"

namespace kxp40s {

namespace {

// Windows lets no program touch a port's registers without a kernel driver,
// which this program does not bring: every read finds nothing attached.
class AbsentPortIo : public PortIo {
  public:
    void Out32(std::uint16_t /*port*/, std::uint8_t /*value*/) override {}
    std::uint8_t Inp32(std::uint16_t /*port*/) override { return 0xFF; }
    std::string problem() const override {
        return "The parallel-port board needs a port driver, which this program does not have "
               "on Windows. Use the USB board.";
    }
};

}  // namespace

std::unique_ptr<PortIo> makeSystemPortIo() {
    return std::make_unique<AbsentPortIo>();
}

std::string lptDeviceName(std::uint16_t base) {
    for (std::size_t n = 0; n < std::size(kLptBases); ++n) {
        if (kLptBases[n] == base) return "LPT" + std::to_string(n + 1);
    }
    return {};
}

std::string portPermissionNote(std::string_view /*boardName*/, std::string_view /*group*/) {
    return {};
}

}  // namespace kxp40s
