// Registry scripts come from files: any text must import without a crash,
// with the malformed lines skipped. Besides the raw bytes, each byte is also
// read as a token of the script language, so that random input reaches keys,
// values and their data forms.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "registry/registry_access.h"

namespace {

constexpr std::array<std::string_view, 24> kTokens{
    "[",   "]",      "[-",        "HKCU\\", "HKEY_LOCAL_MACHINE\\",
    "Key", "\\",     "\"",        "=",      "hex:",
    ",",   "dword:", "hex(7):",   "@",      "-",
    "0a",  "ff",     "\n",        "\r\n",   ";",
    " ",   "name",   "123456789", "\\\""};

std::string tokenScript(std::string_view bytes) {
    std::string script = "REGEDIT4\n";
    for (char c : bytes)
        script += kTokens[static_cast<unsigned char>(c) % kTokens.size()];
    return script;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kxp40s::MemoryRegistryStore store;
    kxp40s::clsRegistryAccess registry(store);
    registry.ImportFromRegText(bytes);
    registry.ImportFromRegText(tokenScript(bytes));
    return 0;
}
