#pragma once

#include <memory>

#include "cli.h"
#include "link/serial_link.h"
#include "link/termios_serial_port.h"
#include "link/tracing_serial_port.h"
#include "registry/registry_store.h"

namespace kxp40s::cli {

// One board session of a command: the system's serial port (traced on
// stderr when asked), the registry's port list, the link state, and the face
// that shows what the link has to say.
class BoardSession {
  public:
    BoardSession(Streams& io, bool trace, LinkFace& face) : registry_(store_) {
        if (trace) {
            traced_ = std::make_unique<TracingSerialPort>(
                serial_, clock_, [&io](const std::string& line) { io.err << line << "\n"; });
        }
        link_ = std::make_unique<SerialLink>(
            SerialLink{state, traced_ ? static_cast<SerialPort&>(*traced_) : serial_, clock_,
                       registry_, face});
    }
    SerialLink& link() { return *link_; }

    LinkState state;

  private:
    SteadyClock clock_;
    TermiosSerialPort serial_;
    std::unique_ptr<TracingSerialPort> traced_;
    LinuxRegistryStore store_;
    clsRegistryAccess registry_;
    std::unique_ptr<SerialLink> link_;
};

inline void addTraceFlag(CLI::App* cmd, bool& trace) {
    cmd->add_flag("--trace", trace,
                  "Show every frame sent (TX) and received (RX) in hex on stderr, with the "
                  "milliseconds since the start");
}

}  // namespace kxp40s::cli
