#include "link/ppdev_port_io.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/search_message.h"

namespace kxp40s {

namespace {

constexpr std::uint8_t kNothingAttached = 0xFF;

}  // namespace

PpdevPortIo::~PpdevPortIo() {
    for (const auto& [base, fd] : fds_) {
        if (fd < 0) continue;
        ioctl(fd, PPRELEASE);
        ::close(fd);
    }
}

std::string PpdevPortIo::devicePath(std::uint16_t base) {
    for (int n = 0; n < static_cast<int>(std::size(kLptBases)); ++n) {
        if (kLptBases[n] == base) return "/dev/parport" + std::to_string(n);
    }
    return {};
}

int PpdevPortIo::open(std::uint16_t base) {
    const std::string path = devicePath(base);
    if (path.empty()) return -1;
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES) {
            refusals_[base] = PortRefusal::Denied;
            problem_ = permissionDeniedLine({path}, kParallelPortGroup);
        } else if (errno != ENOENT && errno != ENODEV && errno != ENXIO) {
            problem_ = path + ": " + std::strerror(errno);
        }
        return -1;
    }
    int forward = 0;
    if (ioctl(fd, PPCLAIM) != 0 || ioctl(fd, PPDATADIR, &forward) != 0) {
        refusals_[base] = PortRefusal::Busy;
        problem_ = path + ": the port is in use (" + std::strerror(errno) + ")";
        ::close(fd);
        return -1;
    }
    return fd;
}

PortRefusal PpdevPortIo::refusal(std::uint16_t base) const {
    const auto found = refusals_.find(base);
    return found == refusals_.end() ? PortRefusal::None : found->second;
}

int PpdevPortIo::deviceFor(std::uint16_t base) {
    const auto found = fds_.find(base);
    if (found != fds_.end()) return found->second;
    return fds_[base] = open(base);
}

void PpdevPortIo::Out32(std::uint16_t port, std::uint8_t value) {
    const int fd = deviceFor(port);
    if (fd >= 0) ioctl(fd, PPWDATA, &value);
}

// The data register at the base, the status register at base + 1. ppdev's
// status is the register as the port has it, so bit 3 (nError) carries the
// board's SDA read-back unchanged.
std::uint8_t PpdevPortIo::Inp32(std::uint16_t port) {
    const bool status = devicePath(port).empty();
    const int fd = deviceFor(static_cast<std::uint16_t>(status ? port - 1 : port));
    std::uint8_t value = kNothingAttached;
    if (fd < 0 || ioctl(fd, status ? PPRSTATUS : PPRDATA, &value) != 0) return kNothingAttached;
    return value;
}

}  // namespace kxp40s
