#include "files/table_file.h"

#include <algorithm>
#include <cctype>
#include <variant>
#include <vector>

#include "files/file_io.h"
#include "files/system.h"
#include "image/default_tables.h"
#include "image/pager_map.h"

namespace kxp40s {

namespace fs = std::filesystem;

namespace {

Message cannotOpen(const fs::path& path, const std::string& why) {
    return warning("Can not open [" + utf8Text(path) + "]: " + why);
}

Message cannotSave(const fs::path& path, const std::string& why) {
    return warning("Can not save [" + utf8Text(path) + "]: " + why + ". The file was not changed.");
}

Message notCorrectFormat(const fs::path& path) {
    return warning("The [" + utf8Text(path) + "] is not correct format, the file will discard !");
}

// What a save carries over from an existing file: the table file's own
// 2048 bytes and a tail that some tools leave behind. A longer file is not
// a table file; it is refused rather than copied whole.
constexpr std::size_t kTableFileLimit = std::size_t{1} << 20;

Message fileNotFound() {
    return warning("This file is not exit!");
}

// A save replaces what the path names: through links, the file they end at,
// whether it is there yet or not.
fs::path saveTarget(fs::path path) {
    constexpr int kMostLinks = 40;  // as the kernel follows before it gives up (ELOOP)
    std::error_code ec;
    for (int hop = 0; hop < kMostLinks && fs::is_symlink(fs::symlink_status(path, ec)); ++hop) {
        const fs::path to = fs::read_symlink(path, ec);
        if (ec) break;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return path;
}

}  // namespace

bool hasModelText(const Image& image) {
    const auto text = image.read(pager::kModel.address, pager::kModel.length);
    return std::equal(text.begin(), text.end(), pager::kModelText.begin());
}

TableRead readTableFile(const fs::path& path) {
    auto read = file_io::readStart(path, kImageSize);
    if (const auto* why = std::get_if<file_io::Failure>(&read))
        return {std::nullopt, why->missing ? fileNotFound() : cannotOpen(path, why->why)};
    return parseTableBytes(std::get<file_io::Bytes>(read), path);
}

TableRead parseTableBytes(std::span<const std::uint8_t> bytes, const fs::path& path) {
    Image image;
    image.write(0, bytes.first(std::min<std::size_t>(bytes.size(), kImageSize)));
    if (!hasModelText(image)) return {std::nullopt, notCorrectFormat(path)};
    return {image, std::nullopt};
}

std::optional<Message> writeTableFile(const fs::path& path, const Image& image) {
    const fs::path target = saveTarget(path);
    const auto tail = file_io::readTail(target, kImageSize, kTableFileLimit);
    if (const auto* refusal = std::get_if<file_io::Failure>(&tail))
        return cannotSave(path, refusal->why);
    if (const auto failure =
            file_io::replaceFile(target, image.bytes(), std::get<file_io::Bytes>(tail)))
        return cannotSave(path, failure->why);
    return std::nullopt;
}

bool isTableFileName(const fs::path& path) {
    std::string extension = utf8Text(path.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".tbl";
}

TableFileState initialTableFileState(const fs::path& programDirectory) {
    return TableFileState{programDirectory, programDirectory / "default.tbl", false};
}

TableRead mnuLBFF_Click(TableFileState& state, const std::optional<fs::path>& chosen) {
    const fs::path path = chosen.value_or(state.CurrentTableFile);
    TableRead read = readTableFile(path);
    if (read.image && chosen) state.CurrentTableFile = *chosen;
    return read;
}

std::optional<Message> overwriteQuestion(const fs::path& chosen) {
    std::error_code ec;
    if (!fs::exists(chosen, ec)) return std::nullopt;
    return Message{kTitle, "This file is arealy exist ! \r\nAre you sure overwrite this file?",
                   Icon::None, Buttons::YesNo};
}

std::optional<Message> mnuSA_Click(TableFileState& state, const Image& image,
                                   const std::optional<fs::path>& chosen) {
    const fs::path path = chosen.value_or(state.CurrentTableFile);
    auto failure = writeTableFile(path, image);
    if (!failure && chosen) state.CurrentTableFile = *chosen;
    return failure;
}

std::string captionWithPath(const std::string& caption, const fs::path& path) {
    const auto bracket = caption.find('[');
    if (bracket == std::string::npos) return caption + " - [" + utf8Text(path) + "]";
    return caption.substr(0, bracket + 1) + utf8Text(path) + "]";
}

}  // namespace kxp40s
