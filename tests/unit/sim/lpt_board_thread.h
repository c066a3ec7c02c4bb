#pragma once

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/clock.h"
#include "sim/lpt_socket_board.h"
#include "sim/two_wire_memory.h"

namespace kxp40s::testing {

// The parallel-port board on a Unix socket, served on a thread of the test
// from construction until stop() (or destruction). The memory runs on real
// time, as it does in the simulator; `prepare` sets it up before the thread
// starts; touch it again only once stopped.
class LptBoardThread {
  public:
    explicit LptBoardThread(const std::string& path,
                            const std::function<void(TwoWireMemory&)>& prepare = {})
        : board_(memory, path) {
        if (prepare) prepare(memory);
        thread_ = std::thread([this] {
            board_.run(stopFd_, [this](const std::string& line) {
                const std::lock_guard lock(traceMutex_);
                trace_.push_back(line);
            });
        });
    }
    LptBoardThread(const LptBoardThread&) = delete;
    LptBoardThread& operator=(const LptBoardThread&) = delete;
    ~LptBoardThread() {
        stop();
        ::close(stopFd_);
    }

    void stop() {
        if (!thread_.joinable()) return;
        const std::uint64_t one = 1;
        if (::write(stopFd_, &one, sizeof one) == sizeof one) thread_.join();
    }
    std::vector<std::string> trace() {
        const std::lock_guard lock(traceMutex_);
        return trace_;
    }

    SteadyClock clock;
    TwoWireMemory memory{clock};

  private:
    int stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    sim::LptSocketBoard board_;
    std::thread thread_;
    std::mutex traceMutex_;
    std::vector<std::string> trace_;
};

inline sockaddr_un unixAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    return address;
}

// A bare Unix socket at `path`: bound, and listening unless told otherwise,
// but never answering by itself.
inline int bareSocket(const std::string& path, bool listening = true) {
    const sockaddr_un address = unixAddress(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (listening) ::listen(fd, 4);
    return fd;
}

}  // namespace kxp40s::testing
