#include "files/file_io.h"

#include <cerrno>
#include <cstring>

#include "files/file_descriptor.h"

namespace kxp40s::file_io {

namespace fs = std::filesystem;

Failure failure(int error) {
    return Failure{std::strerror(error), error == ENOENT};
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    const std::uint8_t* data = bytes.data();
    std::size_t size = bytes.size();
    while (size > 0) {
        const long long n = writeSome(fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

// Reads up to `limit` bytes from `fd`; false with errno set on a read error.
bool readUpTo(int fd, Bytes& out, std::size_t limit) {
    out.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const long long n = readSome(fd, out.data() + got, limit - got);
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return true;
}

}  // namespace

std::variant<Bytes, Failure> readStart(const fs::path& path, std::size_t limit) {
    auto opened = openRegular(path);
    if (auto* not_opened = std::get_if<NotOpened>(&opened)) return not_opened->failure;
    FileDescriptor fd(std::get<OpenFile>(opened).fd);
    Bytes bytes;
    if (!readUpTo(fd.get(), bytes, limit)) return failure(errno);
    return bytes;
}

std::variant<Bytes, Failure> readTail(const fs::path& path, std::size_t offset, std::size_t limit) {
    auto opened = openRegular(path);
    if (auto* not_opened = std::get_if<NotOpened>(&opened)) {
        if (not_opened->failure.missing) return Bytes{};
        // A folder stands in a save's way as any other file that is not one.
        if (not_opened->folder) return Failure{kNotRegular};
        return not_opened->failure;
    }
    const OpenFile file = std::get<OpenFile>(opened);
    FileDescriptor fd(file.fd);
    if (file.size > limit) return Failure{tooLong(limit)};
    if (file.size <= offset) return Bytes{};
    if (!seekTo(fd.get(), offset)) return failure(errno);
    Bytes tail;
    // One byte more than fits tells a file that grew past the limit meanwhile.
    if (!readUpTo(fd.get(), tail, limit - offset + 1)) return failure(errno);
    if (tail.size() > limit - offset) return Failure{tooLong(limit)};
    return tail;
}

}  // namespace kxp40s::file_io
