#include <string>

#include "editors/alerts.h"
#include "editors/pager_menu.h"
#include "editors/settings.h"

namespace kxp40s {

namespace {

constexpr const char* kMailDropDigits = "123456789ABCDEF";

std::optional<std::string> itemText(std::span<const std::string_view> items,
                                    std::optional<int> index) {
    if (!index) return std::nullopt;
    return std::string(items[static_cast<std::size_t>(*index)]);
}

// The tone list shows only while "Set Alert Off" is checked: a hidden list
// shows nothing and cannot be chosen from.
SettingDef toneSetting() {
    return {"tone", "{items} (only with menu6=1)",
            [](const Session& s) -> std::optional<std::string> {
                if (!s.controls[{"cboTone"}].visible) return std::nullopt;
                return shownItem(s, {"cboTone"}, kToneItems);
            },
            [](Session& s, const std::string& value) {
                const auto index = itemIndex(kToneItems, value);
                if (!index) return notAnItem(s, "tone", value, kToneItems);
                if (!s.controls[{"cboTone"}].visible)
                    return badValue(s, "tone", value,
                                    "an item only while menu6=1 (\"Set Alert Off\" checked)");
                return cboTone_Click(s, *index);
            }};
}

SettingDef batterySetting(int level, const char* name) {
    std::string key = std::string("battery.") + name;
    const ControlId list{"cboBatLev", level};
    return {key, "", [=](const Session& s) { return shownItem(s, list, kBatteryItems); },
            [=](Session& s, const std::string& value) {
                const auto index = itemIndex(kBatteryItems, value);
                if (!index) return notAnItem(s, key, value, kBatteryItems);
                return cboBatLev_Click(s, level, *index);
            }};
}

// The slider moves only when the value differs, and only then counts as changed.
SettingDef contrastSetting() {
    return {
        "contrast", "",
        [](const Session& s) -> std::optional<std::string> {
            const int value = s.controls[{"Slider1"}].value;
            if (value < kContrastMin || value > kContrastMax) return std::nullopt;
            return std::to_string(value);
        },
        [](Session& s, const std::string& value) {
            if (value.size() != 1 || value[0] < '0' + kContrastMin || value[0] > '0' + kContrastMax)
                return badValue(s, "contrast", value, "1 to 8");
            Operation op(s);
            const int contrast = value[0] - '0';
            if (s.controls[{"Slider1"}].value != contrast) Slider1_Change(s, contrast);
            return op.done();
        }};
}

// A list of the alert dialog: open it, choose the item.
template <class Index, class Click>
SettingDef alertDialogList(std::string key, std::span<const std::string_view> items, Index indexOf,
                           Click click) {
    return {key, "", [=](const Session& s) { return itemText(items, indexOf(s.ConfigImage)); },
            [=](Session& s, const std::string& value) {
                const auto index = itemIndex(items, value);
                if (!index) return notAnItem(s, key, value, items);
                Operation op(s);
                cmdAlert_Click(s);
                click(s, *index);
                return op.done();
            }};
}

// "PG:CT M1:-- M2:BP ..." from the summary labels `name`(0 ... last).
SettingDef summarySetting(std::string key, std::string help, std::string_view label, int last) {
    SettingDef def;
    def.key = std::move(key);
    def.help = std::move(help);
    def.show = [label, last](const Session& s) -> std::optional<std::string> {
        std::string text = "PG:" + s.controls[{label, 0}].text;
        for (int i = 1; i <= last; ++i)
            text += std::string(" M") + kMailDropDigits[i - 1] + ":" + s.controls[{label, i}].text;
        return text;
    };
    def.readOnly = true;
    return def;
}

}  // namespace

void addAlertSettings(std::vector<SettingDef>& defs) {
    defs.push_back(toneSetting());
    defs.back().takesItem({"cboTone"});
    defs.push_back(batterySetting(0, "low"));
    defs.back().takesItem({"cboBatLev", 0});
    defs.push_back(batterySetting(1, "med"));
    defs.back().takesItem({"cboBatLev", 1});
    defs.push_back(batterySetting(2, "high"));
    defs.back().takesItem({"cboBatLev", 2});
    defs.push_back(contrastSetting());
    defs.back().takesNumber({"Slider1"});
    defs.push_back(alertDialogList("alert.personal", kPersonalItems, personalIndex,
                                   [](Session& s, int i) { return cboPersonal_Click(s, i); }));
    defs.back().takesItem({"cboPersonal"});
    for (int mailDrop = 1; mailDrop <= kMailDrops; ++mailDrop) {
        defs.push_back(alertDialogList(
            "alert.maildrop" + std::to_string(mailDrop), kMailDropItems,
            [mailDrop](const Image& image) { return mailDropIndex(image, mailDrop); },
            [mailDrop](Session& s, int i) { return cboMailAler_Click(s, mailDrop - 1, i); }));
        defs.back().takesItem({"cboMailAler", mailDrop - 1});
    }
    defs.push_back(summarySetting("alert.lengths", "alert length of each message class (read-only)",
                                  "lblLength", kMailDrops));
    defs.push_back(summarySetting("alert.memory", "memory of each message class in KB (read-only)",
                                  "lblMemory", 14));
}

}  // namespace kxp40s
