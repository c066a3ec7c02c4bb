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

// What `show A | set B --from -` does: every setting A shows, applied to B
// in the registry's order.
void carryOver(const Session& a, Session& b) {
    for (const SettingDef& def : settingDefs()) {
        if (!def.show || def.readOnly) continue;
        const auto value = def.show(a);
        if (!value) continue;
        const Effects effects = def.apply(b, *value);
        ASSERT_FALSE(effects.refused) << def.key << " = " << *value << ": "
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
    expectSameSettings(settableShown(a), settableShown(b));
}

TEST(SettingsRoundTrip, RandomValidChangesCarryOverToANewOne) {
    std::mt19937 random(61206);
    std::vector<const SettingDef*> settable;
    for (const SettingDef& def : settingDefs()) {
        if (def.apply && !def.readOnly && def.show) settable.push_back(&def);
    }
    for (int round = 0; round < 300; ++round) {
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
        expectSameSettings(settableShown(reloaded), settableShown(b));
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
        {"prompt3", "the text as typed in the box, leading spaces kept"},
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

TEST(Settings, ValuesThatAreNotItemsAreRefusedWithoutChange) {
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

}  // namespace
}  // namespace kxp40s
