#include "editors/settings.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "image/field_map.h"

namespace kxp40s {

Effects refusal(Session& s, std::string text) {
    Operation op(s);
    s.say(warning(std::move(text)));
    s.pending.refused = true;
    return op.done();
}

namespace {

// Why the window offers no way to set a setting now ("hidden while menu6=0:
// set menu6=1 first"); nullopt while it does.
using Unavailable = std::function<std::optional<std::string>(const Session&)>;

// A setting whose control the window shows only while another setting
// allows it.
struct Dependency {
    std::string key;
    std::string after;  // the setting that allows it, which it follows
    Unavailable unavailable;
};

Unavailable hiddenUnless(ControlId control, std::string why) {
    return [control, why](const Session& s) -> std::optional<std::string> {
        if (s.controls[control].visible) return std::nullopt;
        return "hidden while " + why;
    };
}

constexpr const char* kSourcePromptsOff =
    "disabled while source=Disable: set source=Forward or source=Backward first";

Unavailable sourcePromptOff(int index) {
    return [index](const Session& s) -> std::optional<std::string> {
        if (s.controls[{"chkSource", index}].enabled) return std::nullopt;
        return kSourcePromptsOff;
    };
}

Unavailable sourcePromptUnchecked(int index, std::string sourceKey) {
    return [index, sourceKey](const Session& s) -> std::optional<std::string> {
        if (s.controls[{"txtPrompt", index}].enabled) return std::nullopt;
        if (!s.controls[{"chkSource", index}].enabled) return kSourcePromptsOff;
        return "disabled while " + sourceKey + "=0: set " + sourceKey + "=1 first";
    };
}

std::vector<Dependency> dependencies() {
    std::vector<Dependency> all;
    all.push_back({"tone", "menu6",
                   hiddenUnless({"cboTone"}, "menu6=0: set menu6=1 (\"Set Alert Off\") first")});
    const std::string lamp = boundField({"chkCtl", 17}).key;
    for (const int box : {3, 21}) {
        all.push_back({boundField({"chkCtl", box}).key, lamp,
                       hiddenUnless({"chkCtl", box}, lamp + "=0: set " + lamp + "=1 first")});
    }
    const BoundField& display = boundField({"cboCtl", 3});
    all.push_back({boundField({"chkCtl", 20}).key, display.key,
                   hiddenUnless({"chkCtl", 20}, display.key + "=" + std::string(display.items[0]) +
                                                    ": set " + display.key + "=" +
                                                    std::string(display.items[1]) + " first")});
    for (int index = kFirstSourcePrompt; index <= kLastSourcePrompt; ++index) {
        const std::string sourceKey = boundField({"chkSource", index}).key;
        all.push_back({sourceKey, "source", sourcePromptOff(index)});
        all.push_back(
            {"prompt" + std::to_string(index), sourceKey, sourcePromptUnchecked(index, sourceKey)});
    }
    return all;
}

std::vector<SettingDef>::iterator keyed(std::vector<SettingDef>& defs, const std::string& key) {
    const auto def =
        std::find_if(defs.begin(), defs.end(), [&](const auto& d) { return d.key == key; });
    if (def == defs.end()) throw std::logic_error("no setting " + key);
    return def;
}

// `set` refuses a setting the window offers no way to set, naming what
// allows it; and every such setting follows the one that allows it, so that
// a settings text applied in order allows it first. Going through them
// backwards keeps settings that follow the same one in their order.
void applyDependencies(std::vector<SettingDef>& defs) {
    const auto all = dependencies();
    for (auto dependency = all.rbegin(); dependency != all.rend(); ++dependency) {
        auto def = keyed(defs, dependency->key);
        def->apply = [apply = def->apply, key = dependency->key,
                      unavailable = dependency->unavailable](Session& s, const std::string& value) {
            if (const auto why = unavailable(s)) return refusal(s, key + " is " + *why);
            return apply(s, value);
        };
        if (def < keyed(defs, dependency->after)) {
            SettingDef moved = std::move(*def);
            defs.erase(def);
            defs.insert(keyed(defs, dependency->after) + 1, std::move(moved));
        }
    }
}

std::vector<SettingDef> buildSettingDefs() {
    std::vector<SettingDef> defs;
    addFrequencySettings(defs);
    addCapcodeSettings(defs);
    addTaggedSettings(defs);
    addPromptSettings(defs);
    addMenuSettings(defs);
    addAlertSettings(defs);
    applyDependencies(defs);
    return defs;
}

}  // namespace

std::span<const SettingDef> settingDefs() {
    static const std::vector<SettingDef> defs = buildSettingDefs();
    return defs;
}

std::vector<SettingRow> settingRows(const Session& s) {
    std::vector<SettingRow> rows;
    Session replay = s;
    for (const SettingDef& def : settingDefs()) {
        if (!def.show) continue;
        SettingRow row{&def, def.show(s), std::nullopt};
        if (row.value && def.apply && !def.readOnly) {
            Session before = replay;
            const Effects effects = def.apply(replay, *row.value);
            if (effects.refused) {
                row.refusal = effects.messages.empty() ? "refused" : effects.messages.front().text;
                replay = std::move(before);
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

const SettingDef* findSetting(std::string_view key) {
    const auto defs = settingDefs();
    const auto it =
        std::find_if(defs.begin(), defs.end(), [&](const auto& d) { return d.key == key; });
    return it == defs.end() ? nullptr : &*it;
}

Effects applySetting(Session& s, const std::string& key, const std::string& value,
                     const std::string& origin) {
    const SettingDef* def = findSetting(key);
    if (!def)
        return refusal(
            s, "Unknown setting \"" + key + "\" (" + origin + "); see kxp40s-cli set --help");
    if (def->readOnly || !def->apply)
        return refusal(s, "\"" + key + "\" is a read-out and cannot be set");
    Effects effects = def->apply(s, value);
    // An editor's own message says what is wrong, not with which setting:
    // the key goes first and what the setting takes after it.
    if (effects.refused && !effects.messages.empty() &&
        effects.messages.front().text.find(key) == std::string::npos) {
        std::string& text = effects.messages.front().text;
        const std::string help = settingHelp(*def);
        text = key + ": " + text + (help.empty() ? "" : " (" + help + ")");
    }
    return effects;
}

namespace {

// "capcode3.B.type" -> "capcodeN.X.type": keys that differ only in their
// numbers and function-bit letters are listed once.
std::string keyPattern(const std::string& key) {
    std::string pattern;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const bool bitLetter = key[i] >= 'A' && key[i] <= 'D' && i > 0 && key[i - 1] == '.' &&
                               i + 1 < key.size() && key[i + 1] == '.';
        if (std::isdigit(static_cast<unsigned char>(key[i]))) {
            if (pattern.empty() || pattern.back() != 'N') pattern += 'N';
        } else {
            pattern += bitLetter ? 'X' : key[i];
        }
    }
    return pattern;
}

}  // namespace

std::string settingKeysHelp() {
    std::string help =
        "Keys (VALUE is the item text as the window's list shows it, or the text as typed;\n"
        "N is a number, X a function bit A-D):\n";
    std::vector<std::string> listed;
    for (const SettingDef& def : settingDefs()) {
        if (def.readOnly) continue;
        const std::string pattern = keyPattern(def.key);
        if (std::find(listed.begin(), listed.end(), pattern) != listed.end()) continue;
        listed.push_back(pattern);
        const std::string value = settingHelp(def);
        help += "  " + pattern + "=" + (value.empty() ? "VALUE" : value) + "\n";
    }
    return help;
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
