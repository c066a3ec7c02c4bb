#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/clock.h"
#include "link/link_face.h"
#include "link/lpt_bus.h"
#include "link/pager_link.h"
#include "link/serial_port.h"
#include "link/stop_flag.h"
#include "registry/registry_store.h"

namespace kxp40s {

// A place the board search looks at, and whether the board answered there.
struct PortAnswer {
    std::string port;
    bool board = false;
    bool busy = false;    // another program holds it
    bool denied = false;  // this user may not open it
};

// The programmer board in use, whichever kind it is. The board talks to the
// user only through the face it was made with.
class Board {
  public:
    virtual ~Board() = default;
    virtual BoardKind kind() const = 0;

    // Start-up's first step: the parallel-port bus measures its busy-wait.
    virtual void calibrate() {}
    // Searches for the board and shows the outcome on the status line.
    // Interactive (start-up): the monitor is held and "The Programmed Board
    // is not responding!" is shown when none answers; otherwise no message.
    virtual bool connect(bool interactive) = 0;
    // Takes the board on `port` without a search (the command line's
    // --port): identified, started and later released as after a search.
    // The parallel-port board has no ports to name: it is searched for.
    virtual bool connectOn(const std::string& port) = 0;
    virtual bool known() const = 0;
    // Where the board was found, for messages ("" when none is known).
    virtual std::string where() const = 0;
    // The places the search looks at, in its order.
    virtual std::vector<std::string> places() = 0;
    // Asks every place the search looks at who is there; starts nothing.
    virtual std::vector<PortAnswer> probe() = 0;

    // One step of the board monitor (Timer1); shows the status through the face.
    virtual void monitorTick() = 0;
    // The release command of the program's end, when this program started the board.
    virtual void release() = 0;

    // A read waits a fixed 300 ms before each reply unless the fast read is on.
    virtual void setFastRead(bool /*fast*/) {}

    // The pager on the board, as the transfers see it.
    virtual PagerLink& pagerLink() = 0;
};

// What a board is made of. Empty members stand for the system's own: the
// serial devices and their list, the parallel port (or the simulated board
// that KXP40S_LPT names), the steady clock.
struct BoardParts {
    SerialPort* serialPort = nullptr;
    RegistryStore* registryStore = nullptr;
    PortIo* portIo = nullptr;
    Clock* clock = nullptr;
    LptBus::Pacing lptPacing = LptBus::Pacing::SteadyClock;
    // Asked between frames and pages: a stop ends a transfer there.
    const StopFlag* stop = nullptr;
    // One line per frame sent and received on the serial port.
    std::function<void(const std::string& line)> trace;
};

std::unique_ptr<Board> makeBoard(BoardKind kind, LinkFace& face, BoardParts parts = {});

}  // namespace kxp40s
