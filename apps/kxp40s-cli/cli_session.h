#pragma once

#include <string>

#include "cli.h"
#include "editors/session.h"

namespace kxp40s::cli {

// A table file's image; Refusal with the file's message when it cannot be had.
Image loadTable(const std::string& path);
void saveTable(const std::string& path, const Image& image);

// What the window shows as message boxes along the way (a warning while a
// list loads, say) goes to stderr; the command goes on.
void reportMessages(const Effects& effects, Streams& io);

// The window's state right after start-up without "default.tbl".
Session startedSession(Streams& io);

// The window's state after File > Open of the table file at `path`.
Session openedSession(const std::string& path, Streams& io);

}  // namespace kxp40s::cli
