#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "sim/pager_board.h"

namespace kxp40s::sim {

// Puts a PagerBoard behind a pseudo-terminal: the host opens slavePath() as
// its serial port. With pacing, the board sees each frame only once its
// bytes could have crossed a 9600-baud line, and its replies leave at that
// speed too. With a plug path, a symbolic link to the pty exists while the
// board is plugged in. Failures to set the pty up throw std::runtime_error.
class PtyBoard {
  public:
    using TraceSink = std::function<void(const std::string& line)>;

    PtyBoard(PagerBoard& board, bool paced);
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;
    ~PtyBoard();

    const std::string& slavePath() const { return slavePath_; }
    void plug(const std::string& linkPath);

    // Answers frames until stopFd becomes readable (-1: never) or the board
    // unplugs; then unplugs.
    void run(int stopFd, const TraceSink& trace = {});
    void unplug();

  private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct TimedByte {
        TimePoint due;
        std::uint8_t byte;
    };
    void takeInput(const TraceSink& trace);
    void schedule(const BoardReply& reply, TimePoint arrival);
    void sendDueBytes();
    bool unplugDue() const;
    int pollTimeoutMs() const;

    PagerBoard& board_;
    bool paced_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string plugPath_;
    std::deque<TimedByte> pending_;
    TimePoint inputFree_{};
    TimePoint outputFree_{};
    bool unplugWhenSent_ = false;
};

std::string traceLine(const Exchange& exchange);

// Blocks SIGINT, SIGTERM and SIGHUP and gives a descriptor that becomes
// readable when one arrives, for a board's loop to end on.
int stopSignalsFd();

}  // namespace kxp40s::sim
