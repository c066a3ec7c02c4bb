#include "registry/registry_access.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace kxp40s {
namespace {

struct RootName {
    const char* longForm;
    const char* shortForm;
    RegistryRoot handle;
};

constexpr std::array<RootName, 7> kRootNames{{
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", "HKUS", HKEY_USERS},
    {"HKEY_PERFORMANCE_DATA", "HKPD", HKEY_PERFORMANCE_DATA},
    {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG},
    {"HKEY_DYN_DATA", "HKDD", HKEY_DYN_DATA},
}};

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string replaceAllNoCase(std::string text, const std::string& from, const std::string& to) {
    const std::string fromUpper = upper(from);
    for (std::size_t at = upper(text).find(fromUpper); at != std::string::npos;
         at = upper(text).find(fromUpper, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string_view trim(std::string_view text, std::string_view blanks = " \t\r\n") {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string valueName(const std::string& name) {
    return name == "@" ? std::string() : name;
}

RegValue stringValue(const std::string& text) {
    return RegValue{REG_SZ, std::vector<std::uint8_t>(text.begin(), text.end())};
}

RegValue dwordValue(std::uint32_t number) {
    return RegValue{
        REG_DWORD,
        {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
         static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}

std::uint32_t dwordOf(const RegValue& value) {
    std::uint32_t number = 0;
    for (std::size_t i = std::min<std::size_t>(value.data.size(), 4); i-- > 0;) {
        number = (number << 8) | value.data[i];
    }
    return number;
}

std::string textOf(const RegValue& value) {
    std::string text(value.data.begin(), value.data.end());
    if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    return text;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Reads a quoted string at the start of text; returns it unescaped with the
// rest of the text, or nothing when the closing quote is missing.
std::optional<std::pair<std::string, std::string_view>> unquote(std::string_view text) {
    if (text.empty() || text.front() != '"') return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            out += text[++i];
        } else if (text[i] == '"') {
            return std::pair{out, text.substr(i + 1)};
        } else {
            out += text[i];
        }
    }
    return std::nullopt;
}

std::string hexList(const std::vector<std::uint8_t>& bytes, char separator) {
    std::ostringstream out;
    out << std::hex << std::setfill('0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) out << separator;
        out << std::setw(2) << static_cast<int>(bytes[i]);
    }
    return out.str();
}

std::string exportedValue(const RegValue& value) {
    switch (value.type) {
        case REG_SZ:
            return quoted(textOf(value));
        case REG_BINARY:
            return "hex:" + hexList(value.data, ',');
        case REG_DWORD: {
            std::ostringstream out;
            out << "dword:" << std::hex << std::setw(8) << std::setfill('0') << dwordOf(value);
            return out.str();
        }
        default:
            return "hex(" + std::to_string(value.type) + "):" + hexList(value.data, ',');
    }
}

std::optional<RegValue> parseDword(std::string_view digits) {
    digits = trim(digits);
    if (digits.empty() || digits.size() > 8 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; })) {
        return std::nullopt;
    }
    return dwordValue(static_cast<std::uint32_t>(std::stoul(std::string(digits), nullptr, 16)));
}

std::optional<RegValue> parseHex(std::uint32_t type, std::string_view digits) {
    if (!clsRegistryAccess::isBinValid(digits)) return std::nullopt;
    return RegValue{type, clsRegistryAccess::StrToBin(digits)};
}

// "hex(7):..." gives type 7 and the digits; anything else nothing.
std::optional<RegValue> parseTypedHex(std::string_view text) {
    const auto close = text.find("):");
    if (close == std::string_view::npos || close <= 4) return std::nullopt;
    const std::string_view type = text.substr(4, close - 4);
    if (type.size() > 8 || !std::all_of(type.begin(), type.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return std::nullopt;
    }
    return parseHex(static_cast<std::uint32_t>(std::stoul(std::string(type), nullptr, 16)),
                    text.substr(close + 2));
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The data of a "name=data" line; nothing for a malformed one. The deletion
// marker "-" is handled by the caller.
std::optional<RegValue> parseData(std::string_view data) {
    if (startsWith(data, "hex:")) return parseHex(REG_BINARY, data.substr(4));
    if (startsWith(data, "hex(")) return parseTypedHex(data);
    if (startsWith(data, "dword:")) return parseDword(data.substr(6));
    if (auto text = unquote(data)) {
        if (!trim(text->second).empty()) return std::nullopt;
        return stringValue(text->first);
    }
    std::string bare(data);
    bare.erase(std::remove(bare.begin(), bare.end(), '"'), bare.end());
    return stringValue(bare);
}

// Splits "name=data" where the name is "@", quoted, or bare.
std::optional<std::pair<std::string, std::string_view>> splitAssignment(std::string_view line) {
    std::string name;
    std::string_view rest;
    if (auto q = unquote(line)) {
        name = q->first;
        rest = trim(q->second);
        if (rest.empty() || rest.front() != '=') return std::nullopt;
        rest.remove_prefix(1);
    } else {
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0) return std::nullopt;
        name = std::string(trim(line.substr(0, eq)));
        rest = line.substr(eq + 1);
    }
    return std::pair{valueName(name), trim(rest)};
}

std::string longRootName(RegistryRoot root) {
    for (const auto& r : kRootNames) {
        if (r.handle == root) return r.longForm;
    }
    return {};
}

}  // namespace

std::optional<clsRegistryAccess::ParsedPath> clsRegistryAccess::parsePath(const std::string& path) {
    std::string shortPath = path;
    for (const auto& r : kRootNames)
        shortPath = replaceAllNoCase(shortPath, r.longForm, r.shortForm);
    std::string rootPart = upper(shortPath);
    std::string subPath;
    if (const auto slash = shortPath.find('\\'); slash != std::string::npos) {
        rootPart = upper(shortPath.substr(0, 4));
        subPath = shortPath.substr(slash + 1);
    }
    for (const auto& r : kRootNames) {
        if (rootPart == r.shortForm) return ParsedPath{r.handle, subPath};
    }
    return std::nullopt;
}

std::uint32_t clsRegistryAccess::CreateKey(const std::string& path) {
    const auto key = parsePath(path);
    if (!key || !store_.createKey(key->root, key->subPath)) return 0;
    return nextHandle_++;
}

long clsRegistryAccess::KillKey(const std::string& path) {
    const auto key = parsePath(path);
    if (!key) return kRegBadPath;
    return store_.deleteKey(key->root, key->subPath) ? kRegOk : kRegNotFound;
}

bool clsRegistryAccess::KeyExists(const std::string& path) {
    const auto key = parsePath(path);
    return key && store_.keyExists(key->root, key->subPath);
}

int clsRegistryAccess::EnumKeys(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    const auto key = parsePath(path);
    if (!key) return -1;
    auto subkeys = store_.subkeyNames(key->root, key->subPath);
    if (!subkeys) return -1;
    names = std::move(*subkeys);
    return static_cast<int>(names.size());
}

bool clsRegistryAccess::HaveSubkey(const std::string& path) {
    std::vector<std::string> names;
    return EnumKeys(path, names) > 0;
}

long clsRegistryAccess::writeValue(const std::string& path, const std::string& name,
                                   const RegValue& value) {
    const auto key = parsePath(path);
    if (!key) return kRegBadPath;
    if (!store_.keyExists(key->root, key->subPath) && createIfMissing_) {
        store_.createKey(key->root, key->subPath);
    }
    return store_.setValue(key->root, key->subPath, valueName(name), value) ? kRegOk : kRegNotFound;
}

std::optional<RegValue> clsRegistryAccess::readValue(const std::string& path,
                                                     const std::string& name) {
    const auto key = parsePath(path);
    if (!key) return std::nullopt;
    const auto values = store_.values(key->root, key->subPath);
    if (!values) return std::nullopt;
    const std::string wanted = upper(valueName(name));
    for (const auto& v : *values) {
        if (upper(v.name) == wanted) return v.value;
    }
    return std::nullopt;
}

long clsRegistryAccess::WriteString(const std::string& path, const std::string& name,
                                    const std::string& text) {
    return writeValue(path, name, stringValue(text));
}

std::string clsRegistryAccess::ReadString(const std::string& path, const std::string& name,
                                          const std::string& defaultValue) {
    const auto value = readValue(path, name);
    return value ? textOf(*value) : defaultValue;
}

long clsRegistryAccess::WriteDWORD(const std::string& path, const std::string& name,
                                   std::uint32_t number) {
    return writeValue(path, name, dwordValue(number));
}

std::uint32_t clsRegistryAccess::ReadDWORD(const std::string& path, const std::string& name,
                                           std::uint32_t defaultValue) {
    const auto value = readValue(path, name);
    return value ? dwordOf(*value) : defaultValue;
}

long clsRegistryAccess::WriteBinary(const std::string& path, const std::string& name,
                                    const std::string& hexText) {
    if (!isBinValid(hexText)) return kRegInvalidData;
    return writeValue(path, name, RegValue{REG_BINARY, StrToBin(hexText)});
}

std::string clsRegistryAccess::ReadBinary(const std::string& path, const std::string& name,
                                          const std::string& defaultValue) {
    const auto value = readValue(path, name);
    return value ? BinToStr(value->data) : defaultValue;
}

long clsRegistryAccess::KillValue(const std::string& path, const std::string& name) {
    const auto key = parsePath(path);
    if (!key) return kRegBadPath;
    return store_.deleteValue(key->root, key->subPath, valueName(name)) ? kRegOk : kRegNotFound;
}

bool clsRegistryAccess::ValueExists(const std::string& path, const std::string& name) {
    return readValue(path, name).has_value();
}

void clsRegistryAccess::EnumValues(const std::string& path, std::vector<std::string>& names,
                                   std::vector<std::string>& values, int typeFilter, int& count) {
    const auto key = parsePath(path);
    const auto stored = key ? store_.values(key->root, key->subPath) : std::nullopt;
    if (!stored) {
        count = -1;
        return;
    }
    names.clear();
    values.clear();
    count = 0;
    for (const auto& v : *stored) {
        if (typeFilter != -1 && static_cast<std::uint32_t>(typeFilter) != v.value.type) continue;
        names.emplace_back(trim(v.name, " "));
        switch (v.value.type) {
            case REG_SZ:
                values.push_back(textOf(v.value));
                break;
            case REG_BINARY:
                values.emplace_back(trim(BinToStr(v.value.data), " "));
                break;
            case REG_DWORD:
                values.push_back(std::to_string(dwordOf(v.value)));
                break;
            default:
                values.emplace_back();
                break;
        }
        ++count;
    }
}

int clsRegistryAccess::ExportToReg(const std::string& path, const std::string& fileName,
                                   bool includeSubkeys, std::ostream* output) {
    const auto key = parsePath(path);
    if (!key || !store_.keyExists(key->root, key->subPath)) return 0;
    if (output != nullptr) {
        *output << "REGEDIT4\n\n";
        exportKey(*key, includeSubkeys, *output);
        return output->good() ? 1 : 0;
    }
    std::error_code ec;
    if (std::filesystem::exists(fileName, ec)) return 0;
    std::ofstream file(fileName, std::ios::binary);
    if (!file) return 0;
    file << "REGEDIT4\n\n";
    exportKey(*key, includeSubkeys, file);
    file.flush();
    return file.good() ? 1 : 0;
}

void clsRegistryAccess::exportKey(const ParsedPath& key, bool includeSubkeys, std::ostream& out) {
    const std::string fullPath =
        longRootName(key.root) + (key.subPath.empty() ? "" : "\\" + key.subPath);
    out << "[" << fullPath << "]\n";
    for (const auto& v : store_.values(key.root, key.subPath).value_or(std::vector<NamedValue>{})) {
        out << (v.name.empty() ? std::string("@") : quoted(v.name)) << "=" << exportedValue(v.value)
            << "\n";
    }
    out << "\n";
    if (!includeSubkeys) return;
    for (const auto& sub :
         store_.subkeyNames(key.root, key.subPath).value_or(std::vector<std::string>{})) {
        exportKey({key.root, key.subPath.empty() ? sub : key.subPath + "\\" + sub}, true, out);
    }
}

long clsRegistryAccess::ImportFromReg(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) return kRegNotFound;
    std::ostringstream text;
    text << file.rdbuf();
    return ImportFromRegText(text.str());
}

long clsRegistryAccess::ImportFromRegText(std::string_view script) {
    skippedLines_ = 0;
    if (startsWith(script, "\xEF\xBB\xBF")) script.remove_prefix(3);
    bool headerSeen = false;
    std::optional<ParsedPath> currentKey;
    while (!script.empty()) {
        const auto end = script.find('\n');
        const std::string_view line = trim(script.substr(0, end));
        script = end == std::string_view::npos ? std::string_view{} : script.substr(end + 1);
        if (line.empty()) continue;
        if (!headerSeen) {
            if (line != "REGEDIT4") return kRegInvalidData;
            headerSeen = true;
            continue;
        }
        importLine(line, currentKey);
    }
    return headerSeen ? kRegOk : kRegInvalidData;
}

void clsRegistryAccess::importLine(std::string_view line, std::optional<ParsedPath>& currentKey) {
    if (line.front() == ';') return;
    if (line.front() == '[') {
        if (line.back() != ']' || line.size() < 3) {
            ++skippedLines_;
            return;
        }
        const bool remove = line[1] == '-';
        const std::string path(line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2)));
        currentKey = parsePath(path);
        if (!currentKey) {
            ++skippedLines_;
        } else if (remove) {
            store_.deleteKey(currentKey->root, currentKey->subPath);
            currentKey.reset();
        } else {
            store_.createKey(currentKey->root, currentKey->subPath);
        }
        return;
    }
    const auto assignment = splitAssignment(line);
    if (!currentKey || !assignment) {
        ++skippedLines_;
        return;
    }
    const auto& [name, data] = *assignment;
    if (data == "-") {
        store_.deleteValue(currentKey->root, currentKey->subPath, name);
        return;
    }
    const auto value = parseData(data);
    if (!value) {
        ++skippedLines_;
        return;
    }
    store_.setValue(currentKey->root, currentKey->subPath, name, *value);
}

std::vector<std::uint8_t> clsRegistryAccess::StrToBin(std::string_view hexText) {
    std::vector<std::uint8_t> bytes;
    std::string digits;
    for (char c : hexText) {
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::string clsRegistryAccess::BinToStr(const std::vector<std::uint8_t>& bytes) {
    std::string text = hexList(bytes, ' ');
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool clsRegistryAccess::isBinValid(std::string_view text) {
    std::size_t run = 0;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            ++run;
        } else if (c == ' ' || c == ',') {
            if (run % 2 != 0) return false;
            run = 0;
        } else {
            return false;
        }
    }
    return run % 2 == 0;
}

}  // namespace kxp40s
