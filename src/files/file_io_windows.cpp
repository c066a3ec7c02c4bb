#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <system_error>
#include <utility>

#include "files/file_descriptor.h"
#include "files/file_io.h"
#include "files/table_file.h"

namespace kxp40s::file_io {

namespace fs = std::filesystem;

bool closeDescriptor(int fd) {
    return ::_close(fd) == 0;
}

// The C runtime counts in int: a call moves at most a megabyte.
long long readSome(int fd, std::uint8_t* into, std::size_t size) {
    return ::_read(fd, into, static_cast<unsigned>(std::min<std::size_t>(size, 1 << 20)));
}

long long writeSome(int fd, const std::uint8_t* from, std::size_t size) {
    return ::_write(fd, from, static_cast<unsigned>(std::min<std::size_t>(size, 1 << 20)));
}

bool seekTo(int fd, std::size_t offset) {
    return ::_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) >= 0;
}

// Only a regular file is opened, in binary mode and by its wide name.
std::variant<OpenFile, NotOpened> openRegular(const fs::path& path) {
    struct _stat64 st {};
    if (::_wstat64(path.c_str(), &st) != 0) return NotOpened{failure(errno)};
    if ((st.st_mode & _S_IFMT) == _S_IFDIR) return NotOpened{failure(EISDIR), true};
    if ((st.st_mode & _S_IFMT) != _S_IFREG) return NotOpened{Failure{kNotRegular}};
    const int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) return NotOpened{failure(errno)};
    return OpenFile{fd, static_cast<std::uintmax_t>(st.st_size)};
}

namespace {

Failure systemFailure(DWORD error) {
    return Failure{std::system_category().message(static_cast<int>(error)),
                   error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND};
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

// _commit flushes the file to the disk before the replacing rename, so that
// a power cut leaves either the old file or the whole new one.
std::optional<Failure> replaceFile(const fs::path& target, std::span<const std::uint8_t> head,
                                   std::span<const std::uint8_t> tail) {
    auto created = createTemporary(target);
    if (auto* why = std::get_if<Failure>(&created)) return *why;
    auto [handle, temporary] = std::get<std::pair<int, fs::path>>(created);
    FileDescriptor fd(handle);
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
