#include "registry/registry_access.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace kxp40s {
namespace {

namespace fs = std::filesystem;

class RegistryTest : public ::testing::Test {
  protected:
    MemoryRegistryStore store;
    clsRegistryAccess reg{store};
};

TEST_F(RegistryTest, PathsMapLongAndShortRootNamesCaseInsensitively) {
    struct Case {
        const char* writePath;
        const char* readPath;
    };
    const Case cases[] = {
        {"HKEY_CURRENT_USER\\Software\\A", "hkcu\\software\\a"},
        {"hkey_local_machine\\X", "HKLM\\x"},
        {"HKCC\\Y", "HKEY_CURRENT_CONFIG\\Y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.writePath);
        EXPECT_EQ(reg.WriteString(c.writePath, "v", "text"), kRegOk);
        EXPECT_EQ(reg.ReadString(c.readPath, "V"), "text");
    }
    // Without a backslash the path is the root itself, which cannot be deleted.
    ASSERT_EQ(reg.WriteDWORD("HKLM", "AtRoot", 7), kRegOk);
    EXPECT_EQ(reg.ReadDWORD("HKEY_LOCAL_MACHINE", "AtRoot"), 7u);
    EXPECT_NE(reg.KillKey("HKLM"), kRegOk);
    EXPECT_EQ(reg.WriteString("HKXX\\Z", "v", "t"), kRegBadPath);
    EXPECT_EQ(reg.ReadString("HKXX\\Z", "v", "fallback"), "fallback");
}

TEST_F(RegistryTest, EnumValuesReportsMissingEmptyAndFilteredKeys) {
    std::vector<std::string> names{"stale"}, values{"stale"};
    int count = 5;
    reg.EnumValues("HKCU\\Missing", names, values, -1, count);
    EXPECT_EQ(count, -1);

    reg.CreateKey("HKCU\\Empty");
    reg.EnumValues("HKCU\\Empty", names, values, -1, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(values.empty());

    reg.WriteString("HKCU\\K", "s1", "one");
    reg.WriteDWORD("HKCU\\K", "d", 42);
    reg.WriteBinary("HKCU\\K", "b", "01 ab");
    reg.WriteString("HKCU\\K", "s2", "two");
    store.setValue(HKEY_CURRENT_USER, "K", "odd", RegValue{7, {1, 2}});
    struct Case {
        int filter;
        std::vector<std::string> names, values;
    };
    const Case cases[] = {
        {1, {"s1", "s2"}, {"one", "two"}},
        {4, {"d"}, {"42"}},
        {3, {"b"}, {"01 AB"}},
        {-1, {"s1", "d", "b", "s2", "odd"}, {"one", "42", "01 AB", "two", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        reg.EnumValues("HKCU\\K", names, values, c.filter, count);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(values, c.values);
        EXPECT_EQ(count, static_cast<int>(c.names.size()));
    }
}

TEST_F(RegistryTest, KeysAndValuesAreCreatedEnumeratedAndDeleted) {
    EXPECT_NE(reg.CreateKey("HKCU\\A\\B\\C"), 0u);
    std::vector<std::string> names;
    EXPECT_EQ(reg.EnumKeys("HKCU\\A", names), 1);
    EXPECT_EQ(names, std::vector<std::string>{"B"});
    EXPECT_TRUE(reg.HaveSubkey("HKCU\\A\\B"));
    EXPECT_FALSE(reg.HaveSubkey("HKCU\\A\\B\\C"));
    EXPECT_EQ(reg.EnumKeys("HKCU\\Nope", names), -1);

    EXPECT_EQ(reg.KillKey("HKCU\\A"), kRegOk);
    EXPECT_FALSE(reg.KeyExists("HKCU\\A\\B"));
    EXPECT_EQ(reg.KillKey("HKCU\\A"), kRegNotFound);

    reg.CreateKeyIfDoesntExists(false);
    EXPECT_EQ(reg.WriteString("HKCU\\New", "v", "x"), kRegNotFound);
    EXPECT_FALSE(reg.KeyExists("HKCU\\New"));
}

TEST(RegistryHex, ConvertsAndValidatesHexText) {
    EXPECT_EQ(clsRegistryAccess::StrToBin("00 ff,7A"), (std::vector<std::uint8_t>{0, 0xFF, 0x7A}));
    EXPECT_EQ(clsRegistryAccess::BinToStr({0x00, 0xFF, 0x7A}), "00 FF 7A");
    EXPECT_TRUE(clsRegistryAccess::isBinValid(""));
    EXPECT_FALSE(clsRegistryAccess::isBinValid("1 2"));
}

TEST_F(RegistryTest, ExportAndImportRoundTripAKeyTree) {
    reg.WriteString("HKCU\\Tree", "@", "root \"quoted\" C:\\path");
    reg.WriteString("HKCU\\Tree", "name with \"quote\"", "x");
    reg.WriteDWORD("HKCU\\Tree\\Sub", "n", 0xA);
    reg.WriteBinary("HKCU\\Tree\\Sub\\Deeper", "bin", "DE AD BE EF");
    std::ostringstream script;
    ASSERT_EQ(reg.ExportToReg("HKCU\\Tree", "", true, &script), 1);
    EXPECT_NE(script.str().find("[HKEY_CURRENT_USER\\Tree\\Sub]\n\"n\"=dword:0000000a\n"),
              std::string::npos);
    EXPECT_NE(script.str().find("\"bin\"=hex:de,ad,be,ef"), std::string::npos);

    MemoryRegistryStore other;
    clsRegistryAccess copy(other);
    ASSERT_EQ(copy.ImportFromRegText(script.str()), kRegOk);
    EXPECT_EQ(copy.lastImportSkippedLines(), 0);
    std::ostringstream again;
    copy.ExportToReg("HKCU\\Tree", "", true, &again);
    EXPECT_EQ(again.str(), script.str());
    EXPECT_EQ(copy.ReadString("HKCU\\Tree", "@"), "root \"quoted\" C:\\path");
}

TEST_F(RegistryTest, ExportWritesOnlyANewFile) {
    const fs::path file =
        fs::temp_directory_path() / ("kxp40s_reg_" + std::to_string(std::random_device{}()));
    fs::remove(file);
    reg.WriteString("HKCU\\E", "v", "1");
    EXPECT_EQ(reg.ExportToReg("HKCU\\E", file.string()), 1);
    EXPECT_EQ(reg.ExportToReg("HKCU\\E", file.string()), 0);
    MemoryRegistryStore other;
    clsRegistryAccess copy(other);
    EXPECT_EQ(copy.ImportFromReg(file.string()), kRegOk);
    EXPECT_EQ(copy.ReadString("HKCU\\E", "v"), "1");
    fs::remove(file);
    EXPECT_EQ(copy.ImportFromReg(file.string()), kRegNotFound);
}

TEST_F(RegistryTest, ImportSkipsAndCountsMalformedLines) {
    reg.WriteString("HKCU\\Gone", "v", "1");
    reg.WriteString("HKCU\\Keep", "old", "1");
    const std::string script =
        "REGEDIT4\r\n\r\n"
        "\"early\"=\"no key yet\"\n"
        "[-HKCU\\Gone]\n"
        "[HKCU\\Keep]\n"
        "; a comment\n"
        "\"old\"=-\n"
        "\"bare\"=plain \"text\"\n"
        "\"n\"=dword:ffffffff\n"
        "\"big\"=dword:123456789\n"
        "\"badhex\"=hex:1,zz\n"
        "no equals sign\n"
        "[HKZZ\\Nowhere]\n"
        "[unclosed\n";
    ASSERT_EQ(reg.ImportFromRegText(script), kRegOk);
    EXPECT_EQ(reg.lastImportSkippedLines(), 6);
    EXPECT_FALSE(reg.KeyExists("HKCU\\Gone"));
    EXPECT_FALSE(reg.ValueExists("HKCU\\Keep", "old"));
    EXPECT_EQ(reg.ReadString("HKCU\\Keep", "bare"), "plain text");
    EXPECT_EQ(reg.ReadDWORD("HKCU\\Keep", "n"), 0xFFFFFFFFu);
    EXPECT_FALSE(reg.ValueExists("HKCU\\Keep", "big"));

    EXPECT_EQ(reg.ImportFromRegText("\n[HKCU\\X]\n"), kRegInvalidData);
    EXPECT_FALSE(reg.KeyExists("HKCU\\X"));
}

}  // namespace
}  // namespace kxp40s
