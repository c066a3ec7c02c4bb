#include "files/table_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "image/default_tables.h"

namespace kxp40s {

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

std::string reason(int error) {
    return std::strerror(error);
}

Message cannotOpen(const fs::path& path, const std::string& why) {
    return warning("Can not open [" + path.string() + "]: " + why);
}

Message cannotSave(const fs::path& path, const std::string& why) {
    return warning("Can not save [" + path.string() + "]: " + why + ". The file was not changed.");
}

Message notCorrectFormat(const fs::path& path) {
    return warning("The [" + path.string() + "] is not correct format, the file will discard !");
}

Message fileNotFound() {
    return warning("This file is not exit!");
}

// Reads up to `limit` bytes from `fd`; false with errno set on a read error.
bool readUpTo(int fd, std::vector<std::uint8_t>& out, std::size_t limit) {
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

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The bytes of an existing file past the image, which a save keeps.
// Nullopt with errno set when the file exists but cannot be read.
std::optional<std::vector<std::uint8_t>> tailOf(const fs::path& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) return std::vector<std::uint8_t>{};
        return std::nullopt;
    }
    if (::lseek(fd.get(), kImageSize, SEEK_SET) < 0) return std::nullopt;
    std::vector<std::uint8_t> tail;
    std::vector<std::uint8_t> chunk;
    do {
        if (!readUpTo(fd.get(), chunk, 1 << 16)) return std::nullopt;
        tail.insert(tail.end(), chunk.begin(), chunk.end());
    } while (!chunk.empty());
    return tail;
}

// A save replaces what the path names: through a link, the file it points to.
fs::path saveTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec) return resolved;
    }
    return path;
}

mode_t newFileMode(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool hasModelText(const Image& image) {
    const auto text = image.read(kModelTextAddress, 5);
    return std::equal(text.begin(), text.end(), kModelText);
}

TableRead readTableFile(const fs::path& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENOENT) return {std::nullopt, fileNotFound()};
        return {std::nullopt, cannotOpen(path, reason(errno))};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return {std::nullopt, cannotOpen(path, reason(errno))};
    if (S_ISDIR(st.st_mode)) return {std::nullopt, cannotOpen(path, reason(EISDIR))};
    if (!S_ISREG(st.st_mode)) return {std::nullopt, cannotOpen(path, "not a regular file")};
    std::vector<std::uint8_t> bytes;
    if (!readUpTo(fd.get(), bytes, kImageSize))
        return {std::nullopt, cannotOpen(path, reason(errno))};
    return parseTableBytes(bytes, path);
}

TableRead parseTableBytes(std::span<const std::uint8_t> bytes, const fs::path& path) {
    Image image;
    image.write(0, bytes.first(std::min<std::size_t>(bytes.size(), kImageSize)));
    if (!hasModelText(image)) return {std::nullopt, notCorrectFormat(path)};
    return {image, std::nullopt};
}

std::optional<Message> writeTableFile(const fs::path& path, const Image& image) {
    const fs::path target = saveTarget(path);
    const auto tail = tailOf(target);
    if (!tail) return cannotSave(path, reason(errno));

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) return cannotSave(path, reason(errno));
    const fs::path temporary = pattern;

    const auto bytes = image.bytes();
    const bool written = writeAll(fd.get(), bytes.data(), bytes.size()) &&
                         writeAll(fd.get(), tail->data(), tail->size()) &&
                         ::fchmod(fd.get(), newFileMode(target)) == 0 && ::fsync(fd.get()) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd.release()) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = !written ? writeError : errno;
        ::unlink(temporary.c_str());
        return cannotSave(path, reason(error));
    }
    return std::nullopt;
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
    if (bracket == std::string::npos) return caption + " - [" + path.string() + "]";
    return caption.substr(0, bracket + 1) + path.string() + "]";
}

}  // namespace kxp40s
