#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editors/session.h"
#include "image/control_catalogue.h"

namespace kxp40s {

// What VALUE a setting takes.
enum class SettingKind {
    Text,    // a text as typed into a box
    Check,   // "0" or "1"
    Item,    // the text of one of the items
    Index,   // the number of one of the items, from 0
    Number,  // a decimal number, within the range when there is one
};

// A setting by name, as the command-line tool shows and sets it. `show`
// gives the value as the window shows it after init_ctl (nullopt when the
// stored bytes match no item: the setting cannot be shown or set back);
// `apply` does what a user does in the window to set that value, through
// the same editor operations the window's handlers call, and returns their
// effects (refused, with the editor's message, when the editor refuses).
struct SettingDef {
    std::string key;
    // One line on what VALUE may be, where "{items}" and "{range}" stand for
    // the items and range below; empty: what the kind says (settingHelp).
    std::string help;
    std::function<std::optional<std::string>(const Session&)> show;
    std::function<Effects(Session&, const std::string& value)> apply;
    bool quoted = false;  // a free text: `show` output quotes it so spaces at either end survive
    bool readOnly =
        false;  // a read-out (the PLL words, the summaries): shown, never set; no `apply`
    std::string caption = {};  // the label the window shows beside the control, when it has one
    SettingKind kind = SettingKind::Text;
    std::vector<std::string_view> items = {};  // Item and Index: the list, index 0 first
    std::optional<ValueRange> range = {};      // Number and Index: the values taken
    std::optional<ControlId> control = {};     // the control the setting sets, when it is one

    // The value the setting takes, as the catalogue gives it for its control.
    SettingDef& takesCheck(ControlId box);
    SettingDef& takesItem(ControlId list);
    SettingDef& takesIndex(ControlId list);  // the range runs over the list's items
    SettingDef& takesNumber(ControlId box);  // the box's range, when it has one
    SettingDef& takesText(ControlId box);
    // A setting of no control: the items are its own.
    SettingDef& takesItems(std::span<const std::string_view> ownItems);
};

// The help line of a setting, its items and range filled in.
std::string settingHelp(const SettingDef& def);

// Every setting, in the order `show` prints them and a settings text applies
// them: the band and channel before the frequency, the language before the
// prompts, and a setting the window hides or disables after the one that
// shows or enables it. `set` refuses such a setting while it is hidden or
// disabled, naming what allows it.
std::span<const SettingDef> settingDefs();
const SettingDef* findSetting(std::string_view key);

// What `set` does with KEY=VALUE (`origin` names where it was given): an
// unknown key or a read-out is refused, anything else goes to the setting.
Effects applySetting(Session& s, const std::string& key, const std::string& value,
                     const std::string& origin);

// Every key `set` takes with what its VALUE may be, those that differ only in
// their numbers and function-bit letters once ("capcodeN.X.type").
std::string settingKeysHelp();

// One row of what `show` prints for a session.
struct SettingRow {
    const SettingDef* def;
    std::optional<std::string> value;    // as the window shows it; none: no item
    std::optional<std::string> refusal;  // why `set` would not take the value back
};

// Every setting's row, in order. A value is tried as `set --from` would take
// it, on the shown image itself with the rows before it applied: one that
// `set` refuses (a control the window hides, a text no box can take) carries
// the refusal, so that `show` prints it as a comment and `show A | set B
// --from -` takes back every other row.
std::vector<SettingRow> settingRows(const Session& s);

// Each editor adds its own settings.
void addFrequencySettings(std::vector<SettingDef>& defs);
void addCapcodeSettings(std::vector<SettingDef>& defs);
void addTaggedSettings(std::vector<SettingDef>& defs);
void addPromptSettings(std::vector<SettingDef>& defs);
void addMenuSettings(std::vector<SettingDef>& defs);
void addAlertSettings(std::vector<SettingDef>& defs);

// Helpers for list and check-box settings.
std::optional<int> itemIndex(std::span<const std::string_view> items, std::string_view text);
std::string itemsHelp(std::span<const std::string_view> items);  // "one of: a | b | c"
// The refusal for a value that is not an item of the list `key`.
// Refuses the setting with `text`.
Effects refusal(Session& s, std::string text);
Effects notAnItem(Session& s, std::string_view key, std::string_view value,
                  std::span<const std::string_view> items);
// The refusal for a value the key does not take (a check box given "2");
// `expected` says what it takes.
Effects badValue(Session& s, std::string_view key, std::string_view value,
                 std::string_view expected);
// "0" or "1"; nullopt for anything else.
std::optional<int> checkValue(std::string_view text);
// The shown item of a list control, nullopt when it shows none.
std::optional<std::string> shownItem(const Session& s, ControlId list,
                                     std::span<const std::string_view> items);

}  // namespace kxp40s
