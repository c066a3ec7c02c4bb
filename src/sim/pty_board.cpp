#include "sim/pty_board.h"

#include <signal.h>
#include <sys/signalfd.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "link/tracing_serial_port.h"

namespace kxp40s::sim {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kByteTime = std::chrono::microseconds(1042);  // 10 bits at 9600 baud
constexpr int kIdlePollMs = 200;

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void makeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) fail("tcgetattr");
    cfmakeraw(&tio);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) fail("tcsetattr");
}

}  // namespace

std::string traceLine(const Exchange& exchange) {
    std::string line =
        "frame " + std::to_string(exchange.number) + " RX " + hexBytes(exchange.request) + " TX ";
    line += exchange.reply ? hexBytes(exchange.reply->bytes) : std::string("-");
    if (exchange.fault) line += " fault " + faultName(*exchange.fault);
    return line;
}

PtyBoard::PtyBoard(PagerBoard& board, bool paced) : board_(board), paced_(paced) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) fail("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) fail("grantpt");
    const char* name = ptsname(master_);
    if (name == nullptr) fail("ptsname");
    slavePath_ = name;
    // Holding the slave open keeps the master readable between the host's
    // sessions; the raw mode keeps the line discipline off the bytes until
    // the host sets the port up itself.
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) fail("open " + slavePath_);
    makeRaw(slave_);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyBoard::~PtyBoard() {
    unplug();
}

void PtyBoard::plug(const std::string& linkPath) {
    std::error_code ec;
    std::filesystem::remove(linkPath, ec);
    std::filesystem::create_symlink(slavePath_, linkPath, ec);
    if (ec) throw std::runtime_error("cannot create " + linkPath + ": " + ec.message());
    plugPath_ = linkPath;
}

void PtyBoard::unplug() {
    if (!plugPath_.empty()) {
        std::error_code ec;
        std::filesystem::remove(plugPath_, ec);
        plugPath_.clear();
    }
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

void PtyBoard::run(int stopFd, const TraceSink& trace) {
    while (master_ >= 0) {
        std::array<pollfd, 2> fds{{{master_, POLLIN, 0}, {stopFd, POLLIN, 0}}};
        const int ready = ::poll(fds.data(), stopFd >= 0 ? 2 : 1, pollTimeoutMs());
        if (ready < 0 && errno != EINTR) fail("poll");
        if (stopFd >= 0 && (fds[1].revents & POLLIN)) break;
        if (fds[0].revents & POLLIN) takeInput(trace);
        sendDueBytes();
        if (unplugDue()) break;
    }
    unplug();
}

void PtyBoard::takeInput(const TraceSink& trace) {
    std::array<std::uint8_t, 512> buffer{};
    const ssize_t n = ::read(master_, buffer.data(), buffer.size());
    if (n <= 0) return;
    const auto now = Clock::now();
    const auto arrival = paced_ ? std::max(now, inputFree_) + kByteTime * n : now;
    inputFree_ = arrival;
    for (const auto& exchange :
         board_.receive(std::span(buffer.data(), static_cast<std::size_t>(n)))) {
        if (trace) trace(traceLine(exchange));
        if (exchange.reply) schedule(*exchange.reply, arrival);
    }
}

void PtyBoard::schedule(const BoardReply& reply, TimePoint arrival) {
    auto due = std::max(arrival, outputFree_) + std::chrono::milliseconds(reply.delayMs);
    for (std::uint8_t byte : reply.bytes) {
        if (paced_) due += kByteTime;
        pending_.push_back({due, byte});
    }
    outputFree_ = due;
    unplugWhenSent_ = unplugWhenSent_ || reply.unplugAfter;
}

void PtyBoard::sendDueBytes() {
    const auto now = Clock::now();
    std::vector<std::uint8_t> due;
    for (const auto& b : pending_) {
        if (b.due > now) break;
        due.push_back(b.byte);
    }
    if (due.empty()) return;
    const ssize_t n = ::write(master_, due.data(), due.size());
    if (n > 0) pending_.erase(pending_.begin(), pending_.begin() + n);
}

bool PtyBoard::unplugDue() const {
    return unplugWhenSent_ && pending_.empty();
}

int PtyBoard::pollTimeoutMs() const {
    if (pending_.empty()) return kIdlePollMs;
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(pending_.front().due - Clock::now());
    return static_cast<int>(std::clamp<long long>(wait.count(), 0, kIdlePollMs));
}

int stopSignalsFd() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

}  // namespace kxp40s::sim
