#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "image/image.h"
#include "link/firmware.h"
#include "link/frames.h"

namespace kxp40s::sim {

// Faults the board can be told to make, each at one frame (counted from 1
// over all frames received).
enum class FaultKind {
    BadChecksum,  // the reply's checksum is off by one
    NoAck,        // no reply at all
    WrongAck,     // a well-formed reply whose payload is NAK (21) instead of the answer
    Late,         // the reply comes kLateReplyMs later, past every time-out of the link
    Noise,        // a few noise bytes go before the reply
    Unplug,       // half the reply is sent, then the board goes away
};

struct Fault {
    FaultKind kind;
    int frame;
    bool operator==(const Fault&) const = default;
};

inline constexpr int kLateReplyMs = 2600;
inline constexpr std::uint8_t kNak = 21;

// "bad-checksum@3", "no-ack@1", "wrong-ack@2", "late@4", "noise@1", "unplug@5".
std::optional<Fault> parseFault(std::string_view text);
std::string faultName(FaultKind kind);

struct BoardReply {
    Bytes bytes;
    int delayMs = 0;
    bool unplugAfter = false;
};

// One frame the board received and what it answers.
struct Exchange {
    int number;
    Bytes request;
    std::optional<BoardReply> reply;  // nothing: the board stays silent
    std::optional<FaultKind> fault;
};

// A programmer board with a pager on it: it takes the host's bytes as they
// come, cuts them into frames (bytes outside a frame and frames with a wrong
// checksum are ignored, as a board would), and answers from and into the
// pager's memory. A read or write outside the memory gets no answer.
class PagerBoard {
  public:
    explicit PagerBoard(const Image& memory, std::vector<Fault> faults = {});

    std::vector<Exchange> receive(std::span<const std::uint8_t> bytes);
    // A fault `frames` frames from now (1: the next frame).
    void faultIn(int frames, FaultKind kind) { faults_.push_back({kind, frames_ + frames}); }

    const Image& memory() const { return memory_; }
    int framesReceived() const { return frames_; }
    bool unplugged() const { return unplugged_; }
    // The board-control state: 's' after a start command, 'r' after release.
    char controlState() const { return control_; }

  private:
    std::optional<Bytes> nextFrame();
    Exchange answer(Bytes request);
    std::optional<Bytes> replyTo(const Bytes& request);
    std::optional<Bytes> memoryRead(const Bytes& request);
    std::optional<Bytes> memoryWrite(const Bytes& request);
    std::optional<Bytes> boardControl(const Bytes& request);
    std::optional<FaultKind> faultAt(int frame) const;

    Image memory_;
    std::vector<Fault> faults_;
    Bytes input_;
    int frames_ = 0;
    bool unplugged_ = false;
    char control_ = 0;
};

// A pager's memory made from `image` (the caller's: the program's start-up
// image, say): the identity text (14 characters at 993, padded with spaces),
// the firmware byte at &H459 and a valid checksum.
inline constexpr const char* kDefaultIdentity = "KXP40V1.0V5.12";
Image pagerImage(Image image, std::string_view identity = kDefaultIdentity,
                 std::uint8_t firmware = 50);

// "ADDR=BYTE" (a byte of the pager's memory to spoil or shape), each number
// decimal, 0x.. or &H..; nothing when malformed or out of range.
std::optional<std::pair<int, int>> parseByteAssignment(const std::string& text);

}  // namespace kxp40s::sim
