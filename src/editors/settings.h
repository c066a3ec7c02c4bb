#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editors/session.h"

namespace kxp40s {

// A setting by name, as the command-line tool shows and sets it. `show`
// gives the value as the window shows it after init_ctl (nullopt when the
// stored bytes match no item: the setting cannot be shown or set back);
// `apply` does what a user does in the window to set that value, through
// the same editor operations the window's handlers call, and returns their
// effects (refused, with the editor's message, when the editor refuses).
struct SettingDef {
    std::string key;
    std::string help;  // one line: what VALUE may be
    std::function<std::optional<std::string>(const Session&)> show;
    std::function<Effects(Session&, const std::string& value)> apply;
    bool quoted = false;  // a free text: `show` output quotes it so spaces at either end survive
    bool readOnly =
        false;  // a read-out (the PLL words, the summaries): shown, never set; no `apply`
    std::string caption = {};  // the label the window shows beside the control, when it has one
};

// Every setting, in the order `show` prints them and a settings text applies
// them: the band and channel before the frequency, the language before the
// prompts, and a setting the window hides or disables after the one that
// shows or enables it. `set` refuses such a setting while it is hidden or
// disabled, naming what allows it.
std::span<const SettingDef> settingDefs();
const SettingDef* findSetting(std::string_view key);

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
