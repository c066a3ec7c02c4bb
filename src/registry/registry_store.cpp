#include "registry/registry_store.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kxp40s {
namespace {

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> splitPath(const std::string& subPath) {
    std::vector<std::string> parts;
    std::stringstream in(subPath);
    for (std::string part; std::getline(in, part, '\\');) {
        if (!part.empty()) parts.push_back(part);
    }
    return parts;
}

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

struct MemoryRegistryStore::Key {
    std::string name;
    std::vector<NamedValue> values;
    std::vector<std::unique_ptr<Key>> subkeys;

    Key* child(const std::string& childName) {
        for (auto& k : subkeys) {
            if (sameName(k->name, childName)) return k.get();
        }
        return nullptr;
    }
    NamedValue* value(const std::string& valueName) {
        for (auto& v : values) {
            if (sameName(v.name, valueName)) return &v;
        }
        return nullptr;
    }
};

MemoryRegistryStore::MemoryRegistryStore() {
    for (RegistryRoot r = HKEY_CLASSES_ROOT; r <= HKEY_DYN_DATA; ++r) {
        roots_[r] = std::make_unique<Key>();
    }
}

MemoryRegistryStore::~MemoryRegistryStore() = default;

MemoryRegistryStore::Key* MemoryRegistryStore::find(RegistryRoot root, const std::string& subPath) {
    auto it = roots_.find(root);
    if (it == roots_.end()) return nullptr;
    Key* key = it->second.get();
    for (const auto& part : splitPath(subPath)) {
        key = key->child(part);
        if (key == nullptr) return nullptr;
    }
    return key;
}

bool MemoryRegistryStore::keyExists(RegistryRoot root, const std::string& subPath) {
    return find(root, subPath) != nullptr;
}

bool MemoryRegistryStore::createKey(RegistryRoot root, const std::string& subPath) {
    Key* key = find(root, "");
    if (key == nullptr) return false;
    for (const auto& part : splitPath(subPath)) {
        Key* next = key->child(part);
        if (next == nullptr) {
            key->subkeys.push_back(std::make_unique<Key>());
            next = key->subkeys.back().get();
            next->name = part;
        }
        key = next;
    }
    return true;
}

bool MemoryRegistryStore::deleteKey(RegistryRoot root, const std::string& subPath) {
    auto parts = splitPath(subPath);
    if (parts.empty()) return false;
    const std::string last = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const auto& p : parts)
        parentPath += p + "\\";
    Key* parent = find(root, parentPath);
    if (parent == nullptr) return false;
    const auto it = std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                                 [&](const auto& k) { return sameName(k->name, last); });
    if (it == parent->subkeys.end()) return false;
    parent->subkeys.erase(it);
    return true;
}

std::optional<std::vector<std::string>> MemoryRegistryStore::subkeyNames(
    RegistryRoot root, const std::string& subPath) {
    Key* key = find(root, subPath);
    if (key == nullptr) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& k : key->subkeys)
        names.push_back(k->name);
    return names;
}

std::optional<std::vector<NamedValue>> MemoryRegistryStore::values(RegistryRoot root,
                                                                   const std::string& subPath) {
    Key* key = find(root, subPath);
    if (key == nullptr) return std::nullopt;
    return key->values;
}

bool MemoryRegistryStore::setValue(RegistryRoot root, const std::string& subPath,
                                   const std::string& name, const RegValue& value) {
    Key* key = find(root, subPath);
    if (key == nullptr) return false;
    if (NamedValue* existing = key->value(name)) {
        existing->value = value;
    } else {
        key->values.push_back({name, value});
    }
    return true;
}

bool MemoryRegistryStore::deleteValue(RegistryRoot root, const std::string& subPath,
                                      const std::string& name) {
    Key* key = find(root, subPath);
    if (key == nullptr) return false;
    const auto it = std::find_if(key->values.begin(), key->values.end(),
                                 [&](const NamedValue& v) { return sameName(v.name, name); });
    if (it == key->values.end()) return false;
    key->values.erase(it);
    return true;
}

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
    if (root == HKEY_LOCAL_MACHINE && sameName(subPath, "HARDWARE\\DEVICEMAP\\SERIALCOMM")) {
        refreshSerialComm();
    }
    return MemoryRegistryStore::values(root, subPath);
}

void LinuxRegistryStore::refreshSerialComm() {
    const std::string key = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
    deleteKey(HKEY_LOCAL_MACHINE, key);
    createKey(HKEY_LOCAL_MACHINE, key);
    for (const auto& device : presentSerialDevices(ttyClassDir_)) {
        setValue(HKEY_LOCAL_MACHINE, key, "\\Device\\" + device,
                 RegValue{REG_SZ, std::vector<std::uint8_t>(device.begin(), device.end())});
    }
}

}  // namespace kxp40s
