#pragma once

#include <optional>

#include "image/controls.h"
#include "image/field_map.h"
#include "image/image.h"

namespace kxp40s {

// Load rules: what a bound control shows for the image's field.

// A check box's value (0 or 1) by its kind: "chk" shows the field, "chkN" is
// checked when the field is 0, "chkSource" is checked when the byte is 1.
int checkValueOf(const Image& image, const BoundField& field);

// A list's index for the field; nullopt when no item matches the stored value.
std::optional<int> listIndexOf(const Image& image, const BoundField& field);

// The logo list maps pager codes to items: 0 or 1 English(Large), 2
// English(Small), 5 Spanish, 6 French, 8 German, 11 Danish, 15 Swedish.
std::optional<int> logoIndexOfCode(int code);
int logoCodeOfIndex(int index);

// Store rules: a user's change to a bound control, written through its Tag at
// once, with the side effects the window shows. `value` is the box's new
// value (0 or 1) or the list's new index (std::out_of_range when the list has
// no such item). The window's handlers chkCtl_Click, cboCtl_Click and
// chkSource_Click call these.
void storeCheckBox(Image& image, Controls& controls, int index, int value);
void storeList(Image& image, Controls& controls, int index, int listIndex);
void storeSourceEnable(Image& image, Controls& controls, int index, int value);

// The three settings that follow the baud rate (&H61 bits 0-1, &H62, &H63
// bits 6-7); indexes other than 0-2 change nothing.
void applyBaudSettings(Image& image, int listIndex);

// Fills every tagged check box and list from the image, in table order, with
// the visibility and enablement that follow from them. Loading shows and does
// not store, with one exception the pager relies on: the baud list rewrites
// its three dependent settings. Returns the load error code: 0, or 1 when a
// list's field matches none of its items; such a list shows no item and the
// other controls load all the same.
int loadTaggedControls(Image& image, Controls& controls);

}  // namespace kxp40s
