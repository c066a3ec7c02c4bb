#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "editors/session.h"
#include "image/control_catalogue.h"

namespace kxp40s {

inline constexpr std::int32_t kCapcodeMax = kCapcodeRange.max;  // 21 bits
inline constexpr int kCapcodeBoxLength = kCapcodeMaxLength;  // `txtAddr` takes at most 7 characters
inline constexpr const char* kPasswordOutOfRange = "Please insert a number between 0000 to 9999";

// The function-bit dialog's lists (kDisplayTypeItems, kMessageTypeItems): the
// stored display type is the list index, the stored message type is 0
// (Personal), 1-15 (mail drops) or 255 (Group, the last item).
inline constexpr int kGroupItem = 16;
inline constexpr std::uint8_t kGroupCode = 255;

// A text the capcode and password boxes take as a number: ASCII digits with
// at most a leading minus sign. Anything else is not numeric.
struct DecimalText {
    bool negative = false;
    std::int64_t magnitude = 0;  // saturates far above any value the boxes take
};
std::optional<DecimalText> parseDecimalText(std::string_view text);

// The capcode table: slot 0-7, 21-bit capcodes. The frame number (the low
// three bits) sits apart from the 18 address bits in the slot's second byte.
std::int32_t capcodeOf(const Image& image, int slot);
void storeCapcode(Image& image, int slot,
                  std::int32_t capcode);  // keeps byte 0 and bits 5-7 of byte 1

// Function-bit settings of slot `slot`, function bit `bit` (A = 0 ... D = 3).
int displayTypeAddress(int slot, int bit);
int messageTypeAddress(int slot, int bit);
std::uint8_t priorityOf(const Image& image, int slot, int bit);
// The dialog's list index for the stored byte; nullopt when no item matches
// (display type above 5, message type 16-254): the dialog then shows no item.
std::optional<int> displayTypeIndex(const Image& image, int slot, int bit);
std::optional<int> messageTypeIndex(const Image& image, int slot, int bit);

// Loaders called by init_ctl.
void read_capcode(Session& s);
void read_Disp(Session& s);
void read_Type(Session& s);
void read_Pri(Session& s);
void read_pass(Session& s);

char DispChar(std::uint8_t displayType);
char PriChar(std::uint8_t priority);

// The capcode boxes `txtAddr`(0-7). KeyUp takes the box's whole text.
Effects txtAddr_GotFocus(Session& s, int index);
Effects txtAddr_KeyPress(Session& s, int index, int keyAscii);  // Enter (13) moves the focus on
Effects txtAddr_KeyUp(Session& s, int index, std::string_view text);
Effects txtAddr_LostFocus(Session& s, int index);

// Counts capcode slot 0 or 1 up by one after a series write, refusing at
// 2097151 with the transfer window's warning.
Effects increaseCapcode(Session& s, int index);
// Enters `capcode` (0..2097151) into capcode box `index` as if typed there:
// the next pager's capcode in a series written from a list.
Effects enterCapcode(Session& s, int index, std::int32_t capcode);

// The function-bit dialog (`Form5`) for one capcode slot: `cmdFunc`(index)
// opens it; its controls are {"lblCapSlot"}, {"cboDisp", j}, {"cboType", j},
// {"chkPri", j}.
Effects cmdFunc_Click(Session& s, int index);
Effects Form5_Load(Session& s);
Effects cboDisp_Click(Session& s, int bit, int listIndex);
Effects cboType_Click(Session& s, int bit, int listIndex);
Effects chkPri_Click(Session& s, int bit, int value);

Effects optAuto1_Click(Session& s, int value);
Effects optAuto2_Click(Session& s, int value);

// The pager password box `txtPass`: four decimal digits, one per byte.
Effects txtPass_GotFocus(Session& s);
Effects txtPass_KeyPress(Session& s, int keyAscii);
Effects txtPass_KeyUp(Session& s, std::string_view text);
Effects txtPass_LostFocus(Session& s);

}  // namespace kxp40s
