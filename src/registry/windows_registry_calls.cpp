#include "registry/windows_registry_calls.h"

#include <windows.h>

#include <utility>

namespace kxp40s::windows_registry {

namespace {

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                          nullptr, nullptr);
    return out;
}

// The predefined keys are sign-extended 32-bit numbers.
HKEY rootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

bool isText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// An open key, closed when it goes out of scope.
class Key {
  public:
    Key(std::uint32_t root, const std::string& subPath, REGSAM access) {
        if (::RegOpenKeyExW(rootKey(root), wide(subPath).c_str(), 0, access, &key_) !=
            ERROR_SUCCESS)
            key_ = nullptr;
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_) ::RegCloseKey(key_);
    }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

std::vector<std::uint8_t> storedData(DWORD type, std::vector<BYTE> raw) {
    if (!isText(type)) return raw;
    std::wstring text(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    const std::string bytes = utf8(text);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::vector<BYTE> registryData(const Value& value) {
    if (!isText(value.type)) return value.data;
    const std::wstring text = wide(std::string(value.data.begin(), value.data.end())) + L'\0';
    const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
    return std::vector<BYTE>(bytes, bytes + text.size() * sizeof(wchar_t));
}

}  // namespace

bool keyExists(std::uint32_t root, const std::string& subPath) {
    return static_cast<bool>(Key(root, subPath, KEY_READ));
}

bool createKey(std::uint32_t root, const std::string& subPath) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(rootKey(root), wide(subPath).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// A root cannot be deleted; a key goes with everything below it.
bool deleteKey(std::uint32_t root, const std::string& subPath) {
    if (subPath.empty()) return false;
    const std::wstring path = wide(subPath);
    if (::RegDeleteTreeW(rootKey(root), path.c_str()) != ERROR_SUCCESS) return false;
    ::RegDeleteKeyW(rootKey(root), path.c_str());
    return !keyExists(root, subPath);
}

std::optional<std::vector<std::string>> subkeyNames(std::uint32_t root,
                                                    const std::string& subPath) {
    const Key key(root, subPath, KEY_READ);
    if (!key) return std::nullopt;
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = std::size(name);
        const LONG result =
            ::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) break;
        names.push_back(utf8({name, length}));
    }
    return names;
}

std::optional<std::vector<Value>> values(std::uint32_t root, const std::string& subPath) {
    const Key key(root, subPath, KEY_READ);
    if (!key) return std::nullopt;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<Value> found;
    for (DWORD index = 0;; ++index) {
        std::wstring name(longestName + 1, L'\0');
        std::vector<BYTE> data(longestData);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr,
                                            &type, data.data(), &dataLength);
        if (result != ERROR_SUCCESS) break;
        data.resize(dataLength);
        found.push_back({utf8({name.data(), nameLength}), type, storedData(type, std::move(data))});
    }
    return found;
}

bool setValue(std::uint32_t root, const std::string& subPath, const Value& value) {
    const Key key(root, subPath, KEY_WRITE);
    if (!key) return false;
    const std::vector<BYTE> data = registryData(value);
    return ::RegSetValueExW(key.get(), wide(value.name).c_str(), 0, value.type, data.data(),
                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool deleteValue(std::uint32_t root, const std::string& subPath, const std::string& name) {
    const Key key(root, subPath, KEY_WRITE);
    return key && ::RegDeleteValueW(key.get(), wide(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace kxp40s::windows_registry
