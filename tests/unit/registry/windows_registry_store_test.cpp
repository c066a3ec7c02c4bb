#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "registry/registry_access.h"

namespace kxp40s {
namespace {

// The registry class on Windows' own registry, in a key of its own under
// HKCU that the test removes again.
class WindowsRegistry : public ::testing::Test {
  protected:
    void TearDown() override { reg.KillKey(kRoot); }

    const std::string kRoot =
        "HKCU\\Software\\kxp40s-test-" + std::to_string(std::random_device{}());
    std::unique_ptr<RegistryStore> store = makeSystemRegistryStore();
    clsRegistryAccess reg{*store};
};

// The order of an enumeration is the registry's own (Wine's is sorted by
// name, Windows' is mostly the order of writing), so only the sets compare.
TEST_F(WindowsRegistry, ValuesOfEachTypeRoundTripAndEnumerateByType) {
    const std::string key = kRoot + "\\Ports";
    const std::string text =
        "COM3 \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F"
        "e";  // not in any ANSI page
    ASSERT_EQ(reg.WriteString(key, "\\Device\\Serial0", text), kRegOk);
    ASSERT_EQ(reg.WriteDWORD(key, "count", 0x80000001u), kRegOk);
    ASSERT_EQ(reg.WriteBinary(key, "raw", "00 7f ff"), kRegOk);
    ASSERT_EQ(reg.WriteString(key, "@", "default"), kRegOk);

    EXPECT_EQ(reg.ReadString(key, "\\Device\\Serial0"), text);
    EXPECT_EQ(reg.ReadDWORD(key, "count"), 0x80000001u);
    EXPECT_EQ(reg.ReadBinary(key, "raw"), "00 7F FF");
    EXPECT_EQ(reg.ReadString(key, "@"), "default");

    struct Case {
        int filter;
        std::vector<std::string> values;
    };
    for (Case c : {Case{1, {text, "default"}}, Case{4, {"2147483649"}},
                   Case{-1, {text, "2147483649", "00 7F FF", "default"}}}) {
        SCOPED_TRACE(c.filter);
        std::vector<std::string> names, values;
        int count = 0;
        reg.EnumValues(key, names, values, c.filter, count);
        EXPECT_EQ(count, static_cast<int>(c.values.size()));
        std::sort(values.begin(), values.end());
        std::sort(c.values.begin(), c.values.end());
        EXPECT_EQ(values, c.values);
    }
}

TEST_F(WindowsRegistry, MissingKeysAndValuesReadAsTheirDefaults) {
    std::vector<std::string> names, values;
    int count = 0;
    reg.EnumValues(kRoot + "\\Missing", names, values, -1, count);
    EXPECT_EQ(count, -1);
    EXPECT_FALSE(reg.KeyExists(kRoot));
    EXPECT_EQ(reg.ReadString(kRoot, "none", "fallback"), "fallback");

    ASSERT_NE(reg.CreateKey(kRoot + "\\Empty"), 0u);
    reg.EnumValues(kRoot + "\\Empty", names, values, -1, count);
    EXPECT_EQ(count, 0);
}

TEST_F(WindowsRegistry, AKeyIsKilledWithEverythingBelowIt) {
    ASSERT_EQ(reg.WriteString(kRoot + "\\A\\B\\C", "v", "x"), kRegOk);
    std::vector<std::string> subkeys;
    EXPECT_EQ(reg.EnumKeys(kRoot + "\\A", subkeys), 1);
    EXPECT_EQ(subkeys, std::vector<std::string>{"B"});
    EXPECT_EQ(reg.KillKey(kRoot + "\\A"), kRegOk);
    EXPECT_FALSE(reg.KeyExists(kRoot + "\\A\\B\\C"));
    EXPECT_FALSE(reg.KeyExists(kRoot + "\\A"));
    EXPECT_TRUE(reg.KeyExists(kRoot));
}

}  // namespace
}  // namespace kxp40s
