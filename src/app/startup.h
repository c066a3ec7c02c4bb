#pragma once

#include "editors/session.h"

namespace kxp40s {

// The power-on logo text that start-up centres into the logo box.
inline constexpr const char* kStartLogoText = "KAVION";

// The window's caption as the program builds it at start-up.
std::string startCaption();

// Start-up's steps before the board search: the frequency-entry error
// cleared and the caption built.
Effects startBeforeBoard(Session& s);

// Start-up's steps on the editors: the logo text centred and stored, the
// channel selectors at "5KHz", the fourth band added. What follows is
// "default.tbl" or the 130-180 MHz defaults.
Effects startEditors(Session& s);

// The 130-180 MHz defaults that start-up selects without "default.tbl".
Effects selectDefaultBand(Session& s);

// The built-in default tables byte for byte, before start-up changes
// anything in them (the command line's "new --defaults"). The controls are
// not reloaded: the image is meant to be saved as it is.
Effects useBuiltInTables(Session& s);

// The session right after a start-up without "default.tbl" and without a
// board: what the command line starts from, and the pager the simulator
// starts with.
Session startedSession();
Image startedImage();

}  // namespace kxp40s
