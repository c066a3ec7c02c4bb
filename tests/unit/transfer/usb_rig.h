#pragma once

// The serial transfers against the simulated board, in-process: a session
// started as the window starts, the link on a simulated port, and a face that
// records what it is shown and answers questions from a script.

#include <string>
#include <vector>

#include "app/startup.h"
#include "link/serial_link.h"
#include "sim/pager_board.h"
#include "sim/sim_serial_port.h"
#include "started_pager.h"
#include "transfer/progress.h"
#include "transfer/transfer.h"
#include "unit/link/link_fakes.h"

namespace kxp40s::testing {

inline constexpr const char* kRigPort = "/dev/sim0";

struct UsbRig {
    explicit UsbRig(const Image& pager = testing::startedPager(),
                    std::vector<sim::Fault> faults = {})
        : board(pager, std::move(faults)), port(board, clock, kRigPort) {
        listPorts(registry, {kRigPort});
        state.BoardPort = kRigPort;
        s = startedSession();
    }

    std::vector<std::string> texts() const { return face.texts(); }

    FakeClock clock;
    sim::PagerBoard board;
    sim::SimSerialPort port;
    MemoryRegistryStore store;
    clsRegistryAccess registry{store};
    ScriptedFace face;
    ClampedProgressFace clamped{face};
    LinkState state;
    SerialLink link{state, port, clock, registry, clamped};
    SerialPagerLink pagerLink{link};
    Session s;
    Transfer t{s, clamped, pagerLink};
};

}  // namespace kxp40s::testing
