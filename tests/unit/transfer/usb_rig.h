#pragma once

// The serial transfers against the simulated board, in-process: a session
// started as the window starts, the link on a simulated port, and a face that
// records what it is shown and answers questions from a script.

#include <deque>
#include <string>
#include <vector>

#include "editors/startup.h"
#include "link/serial_link.h"
#include "sim/pager_board.h"
#include "sim/sim_serial_port.h"
#include "transfer/progress.h"
#include "transfer/transfer.h"
#include "unit/link/link_fakes.h"

namespace kxp40s::testing {

class TransferFace : public LinkFace {
  public:
    Answer show(const Message& message) override {
        messages.push_back(message);
        if (message.buttons == Buttons::Ok) return Answer::Ok;
        if (answers.empty()) return Answer::Yes;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void setProgressValue(int value) override { progress.push_back(value); }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : messages)
            t.push_back(m.text);
        return t;
    }

    std::deque<Answer> answers;
    std::vector<Message> messages;
    int progressMaximum = 0;
    std::vector<int> progress;
};

inline constexpr const char* kRigPort = "/dev/sim0";

struct UsbRig {
    explicit UsbRig(const Image& pager = sim::startupImage(), std::vector<sim::Fault> faults = {})
        : board(pager, std::move(faults)), port(board, clock, kRigPort) {
        listPorts(registry, {kRigPort});
        state.BoardPort = kRigPort;
        TableFileState noDefaultTable;
        startUp(s, noDefaultTable);
    }

    std::vector<std::string> texts() const { return face.texts(); }

    FakeClock clock;
    sim::PagerBoard board;
    sim::SimSerialPort port;
    MemoryRegistryStore store;
    clsRegistryAccess registry{store};
    TransferFace face;
    ClampedProgressFace clamped{face};
    LinkState state;
    SerialLink link{state, port, clock, registry, clamped};
    Session s;
    Transfer t{s, clamped, &link};
};

}  // namespace kxp40s::testing
