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
