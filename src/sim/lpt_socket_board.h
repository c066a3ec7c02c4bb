#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/two_wire_memory.h"

namespace kxp40s::sim {

// Puts a TwoWireMemory behind the parallel-port board on a Unix socket at a
// path, for SocketPortIo (the messages of lpt_wire). One program at a time is
// served, from its connect until it disconnects; the next waits until then.
// The socket file exists from construction to destruction: a stale socket
// there is replaced, anything else (a file, a board still listening) is
// refused. Failures to set the socket up throw std::runtime_error.
class LptSocketBoard {
  public:
    using TraceSink = std::function<void(const std::string& line)>;

    LptSocketBoard(TwoWireMemory& memory, std::string path);
    LptSocketBoard(const LptSocketBoard&) = delete;
    LptSocketBoard& operator=(const LptSocketBoard&) = delete;
    ~LptSocketBoard();

    const std::string& path() const { return path_; }

    // Serves programs until stopFd becomes readable (-1: never). With a trace,
    // every connect and disconnect and every start, stop and byte on the bus
    // gives a line.
    void run(int stopFd, const TraceSink& trace = {});

  private:
    void claimPath();
    int acceptClient(int stopFd);
    bool serve(int client, int stopFd);
    static bool receive(int client, std::vector<std::uint8_t>& input, int flags);
    std::optional<std::vector<std::uint8_t>> answer(std::vector<std::uint8_t>& input);

    TwoWireMemory& memory_;
    std::string path_;
    int listener_ = -1;
    ino_t inode_ = 0;
};

}  // namespace kxp40s::sim
