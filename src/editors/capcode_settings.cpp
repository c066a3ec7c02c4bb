#include <string>

#include "editors/capcodes.h"
#include "editors/settings.h"

namespace kxp40s {

namespace {

constexpr const char* kBitLetters = "ABCD";

std::string slotKey(int slot) {
    return "capcode" + std::to_string(slot + 1);
}

std::string bitKey(int slot, int bit, const char* what) {
    return slotKey(slot) + "." + kBitLetters[bit] + "." + what;
}

std::optional<std::string> itemText(std::span<const std::string_view> items,
                                    std::optional<int> index) {
    if (!index) return std::nullopt;
    return std::string(items[static_cast<std::size_t>(*index)]);
}

// A text box as the user fills it: click in (the box empties), type the text,
// release the key, leave the box. A refused entry keeps the focus. The box
// takes at most `length` characters, and leaving it empty sets nothing (the
// stored value shows again): both are refused, as the box never holds them.
template <class GotFocus, class KeyUp, class LostFocus>
Effects typeIntoBox(Session& s, const std::string& key, const std::string& value, int length,
                    const std::string& expected, GotFocus gotFocus, KeyUp keyUp,
                    LostFocus lostFocus) {
    if (value.empty() || value.size() > static_cast<std::size_t>(length)) {
        return badValue(s, key, value,
                        "1 to " + std::to_string(length) + " characters: " + expected);
    }
    Operation op(s);
    gotFocus();
    keyUp();
    if (!s.pending.refused) lostFocus();
    return op.done();
}

constexpr const char* kCapcodeHelp = "the capcode, decimal 0 to 2097151";

SettingDef capcodeSetting(int slot) {
    return {slotKey(slot), "the capcode, decimal {range}",
            [slot](const Session& s) -> std::optional<std::string> {
                return s.controls[{"txtAddr", slot}].text;
            },
            [slot](Session& s, const std::string& value) {
                return typeIntoBox(
                    s, slotKey(slot), value, kCapcodeBoxLength, kCapcodeHelp,
                    [&] { txtAddr_GotFocus(s, slot); }, [&] { txtAddr_KeyUp(s, slot, value); },
                    [&] { txtAddr_LostFocus(s, slot); });
            }};
}

// A list of the function-bit dialog: open the dialog of the slot, choose the item.
template <class Index, class Click>
SettingDef functionBitList(int slot, int bit, const char* what,
                           std::span<const std::string_view> items, Index indexOf, Click click) {
    std::string key = bitKey(slot, bit, what);
    return {key, "",
            [=](const Session& s) { return itemText(items, indexOf(s.ConfigImage, slot, bit)); },
            [=](Session& s, const std::string& value) {
                const auto index = itemIndex(items, value);
                if (!index) return notAnItem(s, key, value, items);
                Operation op(s);
                cmdFunc_Click(s, slot);
                click(s, bit, *index);
                return op.done();
            }};
}

SettingDef prioritySetting(int slot, int bit) {
    std::string key = bitKey(slot, bit, "priority");
    return {key, "0 or 1 (1: priority alert)",
            [=](const Session& s) -> std::optional<std::string> {
                return std::to_string(priorityOf(s.ConfigImage, slot, bit));
            },
            [=](Session& s, const std::string& value) {
                const auto checked = checkValue(value);
                if (!checked) return badValue(s, key, value, "0 or 1");
                Operation op(s);
                cmdFunc_Click(s, slot);
                chkPri_Click(s, bit, *checked);
                return op.done();
            }};
}

SettingDef summarySetting(int slot) {
    SettingDef def;
    def.key = slotKey(slot) + ".summary";
    def.help = "the function bits A-D: message type, display, priority (read-only)";
    def.show = [slot](const Session& s) -> std::optional<std::string> {
        return "Type " + s.controls[{"tlblType", slot}].text + " Disp " +
               s.controls[{"tlblDisp", slot}].text + " Pri " + s.controls[{"tlblPri", slot}].text;
    };
    def.readOnly = true;
    return def;
}

constexpr const char* kPasswordHelp = "the pager password, 4 decimal digits";
constexpr int kPasswordBoxLength = 4;

// A stored byte above 9 shows more than four digits, which the box cannot
// take back: `show` then prints the row as a comment.
SettingDef passwordSetting() {
    return {
        "password", kPasswordHelp,
        [](const Session& s) -> std::optional<std::string> { return s.controls[{"txtPass"}].text; },
        [](Session& s, const std::string& value) {
            // Five digits are refused as the window's box refuses them.
            if (value.size() > static_cast<std::size_t>(kPasswordBoxLength))
                return refusal(s, kPasswordOutOfRange);
            return typeIntoBox(
                s, "password", value, kPasswordBoxLength, kPasswordHelp,
                [&] { txtPass_GotFocus(s); }, [&] { txtPass_KeyUp(s, value); },
                [&] { txtPass_LostFocus(s); });
        }};
}

}  // namespace

void addCapcodeSettings(std::vector<SettingDef>& defs) {
    for (int slot = 0; slot < kCapcodeSlots; ++slot) {
        defs.push_back(capcodeSetting(slot));
        defs.back().takesNumber({"txtAddr", slot});
        for (int bit = 0; bit < kFunctionBits; ++bit) {
            defs.push_back(
                functionBitList(slot, bit, "display", kDisplayTypeItems, displayTypeIndex,
                                [](Session& s, int b, int i) { return cboDisp_Click(s, b, i); }));
            defs.back().takesItem({"cboDisp", bit});
            defs.push_back(
                functionBitList(slot, bit, "type", kMessageTypeItems, messageTypeIndex,
                                [](Session& s, int b, int i) { return cboType_Click(s, b, i); }));
            defs.back().takesItem({"cboType", bit});
            defs.push_back(prioritySetting(slot, bit));
            defs.back().takesCheck({"chkPri", bit});
        }
        defs.push_back(summarySetting(slot));
    }
    defs.push_back(passwordSetting());
    defs.back().takesNumber({"txtPass"});
}

}  // namespace kxp40s
