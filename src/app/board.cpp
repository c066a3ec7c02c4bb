#include "app/board.h"

#include "link/serial_link.h"
#include "link/system_port_io.h"
#include "link/tracing_serial_port.h"
#include "registry/registry_access.h"

namespace kxp40s {

namespace {

// The steady clock whose waits let the face's events run.
class FaceClock : public SteadyClock {
  public:
    explicit FaceClock(LinkFace& face) : face_(face) {}
    void pumpEvents() override { face_.pumpEvents(); }

  private:
    LinkFace& face_;
};

auto faceClock(LinkFace& face) {
    return [&face]() -> std::unique_ptr<Clock> { return std::make_unique<FaceClock>(face); };
}

// Owns what the caller did not hand in, made by `make`.
template <class Interface, class Make>
Interface& ownOr(Interface* given, std::unique_ptr<Interface>& owned, Make make) {
    if (given) return *given;
    owned = make();
    return *owned;
}

class SerialBoard : public Board {
  public:
    SerialBoard(LinkFace& face, BoardParts& parts)
        : clock_(ownOr(parts.clock, ownClock_, faceClock(face))),
          port_(ownOr(parts.serialPort, ownPort_, makeSystemSerialPort)),
          store_(ownOr(parts.registryStore, ownStore_, makeSystemRegistryStore)),
          registry_(store_),
          link_{state_, tracedOr(parts.trace), clock_, registry_, face},
          pagerLink_(link_) {
        state_.stop = parts.stop;
    }

    BoardKind kind() const override { return BoardKind::Usb; }

    bool connect(bool interactive) override {
        state_.ConnectInteractive = interactive;
        started_ = BoardConnect(link_);
        state_.ConnectInteractive = false;
        link_.face.showBoardStatus(boardStatus(started_));
        return started_;
    }
    bool connectOn(const std::string& port) override {
        started_ = BoardConnectOn(link_, port);
        link_.face.showBoardStatus(boardStatus(started_));
        return started_;
    }
    bool known() const override { return !state_.BoardPort.empty(); }
    std::string where() const override { return state_.BoardPort; }

    std::vector<std::string> places() override { return listSerialPorts(registry_); }

    std::vector<PortAnswer> probe() override {
        std::vector<PortAnswer> answers;
        for (const auto& port : listSerialPorts(registry_)) {
            const PortFound found = IdentifyBoard(link_, port);
            answers.push_back({port, found == PortFound::Board, found == PortFound::Busy,
                               found == PortFound::Denied});
        }
        return answers;
    }

    void monitorTick() override {
        const bool wasKnown = known();
        Timer1_Timer(link_);
        // A board the monitor found anew was started by its search.
        if (!wasKnown && known()) started_ = true;
    }

    void release() override {
        if (started_ && known()) BoardCommand(link_, 1, true);
        started_ = false;
    }

    void setFastRead(bool fast) override { state_.pauseBeforeReplies = !fast; }
    PagerLink& pagerLink() override { return pagerLink_; }

  private:
    SerialPort& tracedOr(const std::function<void(const std::string&)>& trace) {
        if (!trace) return port_;
        traced_ = std::make_unique<TracingSerialPort>(port_, clock_, trace);
        return *traced_;
    }

    std::unique_ptr<Clock> ownClock_;
    std::unique_ptr<SerialPort> ownPort_;
    std::unique_ptr<RegistryStore> ownStore_;
    std::unique_ptr<TracingSerialPort> traced_;
    Clock& clock_;
    SerialPort& port_;
    RegistryStore& store_;
    clsRegistryAccess registry_;
    LinkState state_;
    SerialLink link_;
    SerialPagerLink pagerLink_;
    bool started_ = false;  // this program sent the start command
};

class LptBoard : public Board {
  public:
    LptBoard(LinkFace& face, BoardParts& parts)
        : face_(face),
          clock_(ownOr(parts.clock, ownClock_, faceClock(face))),
          pacing_(parts.lptPacing),
          stop_(parts.stop),
          io_(parts.portIo) {
        if (!io_) reopenPort();
        makeBus();
    }

    BoardKind kind() const override { return BoardKind::Lpt; }

    void calibrate() override { bus_->CalibrateDelay(); }

    bool connect(bool interactive) override {
        known_ = interactive ? bus_->LptBoardConnect(face_) : silentConnect();
        showStatus();
        return known_;
    }
    bool connectOn(const std::string& /*port*/) override { return connect(true); }
    bool known() const override { return known_; }
    std::string where() const override { return known_ ? lptDeviceName(bus_->LptDataPort) : ""; }

    std::vector<std::string> places() override {
        std::vector<std::string> paths;
        for (const std::uint16_t base : kLptBases)
            paths.push_back(lptDeviceName(base));
        return paths;
    }

    std::vector<PortAnswer> probe() override {
        std::vector<PortAnswer> answers;
        for (const std::uint16_t base : kLptBases) {
            bus_->LptDataShadow = kLptBothHigh;
            bus_->LptDataPort = base;
            const bool found = bus_->LptProbe(base);
            const PortRefusal refused = io_->refusal(base);
            answers.push_back({lptDeviceName(base), found, refused == PortRefusal::Busy,
                               refused == PortRefusal::Denied});
        }
        return answers;
    }

    // The bus goes back to its idle level. A board not found (or lost with
    // its port) is looked for again, quietly, so that one attached later can
    // be used.
    void monitorTick() override {
        face_.setTimer1Enabled(false);
        if (io_->failed()) {
            known_ = false;
            if (ownIo_) reopenPort();
        }
        if (known_) {
            Timer1_Timer(*bus_, face_);
        } else {
            known_ = silentConnect();
        }
        showStatus();
        face_.setTimer1Enabled(true);
    }

    // The parallel-port board has no release command.
    void release() override {}

    PagerLink& pagerLink() override { return *pagerLink_; }

  private:
    // The search without its message.
    bool silentConnect() {
        class Quiet : public LinkFace {
            Answer show(const Message&) override { return Answer::Ok; }
        } quiet;
        return bus_->LptBoardConnect(quiet);
    }
    void showStatus() { face_.showBoardStatus(boardStatus(known_)); }

    void makeBus() {
        bus_ = std::make_unique<LptBus>(*io_, clock_, pacing_);
        bus_->stop = stop_;
        pagerLink_ = std::make_unique<LptPagerLink>(*bus_, face_);
    }

    // A port of our own that failed (the simulated board went away) is
    // opened anew, keeping the bus's calibration.
    void reopenPort() {
        ownIo_ = makeSystemPortIo();
        io_ = ownIo_.get();
        if (!bus_) return;
        const auto loops = bus_->LoopsPer25us;
        makeBus();
        bus_->LoopsPer25us = loops;
    }

    LinkFace& face_;
    std::unique_ptr<Clock> ownClock_;
    Clock& clock_;
    LptBus::Pacing pacing_;
    const StopFlag* stop_;
    std::unique_ptr<PortIo> ownIo_;
    PortIo* io_;
    std::unique_ptr<LptBus> bus_;
    std::unique_ptr<LptPagerLink> pagerLink_;
    bool known_ = false;
};

}  // namespace

std::unique_ptr<Board> makeBoard(BoardKind kind, LinkFace& face, BoardParts parts) {
    if (kind == BoardKind::Lpt) return std::make_unique<LptBoard>(face, parts);
    return std::make_unique<SerialBoard>(face, parts);
}

}  // namespace kxp40s
