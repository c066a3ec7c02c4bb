#include "link/socket_port_io.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kxp40s {

namespace lpt_wire {

Message encode(const Request& request) {
    return {request.op, static_cast<std::uint8_t>(request.port >> 8),
            static_cast<std::uint8_t>(request.port & 0xFF), request.value};
}

std::optional<Request> decode(const Message& message) {
    if (message[0] != kWrite && message[0] != kRead) return std::nullopt;
    return Request{message[0], static_cast<std::uint16_t>((message[1] << 8) | message[2]),
                   message[3]};
}

std::optional<sockaddr_un> socketAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return std::nullopt;
    path.copy(address.sun_path, path.size());
    return address;
}

bool sendAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

}  // namespace lpt_wire

namespace {

constexpr std::uint8_t kNothingAttached = 0xFF;
constexpr std::size_t kBatchBytes = 4096;

std::string reason(int error, std::chrono::milliseconds timeout) {
    switch (error) {
        case ENOENT:
            return "there is no such socket";
        case ECONNREFUSED:
            return "nothing listens there";
        case EPIPE:
        case ECONNRESET:
            return "it closed the connection";
        case EAGAIN:
            return "no reply within " + std::to_string(timeout.count()) +
                   " ms (is another program using it?)";
        default:
            return std::strerror(error);
    }
}

void setTimeout(int fd, int option, std::chrono::milliseconds timeout) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(timeout).count();
    const timeval tv{static_cast<time_t>(us / 1000000), static_cast<suseconds_t>(us % 1000000)};
    setsockopt(fd, SOL_SOCKET, option, &tv, sizeof tv);
}

}  // namespace

SocketPortIo::SocketPortIo(std::string path, std::chrono::milliseconds replyTimeout)
    : path_(std::move(path)), replyTimeout_(replyTimeout) {}

SocketPortIo::~SocketPortIo() {
    flush();
    if (fd_ >= 0) ::close(fd_);
}

void SocketPortIo::fail(const std::string& what, const std::string& why) {
    problem_ = "The simulated parallel-port board at " + path_ + " " + what + ": " + why + ".";
    state_ = State::Failed;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

// Both timeouts bound every wait on the board: a connect to a full backlog,
// a write the board does not take in, a reply that does not come.
void SocketPortIo::connect() {
    const std::optional<sockaddr_un> address = lpt_wire::socketAddress(path_);
    if (!address) {
        fail("does not answer", "the path is not usable for a socket");
        return;
    }
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        fail("does not answer", std::strerror(errno));
        return;
    }
    setTimeout(fd_, SO_SNDTIMEO, replyTimeout_);
    setTimeout(fd_, SO_RCVTIMEO, replyTimeout_);
    int rc;
    do {
        rc = ::connect(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        fail("does not answer", reason(errno, replyTimeout_));
        return;
    }
    state_ = State::Connected;
}

bool SocketPortIo::ready() {
    if (state_ == State::Unconnected) connect();
    return state_ == State::Connected;
}

void SocketPortIo::hold(const lpt_wire::Message& message) {
    held_.insert(held_.end(), message.begin(), message.end());
}

bool SocketPortIo::sendHeld() {
    const bool sent = lpt_wire::sendAll(fd_, held_);
    held_.clear();
    if (!sent) fail("stopped answering", reason(errno, replyTimeout_));
    return sent;
}

void SocketPortIo::flush() {
    if (state_ == State::Connected) sendHeld();
}

std::optional<std::uint8_t> SocketPortIo::receiveReply() {
    for (;;) {
        std::uint8_t byte = 0;
        const ssize_t n = ::recv(fd_, &byte, 1, 0);
        if (n == 1) return byte;
        if (n == 0) {
            fail("stopped answering", "it closed the connection");
            return std::nullopt;
        }
        if (errno != EINTR) {
            fail("stopped answering", reason(errno, replyTimeout_));
            return std::nullopt;
        }
    }
}

void SocketPortIo::Out32(std::uint16_t port, std::uint8_t value) {
    if (!ready()) return;
    hold(lpt_wire::encode({lpt_wire::kWrite, port, value}));
    if (held_.size() >= kBatchBytes) sendHeld();
}

std::uint8_t SocketPortIo::Inp32(std::uint16_t port) {
    if (!ready()) return kNothingAttached;
    hold(lpt_wire::encode({lpt_wire::kRead, port, 0}));
    if (!sendHeld()) return kNothingAttached;
    return receiveReply().value_or(kNothingAttached);
}

}  // namespace kxp40s
