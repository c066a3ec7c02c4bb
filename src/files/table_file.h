#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "image/image.h"
#include "image/message.h"

namespace kxp40s {

// A table file (".tbl") is the bare 2048-byte image, nothing before or after.
// Its only validity mark is the model text "KXP40" at bytes 993-997.

// The one filter of the Open and Save As dialogs.
inline constexpr const char* kTableFileFilter = "Table files (*.tbl)";

// Whether the name is a table file's: it ends in ".tbl", in any case (a
// file dropped on the window is taken only then).
bool isTableFileName(const std::filesystem::path& path);

struct TableRead {
    std::optional<Image> image;      // set when the file was read and passed the model check
    std::optional<Message> message;  // otherwise what to show
};

// The image a table file's first bytes give (at most 2048 are looked at; a
// shorter file leaves the rest 0), or the model check's message naming `path`.
TableRead parseTableBytes(std::span<const std::uint8_t> bytes, const std::filesystem::path& path);

// Reads the first 2048 bytes; a shorter file leaves the rest of the image 0.
// Never reads more than that, so a huge file costs no more than a small one.
TableRead readTableFile(const std::filesystem::path& path);

// Writes the image as the first 2048 bytes of `path`, keeping the bytes of an
// existing longer file past 2048. The new content goes to a temporary file in
// the same folder that then replaces the old one, so that a failure at any
// point leaves the old file exactly as it was. Through symbolic links the
// file they end at is written (and created when it is not there yet); a
// target that is there and is not a regular file (a device, a FIFO, a
// folder) is refused, and so is a file longer than a table file can be.
// Returns the message to show on failure.
std::optional<Message> writeTableFile(const std::filesystem::path& path, const Image& image);

// A write past the process's file-size limit (`ulimit -f`) raises SIGXFSZ,
// which would end the program before a save can report the failure and
// remove its temporary file. Every program's main() calls this first.
void ignoreFileSizeSignal();

bool hasModelText(const Image& image);

// The module state of the file commands.
struct TableFileState {
    std::filesystem::path ProgramDirectory;
    std::filesystem::path CurrentTableFile;  // the target of Save
    bool SilentFileCommand = false;
};

// Start-up: Save before any dialog writes "default.tbl" in the program's folder.
TableFileState initialTableFileState(const std::filesystem::path& programDirectory);

// File > Open after the dialog (`chosen`), or silently `CurrentTableFile` when
// `chosen` is empty. `CurrentTableFile` takes the chosen path only once the
// file has passed the model check, so a rejected foreign file can never
// become the target of a later Save.
TableRead mnuLBFF_Click(TableFileState& state, const std::optional<std::filesystem::path>& chosen);

// Save As asks this Yes/No question (no icon) before it overwrites a file
// chosen in the dialog; nullopt when the file does not exist.
std::optional<Message> overwriteQuestion(const std::filesystem::path& chosen);

// File > Save As after the dialog and the overwrite question (`chosen`), or
// File > Save (`chosen` empty: `CurrentTableFile`). Returns the failure to show.
std::optional<Message> mnuSA_Click(TableFileState& state, const Image& image,
                                   const std::optional<std::filesystem::path>& chosen);

// The window caption with the file's path: everything up to the first "["
// is kept and the path and "]" follow; a caption without "[" gets " - [",
// the path and "]".
std::string captionWithPath(const std::string& caption, const std::filesystem::path& path);

}  // namespace kxp40s
