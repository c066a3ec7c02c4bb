#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/startup.h"
#include "editors/settings.h"
#include "editors/settings_text.h"

namespace kxp40s {
namespace {

AssignmentsRead readText(const std::string& text) {
    std::istringstream in(text);
    return parseSettingsText(in, "x.txt");
}

TEST(SettingsText, ReadsKeyValueLinesNamingTheirOrigin) {
    const AssignmentsRead read = readText(
        "# a comment\n"
        "\n"
        "  baud =  512 bps \r\n"
        "   # indented comment\n"
        "prompt3 = \"  say \\\"hi\\\" \"\n"
        "capcode1=\n"
        "a = b = c\n");
    ASSERT_EQ(read.error, std::nullopt);
    struct Expected {
        const char *key, *value, *origin;
    };
    const Expected expected[] = {
        {"baud", "512 bps", "line 3 of x.txt"},
        {"prompt3", "  say \"hi\" ", "line 5 of x.txt"},
        {"capcode1", "", "line 6 of x.txt"},
        {"a", "b = c", "line 7 of x.txt"},
    };
    ASSERT_EQ(read.assignments.size(), std::size(expected));
    for (std::size_t i = 0; i < read.assignments.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read.assignments[i].key, expected[i].key);
        EXPECT_EQ(read.assignments[i].value, expected[i].value);
        EXPECT_EQ(read.assignments[i].origin, expected[i].origin);
    }
}

TEST(SettingsText, TheFirstLineThatCannotBeReadIsTheError) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"baud = 512 bps\nno equals here\nx\n",
         "line 2 of x.txt is not KEY = VALUE: no equals here"},
        {"prompt3 = \"open\n", "line 1 of x.txt has a quoted value that does not end well: \"open"},
        {"prompt3 = \"a\" b\n",
         "line 1 of x.txt has a quoted value that does not end well: \"a\" b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const AssignmentsRead read = readText(c.text);
        EXPECT_EQ(read.error, c.error);
        EXPECT_TRUE(read.assignments.empty());
    }
}

// What `show` prints reads back as the values the settings show, texts with
// quotes and backslashes included.
TEST(SettingsText, FormattedSettingsReadBackAsShown) {
    Session s = startedSession();
    ASSERT_FALSE(findSetting("prompt3")->apply(s, " say \"hi\" \\").refused);
    const std::string text = formatSettings(s);
    EXPECT_EQ(text.rfind("# Identity: ", 0), 0u);
    EXPECT_NE(text.find("prompt3 = \" say \\\"hi\\\" \\\\\"\n"), std::string::npos);

    const AssignmentsRead read = readText(text);
    ASSERT_EQ(read.error, std::nullopt);
    ASSERT_FALSE(read.assignments.empty());
    for (const Assignment& assignment : read.assignments) {
        SCOPED_TRACE(assignment.key);
        const SettingDef* def = findSetting(assignment.key);
        ASSERT_NE(def, nullptr);
        EXPECT_FALSE(def->readOnly);
        EXPECT_EQ(def->show(s), assignment.value);
    }
}

}  // namespace
}  // namespace kxp40s
