#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "app/startup.h"
#include "editors/load_image.h"
#include "editors/settings.h"

namespace kxp40s {
namespace {

using Shown = std::map<std::string, std::optional<std::string>>;

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

// A value the setting may take: an item of its list, a check state, a number
// in its range, or a text of the kind its box takes. Some are refused (an
// off-raster frequency); the sequence goes on without them.
std::string randomValue(const SettingDef& def, std::mt19937& random) {
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto inRange = [&](ValueRange range) {
        return range.min + pick(range.max - range.min + 1);
    };
    switch (def.kind) {
        case SettingKind::Check:
            return std::to_string(pick(2));
        case SettingKind::Item:
            return std::string(
                def.items[static_cast<std::size_t>(pick(static_cast<int>(def.items.size())))]);
        case SettingKind::Index:
        case SettingKind::Number:
            if (def.range) return std::to_string(inRange(*def.range));
            return std::to_string(1300000 + 25 * pick(20000));  // the frequency
        case SettingKind::Text:
            break;
    }
    std::string text(static_cast<std::size_t>(pick(4)), ' ');
    for (int i = pick(10); i >= 0; --i)
        text += static_cast<char>('A' + pick(26));
    return text;
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

// What VALUE a setting takes is its control's: the list's items, the box's range.
TEST(Settings, TakeTheValuesOfTheControlTheySet) {
    for (const SettingDef& def : settingDefs()) {
        SCOPED_TRACE(def.key);
        EXPECT_EQ(settingHelp(def).find('{'), std::string::npos);
        if (!def.control) continue;
        const ControlInfo& info = controlInfo(*def.control);
        switch (def.kind) {
            case SettingKind::Check:
                EXPECT_EQ(info.kind, ControlKind::CheckBox);
                break;
            case SettingKind::Item:
            case SettingKind::Index:
                EXPECT_EQ(info.kind, ControlKind::ComboBox);
                EXPECT_TRUE(std::ranges::equal(def.items, info.items));
                break;
            case SettingKind::Number:
                EXPECT_EQ(def.range, info.range);
                break;
            case SettingKind::Text:
                EXPECT_EQ(info.kind, ControlKind::TextBox);
                break;
        }
    }
    EXPECT_EQ(findSetting("capcode3")->range, (ValueRange{0, 2097151}));
    EXPECT_EQ(findSetting("contrast")->range, (ValueRange{1, 8}));
    EXPECT_EQ(findSetting("band")->range, (ValueRange{0, 3}));
}

// `set --help` fills each line in from the setting's kind, items and range.
TEST(Settings, HelpLinesSayWhatTheValuesAre) {
    struct Case {
        const char* key;
        const char* help;
    };
    const Case cases[] = {
        {"capcode1", "the capcode, decimal 0 to 2097151"},
        {"contrast", "1 to 8"},
        {"capcode8.on", "0 or 1 (1 = the box is checked)"},
        {"band",
         "the range item of the band list: 0..3 (one of: 929-932MHz | 400-499MHz | 130-180MHz | "
         "130-180MHz-GP(RoHS))"},
        {"alert.personal", "one of: 2 sec | 8 sec | 16 sec | 32 sec | continuos"},
        {"rules",
         "the rule set of the 130-180 MHz bands for the entries that follow (not stored), one of: "
         "new | old; shown as \"old\" only when the stored words need it"},
        {"prompt3",
         "the text as typed in the box, leading spaces kept; a record no box can type as "
         "\"bytes:\" and its 20 bytes in hexadecimal"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(settingHelp(*findSetting(c.key)), c.help);
    }
}

// A value that is not an item of the list is refused in the words of the list.
TEST(Settings, ItemSettingsRefuseWhatTheirListDoesNotHold) {
    const Session started = startedSession();
    for (const SettingDef& def : settingDefs()) {
        if (def.kind != SettingKind::Item || !def.apply) continue;
        // A hidden list is refused for that first (the tone list).
        if (def.control && !started.controls[*def.control].visible) continue;
        SCOPED_TRACE(def.key);
        Session s = started;
        const Effects effects = def.apply(s, "no such item");
        EXPECT_TRUE(effects.refused);
        ASSERT_EQ(effects.messages.size(), 1u);
        EXPECT_NE(effects.messages[0].text.find("(" + itemsHelp(def.items) + ")"),
                  std::string::npos);
        EXPECT_EQ(s.ConfigImage, started.ConfigImage);
    }
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
