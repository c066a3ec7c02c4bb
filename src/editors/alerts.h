#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "editors/session.h"
#include "image/control_catalogue.h"

namespace kxp40s {

// The pager's code of each item of the alert tone list `cboTone`.
inline constexpr std::array<std::uint8_t, 14> kToneCodes = {1,  2,  3,  4,  17, 18, 19,
                                                            20, 21, 22, 23, 24, 32, 49};
inline constexpr int kMusic1Item =
    4;  // the tone the pager falls back to when its alert menu returns

// The gauge value of each item of the three battery gauge lists
// `cboBatLev`(0 = Low, 1 = Med, 2 = High).
inline constexpr std::array<std::uint8_t, 13> kBatteryValues = {235, 227, 220, 213, 207, 201, 192,
                                                                183, 177, 170, 162, 156, 149};
inline constexpr int kBatteryLevels = 3;

// The codes of the alert dialog's lists: the personal/group length and, per
// mail drop, "Disable" (enable bit 0) or an alert code with the enable bit set.
inline constexpr std::array<std::uint8_t, 5> kPersonalCodes = {2, 8, 16, 32, 0};
inline constexpr std::array<std::uint8_t, 4> kMailDropCodes = {0, 0, 1,
                                                               16};  // item 0 stores no code
static_assert(kToneCodes.size() == kToneItems.size() &&
              kBatteryValues.size() == kBatteryItems.size() &&
              kPersonalCodes.size() == kPersonalItems.size() &&
              kMailDropCodes.size() == kMailDropItems.size());

inline constexpr int kContrastMin = kContrastRange.min;
inline constexpr int kContrastMax = kContrastRange.max;

// What the dialog's lists show for the image (nullopt: no item matches).
std::optional<int> personalIndex(const Image& image);
std::optional<int> mailDropIndex(const Image& image, int mailDrop);  // mail drop 1-15

// Loaders called by init_ctl.
void read_contrast(Session& s);
void read_BatLev(Session& s);
void read_Alert(Session& s);
void read_SetAlarm(Session& s);

Effects cboTone_Click(Session& s, int listIndex);
Effects cboBatLev_Click(Session& s, int index, int listIndex);

// "Alert Length Select" opens the dialog `Form6`: {"cboPersonal"} and
// {"cboMailAler", 0-14}. The main window's summary labels are {"lblLength",
// 0-15} and {"lblMemory", 0-15} (index 0: personal and group).
Effects cmdAlert_Click(Session& s);
Effects Form6_Load(Session& s);
Effects cboPersonal_Click(Session& s, int listIndex);
Effects cboMailAler_Click(Session& s, int index, int listIndex);

// The contrast slider {"Slider1"} moved to `value` (1-8). {"lblValue"} shows
// the value; {"lblContrast"}'s value is the grey level of its text colour.
Effects Slider1_Change(Session& s, int value);

}  // namespace kxp40s
