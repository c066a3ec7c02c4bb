#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The calls on Windows' own registry that the Windows store makes. They live
// apart so that windows.h, whose HKEY_ and REG_ macros would rewrite the
// store's own names, is seen by one source file only. Roots are the numbers
// of the predefined keys (0x80000002 for HKLM); texts and names are UTF-8;
// string values travel as their UTF-8 bytes without the terminating zero.
namespace kxp40s::windows_registry {

struct Value {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

bool keyExists(std::uint32_t root, const std::string& subPath);
bool createKey(std::uint32_t root, const std::string& subPath);
bool deleteKey(std::uint32_t root, const std::string& subPath);
std::optional<std::vector<std::string>> subkeyNames(std::uint32_t root, const std::string& subPath);
std::optional<std::vector<Value>> values(std::uint32_t root, const std::string& subPath);
bool setValue(std::uint32_t root, const std::string& subPath, const Value& value);
bool deleteValue(std::uint32_t root, const std::string& subPath, const std::string& name);

}  // namespace kxp40s::windows_registry
