#include <windows.h>

#include <cstdlib>
#include <vector>

#include "files/system.h"

namespace kxp40s {

namespace fs = std::filesystem;

fs::path userDataFolder() {
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (local && *local) return fs::path(local) / "kxp40s";
    const wchar_t* profile = ::_wgetenv(L"USERPROFILE");
    return fs::path(profile && *profile ? profile : L".") / "AppData" / "Local" / "kxp40s";
}

fs::path programFile() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD size =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (size == 0) return {};
        if (size < name.size()) return fs::path(std::wstring(name.data(), size));
        name.resize(name.size() * 2);
    }
}

// Access rights on Windows say little about whether a file can be made (a
// program under Program Files is refused by the virtualisation of the
// folder, not by its attributes), so the folder is asked by making a file.
bool isWritableFolder(const fs::path& folder) {
    if (folder.empty()) return false;
    const fs::path probe = folder / (L".kxp40s-" + std::to_wstring(::GetCurrentProcessId()));
    const HANDLE file =
        ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

std::tm localTime(std::time_t seconds) {
    std::tm local{};
    ::localtime_s(&local, &seconds);
    return local;
}

}  // namespace kxp40s
