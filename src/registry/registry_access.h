#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/registry_store.h"

namespace kxp40s {

// Results of the operations that report a status (Windows error numbers).
inline constexpr long kRegOk = 0;
inline constexpr long kRegNotFound = 2;
inline constexpr long kRegInvalidData = 13;
inline constexpr long kRegBadPath = 161;

// Reads, writes, enumerates and deletes registry keys and values by textual
// paths such as "HKLM\HARDWARE\DEVICEMAP\SERIALCOMM" or
// "HKEY_CURRENT_USER\Software\X", on the store it is given.
//
// Registry script files ("REGEDIT4"):
// - Export writes names and string texts quoted, with backslash and double
//   quote escaped by a backslash; binary values as hex:xx,yy, numbers as
//   dword:xxxxxxxx, other types as hex(type):xx,yy. Import undoes exactly that.
// - Import skips a malformed line (a value line before any key, a value line
//   without "=", bad hexadecimal, a dword of more than eight digits) and
//   counts it in lastImportSkippedLines(); the rest of the file still applies.
class clsRegistryAccess {
  public:
    explicit clsRegistryAccess(RegistryStore& store) : store_(store) {}

    bool CreateKeyIfDoesntExists() const { return createIfMissing_; }
    void CreateKeyIfDoesntExists(bool create) { createIfMissing_ = create; }

    // A handle of the created key (already closed again), 0 on failure.
    std::uint32_t CreateKey(const std::string& path);
    long KillKey(const std::string& path);
    bool KeyExists(const std::string& path);
    // The number of subkeys, -1 when the key does not exist.
    int EnumKeys(const std::string& path, std::vector<std::string>& names);
    bool HaveSubkey(const std::string& path);

    // The value name "@" is the key's default value.
    long WriteString(const std::string& path, const std::string& name, const std::string& text);
    std::string ReadString(const std::string& path, const std::string& name,
                           const std::string& defaultValue = "");
    long WriteDWORD(const std::string& path, const std::string& name, std::uint32_t number);
    std::uint32_t ReadDWORD(const std::string& path, const std::string& name,
                            std::uint32_t defaultValue = 0);
    long WriteBinary(const std::string& path, const std::string& name, const std::string& hexText);
    std::string ReadBinary(const std::string& path, const std::string& name,
                           const std::string& defaultValue = "");
    long KillValue(const std::string& path, const std::string& name);
    bool ValueExists(const std::string& path, const std::string& name);

    // Names and values of the key's values whose type is typeFilter (-1: all).
    // count is -1 when the key does not exist.
    void EnumValues(const std::string& path, std::vector<std::string>& names,
                    std::vector<std::string>& values, int typeFilter, int& count);

    // Writes the key (and its subkeys when asked) to a new script file; 0 when
    // the file exists already or cannot be written, 1 on success. With an
    // output stream the script goes there and no file is touched.
    int ExportToReg(const std::string& path, const std::string& fileName,
                    bool includeSubkeys = false, std::ostream* output = nullptr);
    long ImportFromReg(const std::string& fileName);
    long ImportFromRegText(std::string_view script);
    int lastImportSkippedLines() const { return skippedLines_; }

    // Hexadecimal text: two digits per byte, separated by spaces or commas.
    static std::vector<std::uint8_t> StrToBin(std::string_view hexText);
    static std::string BinToStr(const std::vector<std::uint8_t>& bytes);
    static bool isBinValid(std::string_view text);

  private:
    struct ParsedPath {
        RegistryRoot root;
        std::string subPath;
    };
    static std::optional<ParsedPath> parsePath(const std::string& path);
    std::optional<RegValue> readValue(const std::string& path, const std::string& name);
    long writeValue(const std::string& path, const std::string& name, const RegValue& value);
    void exportKey(const ParsedPath& key, bool includeSubkeys, std::ostream& out);
    void importLine(std::string_view line, std::optional<ParsedPath>& currentKey);

    RegistryStore& store_;
    bool createIfMissing_ = true;
    std::uint32_t nextHandle_ = 0x100;
    int skippedLines_ = 0;
};

}  // namespace kxp40s
