#include "editors/settings.h"

#include <algorithm>

namespace kxp40s {

namespace {

std::vector<SettingDef> buildSettingDefs() {
    std::vector<SettingDef> defs;
    addFrequencySettings(defs);
    addCapcodeSettings(defs);
    addTaggedSettings(defs);
    addPromptSettings(defs);
    addMenuSettings(defs);
    addAlertSettings(defs);
    return defs;
}

Effects refusal(Session& s, std::string text) {
    Operation op(s);
    s.say(warning(std::move(text)));
    s.pending.refused = true;
    return op.done();
}

}  // namespace

std::span<const SettingDef> settingDefs() {
    static const std::vector<SettingDef> defs = buildSettingDefs();
    return defs;
}

const SettingDef* findSetting(std::string_view key) {
    const auto defs = settingDefs();
    const auto it =
        std::find_if(defs.begin(), defs.end(), [&](const auto& d) { return d.key == key; });
    return it == defs.end() ? nullptr : &*it;
}

SettingDef& SettingDef::takesCheck(ControlId box) {
    kind = SettingKind::Check;
    control = box;
    return *this;
}

SettingDef& SettingDef::takesItem(ControlId list) {
    const auto& listItems = controlInfo(list).items;
    kind = SettingKind::Item;
    items.assign(listItems.begin(), listItems.end());
    control = list;
    return *this;
}

SettingDef& SettingDef::takesIndex(ControlId list) {
    takesItem(list);
    kind = SettingKind::Index;
    range = ValueRange{0, static_cast<int>(items.size()) - 1};
    return *this;
}

SettingDef& SettingDef::takesNumber(ControlId box) {
    kind = SettingKind::Number;
    range = controlInfo(box).range;
    control = box;
    return *this;
}

SettingDef& SettingDef::takesText(ControlId box) {
    kind = SettingKind::Text;
    control = box;
    return *this;
}

SettingDef& SettingDef::takesItems(std::span<const std::string_view> ownItems) {
    kind = SettingKind::Item;
    items.assign(ownItems.begin(), ownItems.end());
    return *this;
}

namespace {

std::string kindHelp(SettingKind kind) {
    switch (kind) {
        case SettingKind::Check:
            return "0 or 1 (1 = the box is checked)";
        case SettingKind::Item:
            return "{items}";
        case SettingKind::Index:
        case SettingKind::Number:
            return "{range}";
        case SettingKind::Text:
            break;
    }
    return "";
}

// A list's indexes read "0..3", a box's numbers "0 to 2097151".
std::string rangeHelp(const SettingDef& def) {
    if (!def.range) return "";
    const char* to = def.kind == SettingKind::Index ? ".." : " to ";
    return std::to_string(def.range->min) + to + std::to_string(def.range->max);
}

void fillIn(std::string& help, std::string_view placeholder, const std::string& text) {
    if (const auto at = help.find(placeholder); at != std::string::npos)
        help.replace(at, placeholder.size(), text);
}

}  // namespace

std::string settingHelp(const SettingDef& def) {
    std::string help = def.help.empty() ? kindHelp(def.kind) : def.help;
    fillIn(help, "{items}", itemsHelp(def.items));
    fillIn(help, "{range}", rangeHelp(def));
    return help;
}

std::optional<int> itemIndex(std::span<const std::string_view> items, std::string_view text) {
    const auto it = std::find(items.begin(), items.end(), text);
    if (it == items.end()) return std::nullopt;
    return static_cast<int>(it - items.begin());
}

std::string itemsHelp(std::span<const std::string_view> items) {
    std::string help = "one of:";
    for (std::size_t i = 0; i < items.size(); ++i)
        help += (i == 0 ? " " : " | ") + std::string(items[i]);
    return help;
}

Effects notAnItem(Session& s, std::string_view key, std::string_view value,
                  std::span<const std::string_view> items) {
    return refusal(s, "\"" + std::string(value) + "\" is not an item of " + std::string(key) +
                          " (" + itemsHelp(items) + ")");
}

Effects badValue(Session& s, std::string_view key, std::string_view value,
                 std::string_view expected) {
    return refusal(s, std::string(key) + " does not take \"" + std::string(value) +
                          "\": it takes " + std::string(expected));
}

std::optional<int> checkValue(std::string_view text) {
    if (text == "0") return 0;
    if (text == "1") return 1;
    return std::nullopt;
}

std::optional<std::string> shownItem(const Session& s, ControlId list,
                                     std::span<const std::string_view> items) {
    const int index = s.controls[list].value;
    if (index < 0 || index >= static_cast<int>(items.size())) return std::nullopt;
    return std::string(items[static_cast<std::size_t>(index)]);
}

}  // namespace kxp40s
