#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "control_at.h"
#include "editors/alerts.h"
#include "editors/capcodes.h"
#include "editors/init_ctl.h"
#include "editors/pager_menu.h"
#include "editors/settings.h"

namespace kxp40s {
namespace {

using testing::at;

// What a control of the window shows.
const Message kOrderWarning{kShortTitle,
                            "Waring ! You must let ( Level-High > Level-Med > Level-Low ).",
                            Icon::Critical, Buttons::Ok};

// The loaders of these editors, in the window's load order.
TEST(Alerts, BatteryOrderMustBeStrict) {
    struct Case {
        const char* name;
        std::vector<int> items;  // low, med, high
        bool warned;
    };
    const std::vector<Case> cases = {
        {"ascending", {8, 6, 4}, false},
        {"low equals med", {6, 6, 4}, true},
        {"med equals high", {8, 4, 4}, true},
        {"reversed", {0, 6, 12}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        Effects last;
        for (int level = 0; level < kBatteryLevels; ++level)
            last = cboBatLev_Click(s, level, c.items[static_cast<std::size_t>(level)]);
        for (int level = 0; level < kBatteryLevels; ++level)
            EXPECT_EQ(
                s.ConfigImage.at(0x8D + level),
                kBatteryValues[static_cast<std::size_t>(c.items[static_cast<std::size_t>(level)])]);
        EXPECT_FALSE(last.refused);  // the value stays stored either way
        EXPECT_EQ(last.messages,
                  c.warned ? std::vector<Message>{kOrderWarning} : std::vector<Message>{});

        Session reloaded;  // loading warns once and stores nothing
        reloaded.ConfigImage = s.ConfigImage;
        Operation op(reloaded);
        read_BatLev(reloaded);
        EXPECT_EQ(op.done().messages.size(), c.warned ? 1u : 0u);
        EXPECT_EQ(reloaded.ConfigImage, s.ConfigImage);
    }
}

TEST(Alerts, DialogStoresAndTheSummaryFollows) {
    Session s;
    init_ctl(s);
    EXPECT_EQ(at(s, "lblLength", 0).text, "08");
    EXPECT_EQ(at(s, "lblLength", 3).text, "--");
    EXPECT_EQ(at(s, "lblMemory", 0).text, "30");
    EXPECT_EQ(at(s, "lblMemory", 14).text, "15");

    cmdAlert_Click(s);
    EXPECT_EQ(at(s, "cboPersonal").value, 1);
    cboMailAler_Click(s, 2, 1);  // mail drop 3: Beep
    EXPECT_EQ(GetField(s.ConfigImage, 0x37, 2, 1), 1);
    EXPECT_EQ(s.ConfigImage.at(0x93), 0);
    EXPECT_EQ(at(s, "lblLength", 3).text, "BP");
    cboMailAler_Click(s, 9, 3);  // mail drop A: 16 sec, enable bit in &H38
    EXPECT_EQ(GetField(s.ConfigImage, 0x38, 1, 1), 1);
    EXPECT_EQ(at(s, "lblLength", 10).text, "16");
    s.ConfigImage.set(0x93, 7);
    cboMailAler_Click(s, 2, 0);  // Disable keeps the alert byte
    EXPECT_EQ(s.ConfigImage.at(0x93), 7);
    EXPECT_EQ(at(s, "lblLength", 3).text, "--");
    cboPersonal_Click(s, 4);
    EXPECT_EQ(s.ConfigImage.at(0x90), 0);
    EXPECT_EQ(at(s, "lblLength", 0).text, "CT");

    s.ConfigImage.set(0x90, 5);  // no item: the caption and the list stay
    read_Alert(s);
    Form6_Load(s);
    EXPECT_EQ(at(s, "lblLength", 0).text, "CT");
    EXPECT_EQ(at(s, "cboPersonal").value, -1);
}

TEST(Alerts, ContrastGreysAndChangedFlag) {
    Session s;
    const Image before = s.ConfigImage;
    read_contrast(s);
    EXPECT_EQ(s.ContrastLoaded, 4);
    EXPECT_EQ(at(s, "lblContrast").value, 20);
    EXPECT_EQ(at(s, "lblValue").text, "4");
    EXPECT_EQ(s.ConfigImage, before);

    Slider1_Change(s, 6);
    EXPECT_EQ(s.ConfigImage.at(0x89), 6);
    EXPECT_TRUE(s.ContrastChanged);
    Slider1_Change(s, 4);
    EXPECT_EQ(at(s, "lblContrast").value, 40);
    EXPECT_TRUE(s.ContrastChanged);  // back at the loaded value, still changed

    Session stray;
    stray.ConfigImage.set(0x89, 12);  // shown as it is, never written back
    const Image strayBefore = stray.ConfigImage;
    read_contrast(stray);
    EXPECT_EQ(at(stray, "lblValue").text, "12");
    EXPECT_EQ(stray.ConfigImage, strayBefore);
    EXPECT_FALSE(stray.ContrastChanged);
}

TEST(Alerts, ToneLoadsByCodeAndUnknownCodesLeaveTheList) {
    Session s;
    read_SetAlarm(s);
    EXPECT_EQ(at(s, "cboTone").value, kMusic1Item);
    s.ConfigImage.set(0x2E, 49);
    read_SetAlarm(s);
    EXPECT_EQ(at(s, "cboTone").value, 13);
    s.ConfigImage.set(0x2E, 5);
    read_SetAlarm(s);
    EXPECT_EQ(at(s, "cboTone").value, 13);
}

bool isEditorKey(const std::string& key) {
    static constexpr std::array<std::string_view, 9> kPrefixes = {
        "capcode", "password", "menu",     "lockout", "outofservice",
        "tone",    "battery",  "contrast", "alert."};
    for (const std::string_view prefix : kPrefixes)
        if (key.starts_with(prefix) && !key.ends_with(".on")) return true;
    return false;
}

std::vector<std::pair<std::string, std::optional<std::string>>> shown(const Session& s) {
    std::vector<std::pair<std::string, std::optional<std::string>>> rows;
    for (const auto& def : settingDefs())
        if (isEditorKey(def.key)) rows.emplace_back(def.key, def.show(s));
    return rows;
}

TEST(Alerts, SettingsShownAreReproducedWhenAppliedInOrder) {
    Session a;
    init_ctl(a);
    txtAddr_KeyUp(a, 3, "77");
    txtPass_KeyUp(a, "4321");
    cmdFunc_Click(a, 6);
    cboType_Click(a, 3, kGroupItem);
    chkPri_Click(a, 1, 1);
    chkMenu_Click(a, 6, 1);
    chkMenu_Click(a, 2, 1);
    cboTone_Click(a, 12);
    cboSLC_Click(a, 5);
    cboORC_Click(a, 0);
    cboBatLev_Click(a, 2, 0);
    Slider1_Change(a, 7);
    cboMailAler_Click(a, 14, 2);
    Session shownA;
    shownA.ConfigImage = a.ConfigImage;
    init_ctl(shownA);
    const auto rows = shown(shownA);

    Session b;
    init_ctl(b);
    for (const auto& [key, value] : rows) {
        const SettingDef* def = findSetting(key);
        if (def->readOnly || !value) continue;
        SCOPED_TRACE(key + " = " + *value);
        EXPECT_FALSE(def->apply(b, *value).refused);
    }
    Session shownB;
    shownB.ConfigImage = b.ConfigImage;
    init_ctl(shownB);
    EXPECT_EQ(shown(shownB), rows);
}

TEST(Alerts, SettingsRefuseWhatTheWindowCannotTake) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"tone", "Music 1"},  // the list is hidden while the alert menu is on
        {"tone", "Music 9"},
        {"contrast", "9"},
        {"contrast", "04"},
        {"battery.low", "1.6V"},
        {"menu3", "2"},
        {"capcode1", "x"},
        {"password", "12345"},
        {"capcode2.B.type", "Mail Drop G"},
        {"alert.maildrop15", "2 sec"}};
    for (const auto& [key, value] : cases) {
        SCOPED_TRACE(key + "=" + value);
        Session s;
        init_ctl(s);
        const Image before = s.ConfigImage;
        const Effects effects = findSetting(key)->apply(s, value);
        EXPECT_TRUE(effects.refused);
        EXPECT_FALSE(effects.messages.empty());
        EXPECT_EQ(s.ConfigImage, before);
    }
}

}  // namespace
}  // namespace kxp40s
