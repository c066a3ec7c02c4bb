#pragma once

#include <sys/un.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/lpt_bus.h"

namespace kxp40s {

// The wire between SocketPortIo and a simulated parallel-port board, over a
// Unix stream socket. Every message is four bytes: an operation, the register's
// I/O address (high byte first) and a value.
//   'W' port value: write the register. No reply: the stream keeps the order,
//                   so the next read sees the write.
//   'R' port 0:     read the register. The board replies with one byte.
// Anything else ends the connection. Writes may travel in batches: the
// board carries messages out in order whatever way they arrive.
namespace lpt_wire {

inline constexpr std::size_t kMessageSize = 4;
inline constexpr std::uint8_t kWrite = 'W';
inline constexpr std::uint8_t kRead = 'R';

using Message = std::array<std::uint8_t, kMessageSize>;

struct Request {
    std::uint8_t op;
    std::uint16_t port;
    std::uint8_t value;
};

Message encode(const Request& request);
// Nothing for an unknown operation.
std::optional<Request> decode(const Message& message);

// The socket's address; nothing when the path does not fit one.
std::optional<sockaddr_un> socketAddress(const std::string& path);
// Sends all of `bytes`, never raising SIGPIPE; false with errno set when the
// peer has gone or did not take them in time.
bool sendAll(int fd, std::span<const std::uint8_t> bytes);

}  // namespace lpt_wire

// The parallel port of a simulated board (kxp40s-sim --lpt PATH) at the Unix
// socket PATH. Writes are held back until a read, a flush() or a full batch,
// so that the board is woken once per read rather than once per write. It
// connects at its first access and stays with that connection: a board that
// cannot be reached, that goes away or that stays silent for replyTimeout
// leaves the port failed for good. A failed port reads as nothing attached
// (all ones), so the board search fails, and problem() says why.
class SocketPortIo : public PortIo {
  public:
    static constexpr std::chrono::milliseconds kReplyTimeout{2000};

    explicit SocketPortIo(std::string path, std::chrono::milliseconds replyTimeout = kReplyTimeout);
    SocketPortIo(const SocketPortIo&) = delete;
    SocketPortIo& operator=(const SocketPortIo&) = delete;
    ~SocketPortIo() override;

    void Out32(std::uint16_t port, std::uint8_t value) override;
    std::uint8_t Inp32(std::uint16_t port) override;
    std::string problem() const override { return problem_; }
    bool failed() const override { return state_ == State::Failed; }
    void flush() override;

    const std::string& path() const { return path_; }

  private:
    enum class State { Unconnected, Connected, Failed };

    bool ready();
    void connect();
    void hold(const lpt_wire::Message& message);
    bool sendHeld();
    std::optional<std::uint8_t> receiveReply();
    void fail(const std::string& what, const std::string& why);

    std::string path_;
    std::chrono::milliseconds replyTimeout_;
    int fd_ = -1;
    State state_ = State::Unconnected;
    std::string problem_;
    std::vector<std::uint8_t> held_;  // messages not sent yet
};

}  // namespace kxp40s
