#include "sim/lpt_socket_board.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "link/socket_port_io.h"

namespace kxp40s::sim {
namespace {

constexpr int kBacklog = 4;
// A program that stops taking in its replies is dropped after this long, and
// a connect to check for a board still listening gives up after it.
constexpr timeval kReplySendTimeout{2, 0};

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

sockaddr_un socketAddress(const std::string& path) {
    const std::optional<sockaddr_un> address = lpt_wire::socketAddress(path);
    if (!address) throw std::runtime_error("the socket path " + path + " is not usable");
    return *address;
}

// A connect to a board whose queue is full would wait; the timeout bounds it.
bool someoneListens(const sockaddr_un& address) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &kReplySendTimeout, sizeof kReplySendTimeout);
    const bool answered =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

// Waits until fd is readable; false when stopFd became readable first.
bool readableBeforeStop(int fd, int stopFd) {
    for (;;) {
        std::array<pollfd, 2> fds{{{fd, POLLIN, 0}, {stopFd, POLLIN, 0}}};
        const int ready = ::poll(fds.data(), stopFd >= 0 ? 2 : 1, -1);
        if (ready < 0 && errno != EINTR) fail("poll");
        if (stopFd >= 0 && (fds[1].revents & POLLIN)) return false;
        if (fds[0].revents != 0) return true;
    }
}

// The memory's trace is the run's for as long as the run lasts.
class TraceInstalled {
  public:
    TraceInstalled(TwoWireMemory& memory, const LptSocketBoard::TraceSink& trace)
        : memory_(memory) {
        memory_.trace = trace;
    }
    TraceInstalled(const TraceInstalled&) = delete;
    TraceInstalled& operator=(const TraceInstalled&) = delete;
    ~TraceInstalled() { memory_.trace = nullptr; }

  private:
    TwoWireMemory& memory_;
};

}  // namespace

LptSocketBoard::LptSocketBoard(TwoWireMemory& memory, std::string path)
    : memory_(memory), path_(std::move(path)) {
    const sockaddr_un address = socketAddress(path_);
    claimPath();
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) fail("socket");
    const bool bound =
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!bound || ::listen(listener_, kBacklog) != 0) {
        const int error = errno;
        ::close(listener_);
        if (bound) ::unlink(path_.c_str());
        errno = error;
        fail("cannot listen at " + path_);
    }
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) inode_ = st.st_ino;
}

// Only the socket this board made goes: another board may have taken the
// path over meanwhile.
LptSocketBoard::~LptSocketBoard() {
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == inode_) {
        ::unlink(path_.c_str());
    }
    ::close(listener_);
}

void LptSocketBoard::claimPath() {
    struct stat st {};
    if (::lstat(path_.c_str(), &st) != 0) return;
    if (!S_ISSOCK(st.st_mode)) {
        throw std::runtime_error(path_ + " exists and is not a socket; it is left as it is");
    }
    if (someoneListens(socketAddress(path_))) {
        throw std::runtime_error("another board already listens at " + path_);
    }
    if (::unlink(path_.c_str()) != 0) fail("cannot replace the stale socket " + path_);
}

void LptSocketBoard::run(int stopFd, const TraceSink& trace) {
    const TraceInstalled installed(memory_, trace);
    for (;;) {
        const int client = acceptClient(stopFd);
        if (client < 0) return;
        if (trace) trace("connected");
        const bool stopped = serve(client, stopFd);
        ::close(client);
        if (trace) trace("disconnected");
        if (stopped) return;
    }
}

// The next program, or -1 once stopFd became readable.
int LptSocketBoard::acceptClient(int stopFd) {
    for (;;) {
        if (!readableBeforeStop(listener_, stopFd)) return -1;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &kReplySendTimeout,
                       sizeof kReplySendTimeout);
            return client;
        }
        if (errno != EINTR && errno != ECONNABORTED) fail("accept");
    }
}

// Answers one program until it leaves, breaks the protocol or the stop
// comes; true for the stop. What the program sent before the stop is still
// carried out (its last stop condition commits a page), but no longer
// answered, so that a busy program cannot hold the stop off.
bool LptSocketBoard::serve(int client, int stopFd) {
    std::vector<std::uint8_t> input;
    for (;;) {
        if (!readableBeforeStop(client, stopFd)) {
            while (receive(client, input, MSG_DONTWAIT) && answer(input)) {
            }
            return true;
        }
        if (!receive(client, input, 0)) return false;
        const auto replies = answer(input);
        if (!replies || !lpt_wire::sendAll(client, *replies)) return false;
    }
}

// Appends what the program sent; false when it has gone or sent nothing.
bool LptSocketBoard::receive(int client, std::vector<std::uint8_t>& input, int flags) {
    std::array<std::uint8_t, 4096> buffer{};
    ssize_t n;
    do {
        n = ::recv(client, buffer.data(), buffer.size(), flags);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return false;
    input.insert(input.end(), buffer.begin(), buffer.begin() + n);
    return true;
}

// Carries out the whole messages in `input` and takes them out of it; the
// replies to its reads, or nothing when a message is not understood.
std::optional<std::vector<std::uint8_t>> LptSocketBoard::answer(std::vector<std::uint8_t>& input) {
    std::vector<std::uint8_t> replies;
    std::size_t used = 0;
    for (; input.size() - used >= lpt_wire::kMessageSize; used += lpt_wire::kMessageSize) {
        lpt_wire::Message message{};
        std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(used), message.size(),
                    message.begin());
        const auto request = lpt_wire::decode(message);
        if (!request) return std::nullopt;
        if (request->op == lpt_wire::kWrite) {
            memory_.Out32(request->port, request->value);
        } else {
            replies.push_back(memory_.Inp32(request->port));
        }
    }
    input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(used));
    return replies;
}

}  // namespace kxp40s::sim
