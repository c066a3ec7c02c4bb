#include <string>

#include "editors/pager_menu.h"
#include "editors/settings.h"

namespace kxp40s {

namespace {

// A user clicks a box only to change it: setting the value it already shows
// does nothing (unchecking "Set Alert Off" again would reset the tone).
SettingDef menuSetting(int index) {
    std::string key = "menu" + std::to_string(index);
    return {key,
            "0 or 1 (1: \"" + std::string(kMenuCaptions[static_cast<std::size_t>(index)]) +
                "\" checked)",
            [index](const Session& s) -> std::optional<std::string> {
                return std::to_string(s.controls[{"chkMenu", index}].value);
            },
            [=](Session& s, const std::string& value) {
                const auto checked = checkValue(value);
                if (!checked) return badValue(s, key, value, "0 or 1");
                Operation op(s);
                if (s.controls[{"chkMenu", index}].value != *checked)
                    chkMenu_Click(s, index, *checked);
                return op.done();
            }};
}

template <class Click>
SettingDef timedOption(std::string key, ControlId list, std::span<const std::string_view> items,
                       Click click) {
    return {key, "", [=](const Session& s) { return shownItem(s, list, items); },
            [=](Session& s, const std::string& value) {
                const auto index = itemIndex(items, value);
                if (!index) return notAnItem(s, key, value, items);
                return click(s, *index);
            }};
}

}  // namespace

void addMenuSettings(std::vector<SettingDef>& defs) {
    for (int index = 0; index < kMenuEntries; ++index) {
        defs.push_back(menuSetting(index));
        defs.back().takesCheck({"chkMenu", index});
    }
    defs.push_back(timedOption("lockout", {"cboSLC"}, kSLCItems, cboSLC_Click));
    defs.back().takesItem({"cboSLC"});
    defs.push_back(timedOption("outofservice", {"cboORC"}, kORCItems, cboORC_Click));
    defs.back().takesItem({"cboORC"});
}

}  // namespace kxp40s
