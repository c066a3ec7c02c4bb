#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <utility>
#include <variant>

#include "files/file_io.h"

// What each system's file_io gives the reading and writing that both share:
// descriptors, the calls on them, and opening a regular file.
namespace kxp40s::file_io {

// Closes the descriptor; false with errno set when the close failed.
bool closeDescriptor(int fd);

// Reads or writes up to `size` bytes once, as read(2) and write(2) do: the
// count done, 0 at the end of a file, or -1 with errno set. An interrupted
// call is tried again.
long long readSome(int fd, std::uint8_t* into, std::size_t size);
long long writeSome(int fd, const std::uint8_t* from, std::size_t size);

// Moves to `offset` from the start; false with errno set.
bool seekTo(int fd, std::size_t offset);

// An open regular file and its size, or why it is not one: `folder` tells a
// folder in the way (of a save) from a file that is missing or unreadable.
struct OpenFile {
    int fd;
    std::uintmax_t size;
};
struct NotOpened {
    Failure failure;
    bool folder = false;
};
std::variant<OpenFile, NotOpened> openRegular(const std::filesystem::path& path);

Failure failure(int error);

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) closeDescriptor(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

// Writes all of `bytes`; false with errno set.
bool writeAll(int fd, std::span<const std::uint8_t> bytes);

}  // namespace kxp40s::file_io
