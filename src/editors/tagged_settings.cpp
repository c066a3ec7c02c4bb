#include "editors/settings.h"
#include "editors/tagged.h"
#include "image/field_map.h"

namespace kxp40s {

namespace {

SettingDef checkBoxSetting(const BoundField& field) {
    const bool source = *field.field.kind == FieldKind::chkSource;
    const ControlId control = field.control;
    const std::string key = field.key;
    return SettingDef{
        field.key,
        "",
        [control](const Session& s) -> std::optional<std::string> {
            return std::to_string(s.controls[control].value);
        },
        [control, key, source](Session& s, const std::string& value) {
            const auto checked = checkValue(value);
            if (!checked) return badValue(s, key, value, "0 or 1");
            return source ? chkSource_Click(s, control.index(), *checked)
                          : chkCtl_Click(s, control.index(), *checked);
        },
        false,
        false,
        source ? "Enable " + promptBox(control.index()).label : std::string(field.caption)}
        .takesCheck(control);
}

SettingDef listSetting(const BoundField& field) {
    const ControlId control = field.control;
    const std::string key = field.key;
    const std::vector<std::string_view> items = field.items;
    return SettingDef{field.key,
                      "",
                      [control, items](const Session& s) { return shownItem(s, control, items); },
                      [control, key, items](Session& s, const std::string& value) {
                          const auto index = itemIndex(items, value);
                          if (!index) return notAnItem(s, key, value, items);
                          return cboCtl_Click(s, control.index(), *index);
                      },
                      false,
                      false,
                      std::string(field.caption)}
        .takesItem(control);
}

}  // namespace

// Every tagged check box and list but the logo list, which the prompt editor owns.
void addTaggedSettings(std::vector<SettingDef>& defs) {
    for (const BoundField& field : boundFields()) {
        if (*field.field.kind == FieldKind::Lng) continue;
        defs.push_back(field.isList() ? listSetting(field) : checkBoxSetting(field));
    }
}

}  // namespace kxp40s
