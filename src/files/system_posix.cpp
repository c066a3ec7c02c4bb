#include <unistd.h>

#include <cstdlib>

#include "files/system.h"

namespace kxp40s {

namespace fs = std::filesystem;

fs::path userDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) return fs::path(data) / "kxp40s";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".local" / "share" / "kxp40s";
}

fs::path programFile() {
    std::error_code ec;
    fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : program;
}

bool isWritableFolder(const fs::path& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
}

std::tm localTime(std::time_t seconds) {
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return local;
}

}  // namespace kxp40s
