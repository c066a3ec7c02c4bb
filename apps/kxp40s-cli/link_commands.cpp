#include <memory>
#include <optional>
#include <ostream>

#include "board_session.h"
#include "cli.h"
#include "link/firmware.h"
#include "link/serial_link.h"

namespace kxp40s::cli {

namespace {

// The link's face on a terminal: warnings are kept so that the command can
// end with the last one as its refusal; earlier ones go to stderr as they come.
class TerminalFace : public LinkFace {
  public:
    explicit TerminalFace(Streams& io) : io_(io) {}
    Answer show(const Message& message) override {
        if (last_) io_.err << last_->text << "\n";
        last_ = message;
        return Answer::Ok;
    }
    // The message that ends a failed command.
    Refusal refusal(const char* fallback) {
        const std::string text = last_ ? last_->text : fallback;
        last_.reset();
        return Refusal(text);
    }
    void flushWarnings() {
        if (last_) io_.err << last_->text << "\n";
        last_.reset();
    }

  private:
    Streams& io_;
    std::optional<Message> last_;
};

void registerPorts(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("ports", "List the serial ports and find the programmer board");
    cmd->footer(
        "Prints one line per listed serial port: its path, a tab, and 'board' when the\n"
        "programmer board answers the identify exchange there, '-' otherwise. The board\n"
        "is only asked who it is; nothing is started, read or written. Extra ports (for\n"
        "example the link of kxp40s-sim --plug) are listed through KXP40S_PORTS=PATH:PATH.");
    auto trace = std::make_shared<bool>(false);
    addTraceFlag(cmd, *trace);
    cmd->callback([trace, &io] {
        TerminalFace face(io);
        BoardSession session(io, *trace, face);
        for (const auto& port : listSerialPorts(session.link().registry)) {
            const bool board = IdentifyBoard(session.link(), port);
            io.out << port << "\t" << (board ? "board" : "-") << "\n";
        }
    });
}

void registerFirmware(CLI::App& app, Streams& io) {
    auto* cmd =
        app.add_subcommand("firmware", "Read the pager's firmware version (Check Firmware)");
    cmd->footer(
        "Prints \"Version = 5.0\" for a pager whose firmware byte is 50. Without --port the\n"
        "listed serial ports are searched for the board, which is started and released again;\n"
        "with --port the board on PORT is read directly. Exit status 1 with the link's\n"
        "message when the board does not answer.");
    struct Options {
        std::string port;
        bool trace = false;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("--port", options->port, "The board's serial port (a device path)");
    addTraceFlag(cmd, options->trace);
    cmd->callback([options, &io] {
        TerminalFace face(io);
        BoardSession session(io, options->trace, face);
        SerialLink& link = session.link();
        const bool searched = options->port.empty();
        if (searched) {
            session.state.ConnectInteractive = true;
            if (!BoardConnect(link)) throw face.refusal(kNotRespondingText);
            session.state.ConnectInteractive = false;
        } else {
            session.state.BoardPort = options->port;
        }
        std::optional<Refusal> failure;
        if (SerialRead(link, kFirmwareAddress, kFirmwareAddress)) {
            face.flushWarnings();
            io.out << firmwareMessage(session.state.ReadBuffer[kFirmwareAddress]).text << "\n";
        } else {
            failure = face.refusal(kReadErrorText);
        }
        if (searched && !session.state.BoardPort.empty()) {
            // The program's end: the board is released as the window does on exit.
            BoardCommand(link, 1, true);
        }
        face.flushWarnings();
        if (failure) throw *failure;
    });
}

}  // namespace

void registerLinkCommands(CLI::App& app, Streams& io) {
    registerPorts(app, io);
    registerFirmware(app, io);
}

}  // namespace kxp40s::cli
