#include <gtest/gtest.h>

#include <map>
#include <random>

#include "editors/load_image.h"
#include "editors/settings.h"
#include "editors/startup.h"

namespace kxp40s {
namespace {

using Shown = std::map<std::string, std::optional<std::string>>;

Session startedSession() {
    Session s;
    TableFileState noDefaultTable;
    startUp(s, noDefaultTable);
    return s;
}

Shown settableShown(const Session& s) {
    Shown shown;
    for (const SettingDef& def : settingDefs()) {
        if (def.show && !def.readOnly) shown[def.key] = def.show(s);
    }
    return shown;
}

// The rows `show` prints as values, which `set` must take back.
Shown takenBack(const Session& s) {
    Shown shown;
    for (const SettingRow& row : settingRows(s)) {
        if (row.value && !row.refusal && !row.def->readOnly) shown[row.def->key] = row.value;
    }
    return shown;
}

// What `show A | set B --from -` does: every row A shows as a value, applied
// to B in order.
void carryOver(const Session& a, Session& b) {
    for (const SettingRow& row : settingRows(a)) {
        if (!row.value || row.refusal || row.def->readOnly) continue;
        const Effects effects = row.def->apply(b, *row.value);
        ASSERT_FALSE(effects.refused) << row.def->key << " = " << *row.value << ": "
                                      << (effects.messages.empty() ? "" : effects.messages[0].text);
    }
}

void expectSameSettings(const Shown& a, const Shown& b) {
    for (const auto& [key, value] : a) {
        EXPECT_EQ(b.at(key), value) << key;
    }
}

// A value the setting may take: an item of its list, a check state, or a
// text of the kind its box takes. Some are refused (an off-raster frequency);
// the sequence goes on without them.
std::string randomValue(const SettingDef& def, std::mt19937& random) {
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::string& help = def.help;
    if (const auto at = help.find("one of: "); at != std::string::npos) {
        std::vector<std::string> items;
        std::string rest = help.substr(at + 8);
        rest = rest.substr(0, rest.find(')') == std::string::npos ? rest.size() : rest.find(')'));
        rest = rest.substr(0, rest.find(';'));
        for (std::size_t start = 0;;) {
            const auto bar = rest.find(" | ", start);
            items.push_back(rest.substr(start, bar - start));
            if (bar == std::string::npos) break;
            start = bar + 3;
        }
        if (def.key == "band") return std::to_string(pick(4));
        return items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))];
    }
    if (help.starts_with("0 or 1")) return std::to_string(pick(2));
    if (def.key == "frequency") return std::to_string(1300000 + 25 * pick(20000));
    if (def.key.starts_with("capcode")) return std::to_string(pick(2097152));
    if (def.key == "password") return std::to_string(pick(10000));
    if (def.key == "contrast") return std::to_string(1 + pick(8));
    if (def.quoted) {
        std::string text(static_cast<std::size_t>(pick(4)), ' ');
        for (int i = pick(10); i >= 0; --i)
            text += static_cast<char>('A' + pick(26));
        return text;
    }
    return "";
}

TEST(SettingsRoundTrip, TheDefaultImageCarriesOverToANewOne) {
    Session a = startedSession();
    loadImage(a, defaultImage());
    Session b = startedSession();
    carryOver(a, b);
    expectSameSettings(takenBack(a), settableShown(b));
}

TEST(SettingsRoundTrip, RandomValidChangesCarryOverToANewOne) {
    std::mt19937 random(61206);
    std::vector<const SettingDef*> settable;
    for (const SettingDef& def : settingDefs()) {
        if (def.apply && !def.readOnly && def.show) settable.push_back(&def);
    }
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE(round);
        Session a = startedSession();
        for (int step = 0; step < 25; ++step) {
            const SettingDef& def = *settable[random() % settable.size()];
            const Session before = a;
            if (def.apply(a, randomValue(def, random)).refused) a = before;
        }
        Session reloaded = startedSession();  // as `show` sees A: opened from its file
        loadImage(reloaded, a.ConfigImage);
        Session b = startedSession();
        carryOver(reloaded, b);
        expectSameSettings(takenBack(reloaded), settableShown(b));
        if (HasFailure()) break;
    }
}

TEST(Settings, KeysAreUniqueAndTheFixedOnesAreThere) {
    std::set<std::string> keys;
    for (const SettingDef& def : settingDefs())
        EXPECT_TRUE(keys.insert(def.key).second) << def.key;
    for (const char* key : {"band",
                            "channel",
                            "rules",
                            "frequency",
                            "capcode1",
                            "capcode8.on",
                            "capcode8.D.display",
                            "capcode1.A.type",
                            "capcode1.A.priority",
                            "password",
                            "prompt0",
                            "prompt68",
                            "load-default",
                            "language",
                            "logo",
                            "source",
                            "source33",
                            "source64",
                            "menu0",
                            "menu6",
                            "lockout",
                            "outofservice",
                            "tone",
                            "battery.low",
                            "battery.med",
                            "battery.high",
                            "contrast",
                            "alert.personal",
                            "alert.maildrop1",
                            "alert.maildrop15",
                            "baud"}) {
        EXPECT_TRUE(findSetting(key)) << key;
    }
    EXPECT_FALSE(findSetting("prompt66"));
}

