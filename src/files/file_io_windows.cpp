#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>
#include <utility>

#include "files/file_io.h"
#include "files/table_file.h"

namespace kxp40s::file_io {

namespace fs = std::filesystem;

namespace {

// Closes a C runtime file handle when it goes out of scope.
class FileHandle {
  public:
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (fd_ >= 0) ::_close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

Failure failure(int error) {
    return Failure{std::strerror(error), error == ENOENT};
}

Failure systemFailure(DWORD error) {
    return Failure{std::system_category().message(static_cast<int>(error)),
                   error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND};
}

bool readUpTo(int fd, Bytes& out, std::size_t limit) {
    out.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(limit - got, 1 << 20));
        const int n = ::_read(fd, out.data() + got, chunk);
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
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, 1 << 20));
        const int n = ::_write(fd, data, chunk);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Only a regular file is opened, in binary mode and by its wide name.
std::variant<int, Failure> openRegular(const fs::path& path, struct _stat64& st) {
    if (::_wstat64(path.c_str(), &st) != 0) return failure(errno);
    if ((st.st_mode & _S_IFMT) == _S_IFDIR) return Failure{std::strerror(EISDIR)};
    if ((st.st_mode & _S_IFMT) != _S_IFREG) return Failure{kNotRegular};
    const int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) return failure(errno);
    return fd;
}

// A name no other file in the folder has, beside the target.
std::variant<std::pair<int, fs::path>, Failure> createTemporary(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device pick;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path name = folder / (L"." + target.filename().wstring() + L"." +
                                        std::to_wstring(pick() % 1000000));
        const int fd =
            ::_wsopen(name.c_str(), _O_WRONLY | _O_BINARY | _O_CREAT | _O_EXCL | _O_NOINHERIT,
                      _SH_DENYRW, _S_IREAD | _S_IWRITE);
        if (fd >= 0) return std::pair{fd, name};
        if (errno != EEXIST) return failure(errno);
    }
    return failure(EEXIST);
}

}  // namespace

std::variant<Bytes, Failure> readStart(const fs::path& path, std::size_t limit) {
    struct _stat64 st {};
    auto opened = openRegular(path, st);
    if (auto* why = std::get_if<Failure>(&opened)) return *why;
    FileHandle fd(std::get<int>(opened));
    Bytes bytes;
    if (!readUpTo(fd.get(), bytes, limit)) return failure(errno);
    return bytes;
}

std::variant<Bytes, Failure> readTail(const fs::path& path, std::size_t offset, std::size_t limit) {
    struct _stat64 st {};
    auto opened = openRegular(path, st);
    if (auto* why = std::get_if<Failure>(&opened)) {
        if (why->missing) return Bytes{};
        // A folder stands in a save's way as any other file that is not one.
        if ((st.st_mode & _S_IFMT) == _S_IFDIR) return Failure{kNotRegular};
        return *why;
    }
    FileHandle fd(std::get<int>(opened));
    if (static_cast<std::size_t>(st.st_size) > limit) return Failure{tooLong(limit)};
    if (static_cast<std::size_t>(st.st_size) <= offset) return Bytes{};
    if (::_lseeki64(fd.get(), static_cast<__int64>(offset), SEEK_SET) < 0) return failure(errno);
    Bytes tail;
    if (!readUpTo(fd.get(), tail, limit - offset + 1)) return failure(errno);
    if (tail.size() > limit - offset) return Failure{tooLong(limit)};
    return tail;
}

// _commit flushes the file to the disk before the replacing rename, so that
// a power cut leaves either the old file or the whole new one.
std::optional<Failure> replaceFile(const fs::path& target, std::span<const std::uint8_t> head,
                                   std::span<const std::uint8_t> tail) {
    auto created = createTemporary(target);
    if (auto* why = std::get_if<Failure>(&created)) return *why;
    auto [handle, temporary] = std::get<std::pair<int, fs::path>>(created);
    FileHandle fd(handle);
    const bool written =
        writeAll(fd.get(), head) && writeAll(fd.get(), tail) && ::_commit(fd.get()) == 0;
    const int writeError = errno;
    const bool closed = ::_close(fd.release()) == 0;
    std::optional<Failure> why;
    if (!written || !closed) {
        why = failure(!written ? writeError : errno);
    } else if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        why = systemFailure(::GetLastError());
    }
    if (why) ::_wunlink(temporary.c_str());
    return why;
}

}  // namespace kxp40s::file_io

namespace kxp40s {

// Windows has no file-size signal.
void ignoreFileSizeSignal() {}

}  // namespace kxp40s
