#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kxp40s {

using RegistryRoot = std::uint32_t;
inline constexpr RegistryRoot HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr RegistryRoot HKEY_CURRENT_USER = 0x80000001;
inline constexpr RegistryRoot HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr RegistryRoot HKEY_USERS = 0x80000003;
inline constexpr RegistryRoot HKEY_PERFORMANCE_DATA = 0x80000004;
inline constexpr RegistryRoot HKEY_CURRENT_CONFIG = 0x80000005;
inline constexpr RegistryRoot HKEY_DYN_DATA = 0x80000006;

inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

struct RegValue {
    std::uint32_t type = REG_SZ;
    std::vector<std::uint8_t> data;  // REG_SZ: the text's bytes; REG_DWORD: 4 bytes, low first
    bool operator==(const RegValue&) const = default;
};

struct NamedValue {
    std::string name;  // "" is the key's default value
    RegValue value;
};

// Key and value names compare without regard to case.
bool sameRegistryName(const std::string& a, const std::string& b);

// Where registry keys live. Sub-paths are backslash-separated below a root;
// "" is the root itself. Key and value names compare without regard to case.
class RegistryStore {
  public:
    virtual ~RegistryStore() = default;
    virtual bool keyExists(RegistryRoot root, const std::string& subPath) = 0;
    // Creates the key and any missing keys above it.
    virtual bool createKey(RegistryRoot root, const std::string& subPath) = 0;
    // Deletes the key with everything below it; a root cannot be deleted.
    virtual bool deleteKey(RegistryRoot root, const std::string& subPath) = 0;
    virtual std::optional<std::vector<std::string>> subkeyNames(RegistryRoot root,
                                                                const std::string& subPath) = 0;
    // The key's values in the order they were first set, or nothing when the
    // key does not exist.
    virtual std::optional<std::vector<NamedValue>> values(RegistryRoot root,
                                                          const std::string& subPath) = 0;
    // Fails when the key does not exist.
    virtual bool setValue(RegistryRoot root, const std::string& subPath, const std::string& name,
                          const RegValue& value) = 0;
    virtual bool deleteValue(RegistryRoot root, const std::string& subPath,
                             const std::string& name) = 0;
};

class MemoryRegistryStore : public RegistryStore {
  public:
    MemoryRegistryStore();
    ~MemoryRegistryStore() override;

    bool keyExists(RegistryRoot root, const std::string& subPath) override;
    bool createKey(RegistryRoot root, const std::string& subPath) override;
    bool deleteKey(RegistryRoot root, const std::string& subPath) override;
    std::optional<std::vector<std::string>> subkeyNames(RegistryRoot root,
                                                        const std::string& subPath) override;
    std::optional<std::vector<NamedValue>> values(RegistryRoot root,
                                                  const std::string& subPath) override;
    bool setValue(RegistryRoot root, const std::string& subPath, const std::string& name,
                  const RegValue& value) override;
    bool deleteValue(RegistryRoot root, const std::string& subPath,
                     const std::string& name) override;

  private:
    struct Key;
    Key* find(RegistryRoot root, const std::string& subPath);
    std::map<RegistryRoot, std::unique_ptr<Key>> roots_;
};

// The registry of this operating system: on Windows its own registry, on
// Linux a LinuxRegistryStore (linux_registry_store.h).
std::unique_ptr<RegistryStore> makeSystemRegistryStore();

inline constexpr const char* kSerialCommPath = "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM";

}  // namespace kxp40s
