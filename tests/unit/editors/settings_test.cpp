#include <gtest/gtest.h>

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
