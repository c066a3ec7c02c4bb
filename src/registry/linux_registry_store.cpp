#include "registry/linux_registry_store.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kxp40s {
namespace {

const std::string kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// An 8250 port is listed only when a UART was found behind it: its type is
// not 0 (unknown). Most machines have ttyS0-31 with nothing behind them.
bool hasUart(const std::filesystem::path& ttyDir) {
    std::ifstream in(ttyDir / "type");
    int type = 0;
    return (in >> type) && type != 0;
}

bool isSerialDevice(const std::filesystem::path& ttyDir) {
    const std::string name = ttyDir.filename().string();
    if (startsWith(name, "ttyUSB") || startsWith(name, "ttyACM")) return true;
    return startsWith(name, "ttyS") && hasUart(ttyDir);
}

std::vector<std::string> extraPortsFromEnvironment() {
    std::vector<std::string> paths;
    const char* list = std::getenv("KXP40S_PORTS");
    if (list == nullptr) return paths;
    std::stringstream in(list);
    for (std::string path; std::getline(in, path, ':');) {
        std::error_code ec;
        if (!path.empty() && std::filesystem::exists(path, ec)) paths.push_back(path);
    }
    return paths;
}

}  // namespace

std::vector<std::string> presentSerialDevices(const std::string& ttyClassDir) {
    std::vector<std::string> devices;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ttyClassDir, ec)) {
        if (isSerialDevice(entry.path())) {
            devices.push_back("/dev/" + entry.path().filename().string());
        }
    }
    std::sort(devices.begin(), devices.end());
    for (auto& extra : extraPortsFromEnvironment())
        devices.push_back(std::move(extra));
    return devices;
}

std::string LinuxRegistryStore::machineTtyClassDir() {
    const char* folder = std::getenv("KXP40S_SYS_TTY");
    return folder ? folder : "/sys/class/tty";
}

LinuxRegistryStore::LinuxRegistryStore(std::string ttyClassDir)
    : ttyClassDir_(std::move(ttyClassDir)) {}

std::optional<std::vector<NamedValue>> LinuxRegistryStore::values(RegistryRoot root,
                                                                  const std::string& subPath) {
    if (root == HKEY_LOCAL_MACHINE && sameRegistryName(subPath, kSerialCommKey)) {
        refreshSerialComm();
    }
    return MemoryRegistryStore::values(root, subPath);
}

void LinuxRegistryStore::refreshSerialComm() {
    const std::string& key = kSerialCommKey;
    deleteKey(HKEY_LOCAL_MACHINE, key);
    createKey(HKEY_LOCAL_MACHINE, key);
    for (const auto& device : presentSerialDevices(ttyClassDir_)) {
        setValue(HKEY_LOCAL_MACHINE, key, "\\Device\\" + device,
                 RegValue{REG_SZ, std::vector<std::uint8_t>(device.begin(), device.end())});
    }
}

std::unique_ptr<RegistryStore> makeSystemRegistryStore() {
    return std::make_unique<LinuxRegistryStore>();
}

}  // namespace kxp40s
