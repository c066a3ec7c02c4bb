#include "files/table_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>
#include <variant>
#include <vector>

#include "image/default_tables.h"
#include "image/pager_map.h"

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

constexpr const char* kNotRegular = "not a regular file";

// What a save carries over from an existing file: the table file's own
// 2048 bytes and a tail that some tools leave behind. A longer file is not
// a table file; it is refused rather than copied whole.
constexpr std::size_t kTableFileLimit = std::size_t{1} << 20;

std::string tooLong() {
    return "longer than a table file can be (" + std::to_string(kTableFileLimit) + " bytes)";
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

// What stands in the way of saving over `target`, as the reason to show.
struct SaveRefusal {
    std::string why;
};

// Only a regular file is ever opened: opening a device can do things of its
// own (a watchdog starts, a serial line raises its control lines).
std::optional<SaveRefusal> notARegularFile(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt;
        return SaveRefusal{reason(errno)};
    }
    if (!S_ISREG(st.st_mode)) return SaveRefusal{kNotRegular};
    return std::nullopt;
}

// The bytes of an existing regular file past the image, which a save keeps.
// The file is opened without blocking and checked again once open (a FIFO
// put there meanwhile must not hang the save), and read no further than a
// table file can hold.
std::variant<std::vector<std::uint8_t>, SaveRefusal> tailOf(const fs::path& target) {
    if (auto refusal = notARegularFile(target)) return *refusal;
    FileDescriptor fd(::open(target.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) return std::vector<std::uint8_t>{};
        return SaveRefusal{reason(errno)};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return SaveRefusal{reason(errno)};
    if (!S_ISREG(st.st_mode)) return SaveRefusal{kNotRegular};
    if (static_cast<std::size_t>(st.st_size) > kTableFileLimit) return SaveRefusal{tooLong()};
    if (st.st_size <= kImageSize) return std::vector<std::uint8_t>{};
    if (::lseek(fd.get(), kImageSize, SEEK_SET) < 0) return SaveRefusal{reason(errno)};
    std::vector<std::uint8_t> tail;
    // One byte more than fits tells a file that grew past the limit meanwhile.
    if (!readUpTo(fd.get(), tail, kTableFileLimit - kImageSize + 1))
        return SaveRefusal{reason(errno)};
    if (tail.size() > kTableFileLimit - kImageSize) return SaveRefusal{tooLong()};
    return tail;
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

mode_t newFileMode(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool hasModelText(const Image& image) {
    const auto text = image.read(pager::kModel.address, pager::kModel.length);
    return std::equal(text.begin(), text.end(), pager::kModelText.begin());
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
    if (!S_ISREG(st.st_mode)) return {std::nullopt, cannotOpen(path, kNotRegular)};
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
    const auto tailOrRefusal = tailOf(target);
    if (const auto* refusal = std::get_if<SaveRefusal>(&tailOrRefusal))
        return cannotSave(path, refusal->why);
    const auto* tail = std::get_if<std::vector<std::uint8_t>>(&tailOrRefusal);

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

bool isTableFileName(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".tbl";
}

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
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
