#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "files/file_descriptor.h"
#include "files/file_io.h"
#include "files/table_file.h"

namespace kxp40s::file_io {

namespace fs = std::filesystem;

bool closeDescriptor(int fd) {
    return ::close(fd) == 0;
}

long long readSome(int fd, std::uint8_t* into, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, into, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

long long writeSome(int fd, const std::uint8_t* from, std::size_t size) {
    for (;;) {
        const ssize_t n = ::write(fd, from, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

bool seekTo(int fd, std::size_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

// Opens without blocking and checks the file once open: a FIFO put there
// meanwhile must not hang, and opening a device can do things of its own (a
// watchdog starts, a serial line raises its control lines).
std::variant<OpenFile, NotOpened> openRegular(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return NotOpened{failure(errno)};
    if (S_ISDIR(st.st_mode)) return NotOpened{failure(EISDIR), true};
    if (!S_ISREG(st.st_mode)) return NotOpened{Failure{kNotRegular}};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return NotOpened{failure(errno)};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const Failure why = S_ISREG(st.st_mode) ? failure(errno) : Failure{kNotRegular};
        ::close(fd);
        return NotOpened{why};
    }
    return OpenFile{fd, static_cast<std::uintmax_t>(st.st_size)};
}

namespace {

mode_t newFileMode(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

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
