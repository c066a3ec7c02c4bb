#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace kxp40s {

// Every std::string of the program is UTF-8, file names too. A path is made
// from and shown as UTF-8 through these on every system: Windows' own
// conversions of a narrow string use the ANSI code page, which cannot hold
// most names.
inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
inline std::string utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// What differs by operating system for the program's files; one source file
// per system gives it.

// Where the program keeps its data when its own folder cannot be written:
// $XDG_DATA_HOME/kxp40s (~/.local/share/kxp40s) on Linux,
// %LOCALAPPDATA%\kxp40s on Windows.
std::filesystem::path userDataFolder();
// The running program's own file; empty when the system does not tell.
std::filesystem::path programFile();
bool isWritableFolder(const std::filesystem::path& folder);
// `seconds` in local time; safe beside other threads.
std::tm localTime(std::time_t seconds);

}  // namespace kxp40s
