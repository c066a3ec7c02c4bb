#include "link/termios_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace kxp40s {
namespace {

// A write that finds the output buffer full waits this long for room before
// it reports an error: a 145-byte frame at 9600 baud needs about 150 ms.
constexpr int kWriteRoomWaitMs = 1000;

// EBUSY: another program set TIOCEXCL; EACCES: the device's group (dialout
// on Debian) does not include this user.
int openFailure(int error) {
    if (error == EBUSY) return SerialPort::kPortBusy;
    if (error == EACCES || error == EPERM) return SerialPort::kPortDenied;
    return SerialPort::kPortError;
}

bool isGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

}  // namespace

TermiosSerialPort::~TermiosSerialPort() {
    close();
}

int TermiosSerialPort::open(const std::string& name) {
    close();
    const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return openFailure(errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return kPortBusy;
    }
    fd_ = fd;
    gone_ = false;
    termios found{};
    if (tcgetattr(fd_, &found) == 0) found_ = found;
    ::ioctl(fd_, TIOCEXCL);
    return kOk;
}

int TermiosSerialPort::close() {
    if (fd_ < 0) return kNotOpen;
    if (found_ && !gone_) tcsetattr(fd_, TCSANOW, &*found_);
    // The exclusive mode stays with the device while anyone else has it open.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    gone_ = false;
    found_.reset();
    return kOk;
}

int TermiosSerialPort::setup9600() {
    if (fd_ < 0) return kNotOpen;
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) return failure(errno);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) return failure(errno);
    return kOk;
}

int TermiosSerialPort::flush() {
    if (fd_ < 0) return kNotOpen;
    if (gone_) return kPortGone;
    if (tcflush(fd_, TCIOFLUSH) != 0) return failure(errno);
    return kOk;
}

int TermiosSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) return kNotOpen;
    if (gone_) return kPortGone;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return failure(errno);
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, kWriteRoomWaitMs) <= 0 || (p.revents & (POLLHUP | POLLERR))) {
            return failure(EIO);
        }
    }
    return static_cast<int>(done);
}

int TermiosSerialPort::read(std::span<std::uint8_t> bytes) {
    if (fd_ < 0) return kNotOpen;
    if (gone_) return kPortGone;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            break;
        } else {
            return failure(n == 0 ? EIO : errno);
        }
    }
    return static_cast<int>(done);
}

int TermiosSerialPort::getch() {
    std::uint8_t byte = 0;
    const int n = read(std::span(&byte, 1));
    if (n < 0) return n;
    if (n == 0) return hungUp() ? failure(EIO) : kNoByte;
    return byte;
}

int TermiosSerialPort::bytesWaiting() {
    if (fd_ < 0) return kNotOpen;
    if (gone_) return kPortGone;
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0) return failure(errno);
    if (waiting == 0 && hungUp()) return failure(EIO);
    return waiting;
}

int TermiosSerialPort::lineStatus() {
    return fd_ >= 0 ? kOk : kNotOpen;
}

int TermiosSerialPort::failure(int error) {
    if (isGoneError(error)) {
        gone_ = true;
        return kPortGone;
    }
    return kPortError;
}

std::unique_ptr<SerialPort> makeSystemSerialPort() {
    return std::make_unique<TermiosSerialPort>();
}

bool TermiosSerialPort::hungUp() const {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace kxp40s
