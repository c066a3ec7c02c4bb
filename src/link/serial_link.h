#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/frames.h"
#include "link/link_face.h"
#include "link/pager_link.h"
#include "link/search_message.h"
#include "link/serial_port.h"
#include "link/stop_flag.h"
#include "registry/registry_access.h"

namespace kxp40s {

inline constexpr int kBlockSize = 128;
inline constexpr int kReplyWaitMs = 500;
inline constexpr int kBlockWaitMs = 2000;
inline constexpr int kReadPauseMs = 300;

inline constexpr const char* kInitialErrorText = "Programmer Initial Error !";
inline constexpr const char* kReadTimeOutText = "Read Time Out!";
inline constexpr const char* kReadErrorText = "Read error!";
inline constexpr const char* kWriteErrorText = "Write error!";
inline constexpr const char* kWritingText = "Writing Now.......";

// The link's share of the program's module state.
struct LinkState {
    std::string BoardPort;  // the port of the identified board; empty when none is known
    int SerialPortCount = 0;
    bool ConnectInteractive = false;
    std::vector<std::uint8_t> ReadBuffer;  // indexed by pager address
    // A block read waits a fixed 300 ms before it looks for the reply. The
    // fast read goes straight to waiting for the reply's bytes: the board
    // sees the same bytes in the same order either way.
    bool pauseBeforeReplies = true;
    // Asked between two blocks of a read or write: a stop ends the
    // operation there, with the port closed and nothing said.
    const StopFlag* stop = nullptr;
};

// Everything a link operation works with. The port is opened at the start of
// each operation and closed at its end.
struct SerialLink {
    LinkState& state;
    SerialPort& port;
    Clock& clock;
    clsRegistryAccess& registry;
    LinkFace& face;
};

// The serial ports the registry lists (the SERIALCOMM value data), in its order.
std::vector<std::string> listSerialPorts(clsRegistryAccess& registry);

// Opens the port and sets it up; leaves it open on success. A port that
// another program holds is refused at once with "[port] is in use by another
// program."; the block operations and the board-control exchange then end
// with that message alone and keep BoardPort.
bool OpenBoardPort(SerialLink& link, const std::string& port);

// What a port has on it: the board (its reply to the identify command was
// accepted), nothing that answers as the board, another program holds it,
// or this user may not open it.
enum class PortFound { Board, Nothing, Busy, Denied };

// Opens the port, sends the identify command and closes the port again.
// Changes no state; a port in use is said only when asked to.
PortFound IdentifyBoard(SerialLink& link, const std::string& port, bool sayBusy = false);

// Searches the listed ports for the board; on success the board is told to
// start ("s", 1) and BoardPort names its port. Ports other programs hold are
// passed over without a word; when no board answers, "The Programmed Board is
// not responding!" names the ports this user may not open, if any, and the
// group that opens them (interactive only).
bool BoardConnect(SerialLink& link);

// The board on `port` alone, taken as the search takes it: identified and
// told to start. A port another program holds is said to be in use, one
// where no board answers "The Programmed Board is not responding!".
bool BoardConnectOn(SerialLink& link, const std::string& port);

// "s" with param, or "r" (release) with 0; true when acknowledged.
bool BoardCommand(SerialLink& link, std::uint8_t param, bool release);

// Reads pager memory strt..stp in blocks into ReadBuffer(0..stp).
bool SerialRead(SerialLink& link, int strt, int stp, int blockSize = kBlockSize);

// Writes data(strt..stp) to pager memory in blocks.
bool SerialWrite(SerialLink& link, std::span<const std::uint8_t> data, int strt, int stp,
                 int blockSize = kBlockSize);

// The USB board as the transfer sequences see it: every operation is a
// block read or write of the link.
class SerialPagerLink : public PagerLink {
  public:
    explicit SerialPagerLink(SerialLink& link) : link_(link) {}

    BoardKind kind() const override { return BoardKind::Usb; }
    std::optional<std::vector<std::uint8_t>> readBytes(int first, int last) override;
    Result readMemory(int strt, int stp, std::span<std::uint8_t> into) override;
    Result writeMemory(std::span<const std::uint8_t> data, int strt, int stp) override;
    Comparison compareMemory(std::span<const std::uint8_t> data, int strt, int stp) override;

  private:
    Result failure() const;
    SerialLink& link_;
};

// One step of the board monitor (Timer1_Timer of the serial build): follows
// the port list, searches for the board when a port was added and none is
// known, shows and returns the board status.
BoardStatus Timer1_Timer(SerialLink& link);

}  // namespace kxp40s
