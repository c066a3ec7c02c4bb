#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

// The operating system's side of table files: reading and replacing a file
// so that nothing is lost on the way. The calls on the system are in one
// source file per system (file_descriptor.h says what each gives).
namespace kxp40s::file_io {

inline constexpr const char* kNotRegular = "not a regular file";

inline std::string tooLong(std::size_t limit) {
    return "longer than a table file can be (" + std::to_string(limit) + " bytes)";
}

// Why a file could not be read or written, as a message says it.
struct Failure {
    std::string why;
    bool missing = false;  // there is no such file
};

using Bytes = std::vector<std::uint8_t>;

// The first `limit` bytes (fewer when the file is shorter) of the regular
// file at `path`. A device, a FIFO or a folder is refused without being read.
std::variant<Bytes, Failure> readStart(const std::filesystem::path& path, std::size_t limit);

// The bytes past `offset` of the regular file at `path`, which a save keeps;
// empty when there is no such file. A file longer than `limit` is refused, as
// is anything that is not a regular file.
std::variant<Bytes, Failure> readTail(const std::filesystem::path& path, std::size_t offset,
                                      std::size_t limit);

// Writes `head` then `tail` to a new file in the folder of `target`, makes it
// durable and puts it in the place of `target` in one step (on POSIX systems
// with the old file's permission bits). On failure the temporary file is gone and `target` is
// as it was.
std::optional<Failure> replaceFile(const std::filesystem::path& target,
                                   std::span<const std::uint8_t> head,
                                   std::span<const std::uint8_t> tail);

}  // namespace kxp40s::file_io
