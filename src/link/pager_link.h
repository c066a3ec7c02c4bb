#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kxp40s {

// The two programmer boards: the USB board behind a serial port, and the
// passive parallel-port board whose two-wire bus the program drives itself.
enum class BoardKind { Usb, Lpt };

std::string_view boardKindName(BoardKind kind);  // "usb", "lpt"
std::optional<BoardKind> parseBoardKind(std::string_view name);

// How an operation on the pager ended. A failure has been said to the user
// (a refused question counts as one); a stop was asked for and ended the
// operation at a safe point (between two frames, pages or pagers), saying
// nothing.
enum class Result { Done, Failed, Stopped };

// What a compare found: the pager's bytes strt..stp (indexed from strt),
// given when they differ from the data and the board could read them all.
struct Comparison {
    Result result = Result::Done;
    bool differs = false;
    std::optional<std::vector<std::uint8_t>> pager;
};

// A pager on a programmer board, whichever board it is: the operations the
// read, write and verify sequences are made of. Each shows the transfer
// window's progress where it moves through the memory, and says on the
// face why it failed.
class PagerLink {
  public:
    virtual ~PagerLink() = default;
    virtual BoardKind kind() const = 0;

    // A few bytes first..last, looked at before the memory is read or
    // written (the identity, the firmware byte, the contrast); nothing when
    // the link failed or a stop ended it.
    virtual std::optional<std::vector<std::uint8_t>> readBytes(int first, int last) = 0;
    // The memory strt..stp into `into`, indexed by address.
    virtual Result readMemory(int strt, int stp, std::span<std::uint8_t> into) = 0;
    // data(strt..stp) into the pager's memory.
    virtual Result writeMemory(std::span<const std::uint8_t> data, int strt, int stp) = 0;
    // Reads strt..stp and compares it with data(strt..stp).
    virtual Comparison compareMemory(std::span<const std::uint8_t> data, int strt, int stp) = 0;
};

}  // namespace kxp40s
