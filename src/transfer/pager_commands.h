#pragma once

#include <functional>

#include "transfer/transfer.h"

namespace kxp40s {

// The Pager menu's commands as the window runs them. The face moves the
// focus away from an entry box first, so that a half-typed entry is checked;
// a frequency entry refused then (FreqEntryError) cancels the command.
// Each returns false when the command did not run for that reason.
bool mnuEntire_Click(Transfer& t);  // Read
bool mnuEB1_Click(Transfer& t);     // "Verfy"

// Write. Without auto-increase it writes and, when that went well, verifies.
// With auto-increase the transfer window stays open for a series: `series`
// runs it (pressing Write calls cmdWrite_Click for each pager) and returns
// when the user leaves. Either way the texts go back to the PC's letters and
// the window is reloaded at the end.
bool mnuEB_Click(Transfer& t, const std::function<void(Transfer&)>& series);

// One pager of a series: write, verify, then count the chosen capcodes up.
void cmdWrite_Click(Transfer& t);

// Counts capcode `index` (0 or 1) up by one, refusing at 2097151.
void set_capcode(Transfer& t, int index);

}  // namespace kxp40s
