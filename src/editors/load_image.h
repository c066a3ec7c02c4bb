#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "editors/session.h"
#include "files/table_file.h"

namespace kxp40s {

// Replaces the image wholesale (a table file opened, a pager read): the band
// and channel step are detected from the new image, then every control is
// loaded from it.
Effects loadImage(Session& s, const Image& image);

// File > Open: after the dialog (`chosen`), or silently the current table
// file. A refused file leaves the image and the controls as they were. The
// window's caption ({"Form1"} text) then names the file.
Effects openTableFile(Session& s, TableFileState& files,
                      const std::optional<std::filesystem::path>& chosen);
// The same inside another operation: false when the file was refused (its
// message is queued).
bool openTable(Session& s, TableFileState& files,
               const std::optional<std::filesystem::path>& chosen);

// The window's caption as the program builds it at start-up.
std::string startCaption();

}  // namespace kxp40s
