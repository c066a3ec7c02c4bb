#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include "files/file_io.h"
#include "files/table_file.h"

namespace kxp40s::file_io {

namespace fs = std::filesystem;

namespace {

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

Failure failure(int error) {
    return Failure{std::strerror(error), error == ENOENT};
}

// Reads up to `limit` bytes from `fd`; false with errno set on a read error.
bool readUpTo(int fd, Bytes& out, std::size_t limit) {
    out.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(fd, out.data() + got, limit - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return true;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    const std::uint8_t* data = bytes.data();
    std::size_t size = bytes.size();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Opens without blocking and checks the file once open: a FIFO put there
// meanwhile must not hang, and opening a device can do things of its own (a
// watchdog starts, a serial line raises its control lines).
std::variant<int, Failure> openRegular(const fs::path& path, struct stat& st) {
    if (::stat(path.c_str(), &st) != 0) return failure(errno);
    if (S_ISDIR(st.st_mode)) return failure(EISDIR);
    if (!S_ISREG(st.st_mode)) return Failure{kNotRegular};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failure(errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const Failure why = S_ISREG(st.st_mode) ? failure(errno) : Failure{kNotRegular};
        ::close(fd);
        return why;
    }
    return fd;
}

mode_t newFileMode(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::variant<Bytes, Failure> readStart(const fs::path& path, std::size_t limit) {
    struct stat st {};
    auto opened = openRegular(path, st);
    if (auto* why = std::get_if<Failure>(&opened)) return *why;
    FileDescriptor fd(std::get<int>(opened));
    Bytes bytes;
    if (!readUpTo(fd.get(), bytes, limit)) return failure(errno);
    return bytes;
}

std::variant<Bytes, Failure> readTail(const fs::path& path, std::size_t offset, std::size_t limit) {
    struct stat st {};
    auto opened = openRegular(path, st);
    if (auto* why = std::get_if<Failure>(&opened)) {
        if (why->missing) return Bytes{};
        // A folder stands in a save's way as any other file that is not one.
        if (S_ISDIR(st.st_mode)) return Failure{kNotRegular};
        return *why;
    }
    FileDescriptor fd(std::get<int>(opened));
    if (static_cast<std::size_t>(st.st_size) > limit) return Failure{tooLong(limit)};
    if (static_cast<std::size_t>(st.st_size) <= offset) return Bytes{};
    if (::lseek(fd.get(), static_cast<off_t>(offset), SEEK_SET) < 0) return failure(errno);
    Bytes tail;
    // One byte more than fits tells a file that grew past the limit meanwhile.
    if (!readUpTo(fd.get(), tail, limit - offset + 1)) return failure(errno);
    if (tail.size() > limit - offset) return Failure{tooLong(limit)};
    return tail;
}

std::optional<Failure> replaceFile(const fs::path& target, std::span<const std::uint8_t> head,
                                   std::span<const std::uint8_t> tail) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) return failure(errno);
    const bool written = writeAll(fd.get(), head) && writeAll(fd.get(), tail) &&
                         ::fchmod(fd.get(), newFileMode(target)) == 0 && ::fsync(fd.get()) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd.release()) == 0;
    if (!written || !closed || ::rename(pattern.c_str(), target.c_str()) != 0) {
        const int error = !written ? writeError : errno;
        ::unlink(pattern.c_str());
        return failure(error);
    }
    return std::nullopt;
}

}  // namespace kxp40s::file_io

namespace kxp40s {

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace kxp40s
