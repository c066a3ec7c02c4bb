#pragma once

#include "editors/session.h"
#include "files/table_file.h"

namespace kxp40s {

// The power-on logo text that start-up centres into the logo box.
inline constexpr const char* kStartLogoText = "KAVION";

// The editors' part of the program's start-up, after the board search: the
// logo text centred and stored, the channel selectors at "5KHz", the fourth
// band added, then "default.tbl" from the program's folder when it exists,
// else the 130-180 MHz defaults. Returns the messages to show (a rejected
// "default.tbl").
Effects startUp(Session& s, TableFileState& files);

}  // namespace kxp40s
