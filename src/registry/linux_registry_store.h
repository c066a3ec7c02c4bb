#pragma once

#include <optional>
#include <string>
#include <vector>

#include "registry/registry_store.h"

namespace kxp40s {

// The registry on Linux: an in-memory store whose key
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM is filled afresh each time its values
// are read, from the serial devices present: USB-serial (ttyUSB*) and ACM
// (ttyACM*) devices and 8250 ports with a UART behind them, found under
// ttyClassDir, and the paths listed in the environment variable KXP40S_PORTS
// (colon-separated), each only while it exists. Value names are
// "\Device\" + the device path; the value data are the device paths.
class LinuxRegistryStore : public MemoryRegistryStore {
  public:
    // The machine's serial devices are those of `ttyClassDir`; by default
    // the folder KXP40S_SYS_TTY names when it is set (empty: none, so that
    // tests and demos see only the ports of KXP40S_PORTS), else /sys/class/tty.
    explicit LinuxRegistryStore(std::string ttyClassDir = machineTtyClassDir());
    static std::string machineTtyClassDir();
    std::optional<std::vector<NamedValue>> values(RegistryRoot root,
                                                  const std::string& subPath) override;

  private:
    void refreshSerialComm();
    std::string ttyClassDir_;
};

// The serial devices present, in the order the SERIALCOMM key lists them.
std::vector<std::string> presentSerialDevices(const std::string& ttyClassDir);

}  // namespace kxp40s