TEST(Settings, ValuesTheControlsCannotTakeAreRefusedWithoutChange) {
    Session s = startedSession();
    const Image before = s.ConfigImage;
    struct Case {
        const char* key;
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {"baud", "9600 bps",
         "\"9600 bps\" is not an item of baud (one of: 512 bps | 1200 bps | 2400 bps)"},
        {"capcode1.on", "2", "capcode1.on does not take \"2\": it takes 0 or 1"},
        {"language", "Klingon",
         "\"Klingon\" is not an item of language (one of: English | Spainish | French | German | "
         "Danish | Swedish)"},
        {"load-default", "66",
         "load-default does not take \"66\": it takes a prompt box number 0-65 or 68"},
        // The capcode box holds 7 characters; an empty box sets nothing.
        {"capcode1", "00000001",
         "capcode1 does not take \"00000001\": it takes 1 to 7 characters: the capcode, "
         "decimal 0 to 2097151"},
        {"capcode1", "",
         "capcode1 does not take \"\": it takes 1 to 7 characters: the capcode, decimal 0 to "
         "2097151"},
        {"password", "",
         "password does not take \"\": it takes 1 to 4 characters: the pager password, 4 "
         "decimal digits"},
        {"frequency", "",
         "frequency does not take \"\": it takes the frequency in 100 Hz units, e.g. 1530000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const Effects effects = findSetting(c.key)->apply(s, c.value);
        EXPECT_TRUE(effects.refused);
        ASSERT_EQ(effects.messages.size(), 1u);
        EXPECT_EQ(effects.messages[0].text, c.message);
        EXPECT_EQ(s.ConfigImage, before);
    }
}

Effects apply(Session& s, const std::string& key, const std::string& value) {
    return findSetting(key)->apply(s, value);
}

std::ptrdiff_t placeOf(const std::string& key) {
    return findSetting(key) - settingDefs().data();
}

// A control the window hides or disables cannot be set; the message names
// what allows it, and the setting that allows it comes first in a settings
// text.
TEST(Settings, WhatTheWindowHidesOrDisablesIsRefusedUntilAllowed) {
    struct Case {
        const char* key;
        const char* value;
        std::vector<std::pair<const char*, const char*>> disallow, allow;
        const char* message;
    };
    const Case cases[] = {
        {"source33",
         "1",
         {{"source", "Disable"}},
         {{"source", "Forward"}},
         "source33 is disabled while source=Disable: set source=Forward or source=Backward "
         "first"},
        {"prompt40",
         "NEWS",
         {{"source", "Backward"}, {"source40", "0"}},
         {{"source40", "1"}},
         "prompt40 is disabled while source40=0: set source40=1 first"},
        {"rd-key-pager-off",
         "1",
         {{"push-key-lamp-on-enable", "0"}},
         {{"push-key-lamp-on-enable", "1"}},
         "rd-key-pager-off is hidden while push-key-lamp-on-enable=0: set "
         "push-key-lamp-on-enable=1 first"},
        {"direct-show-lamp-on",
         "1",
         {{"message-display", "Page Count"}},
         {{"message-display", "Direct"}},
         "direct-show-lamp-on is hidden while message-display=Page Count: set "
         "message-display=Direct first"},
        {"tone",
         "Vibration",
         {{"menu6", "0"}},
         {{"menu6", "1"}},
         "tone is hidden while menu6=0: set menu6=1 (\"Set Alert Off\") first"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Session s = startedSession();
        for (const auto& [key, value] : c.disallow)
            ASSERT_FALSE(apply(s, key, value).refused) << key;
        const Image before = s.ConfigImage;
        const Effects refused = apply(s, c.key, c.value);
        EXPECT_TRUE(refused.refused);
        ASSERT_EQ(refused.messages.size(), 1u);
        EXPECT_EQ(refused.messages[0].text, c.message);
        EXPECT_EQ(s.ConfigImage, before);
        for (const auto& [key, value] : c.allow) {
            ASSERT_FALSE(apply(s, key, value).refused) << key;
            EXPECT_LT(placeOf(key), placeOf(c.key)) << key;
        }
        EXPECT_FALSE(apply(s, c.key, c.value).refused);
    }
}

// Images the window can show but not every box can take back: `show` prints
// what `set` would refuse as a comment, and prompt records no box can type
// travel byte for byte.
TEST(SettingsRoundTrip, OddImagesCarryOverWhatShowPrintsAsValues) {
    Image image = defaultImage();
    const std::uint8_t controlCharacter[] = {0x02, 3, 'A', 0x01, 'B'};
    image.write(0x114 + 20 * 4, controlCharacter);  // prompt5
    image.set(0x100, 0x0F);                         // the logo: 15 spaces before its text
    image.set(0x101, 18);                           // and 18 characters: 33, more than its box
    image.write(0x068, std::vector<std::uint8_t>{0xF2, 0xE1, 0x77, 0xE3});  // -220101165
    image.set(0x3B2, 12);                                                   // a password digit
    image.set(0x089, 0x29);                                                 // contrast 41
    Session a = startedSession();
    loadImage(a, image);

    std::map<std::string, std::string> refused;
    for (const SettingRow& row : settingRows(a)) {
        if (row.refusal) refused[row.def->key] = *row.refusal;
    }
    for (const char* key : {"frequency", "password", "contrast", "source33"})
        EXPECT_TRUE(refused.contains(key)) << key;
    EXPECT_EQ(findSetting("prompt5")->show(a).value_or("").substr(0, 15), "bytes: 02 03 41");

    Session b = startedSession();
    carryOver(a, b);
    for (const int address : {0x100, 0x114 + 20 * 4}) {
        const auto want = a.ConfigImage.read(address, 20);
        const auto got = b.ConfigImage.read(address, 20);
        EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin())) << address;
    }
    expectSameSettings(takenBack(a), settableShown(b));
}

}  // namespace
}  // namespace kxp40s
