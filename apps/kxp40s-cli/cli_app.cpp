#include "cli_app.h"

#include <unistd.h>

#include <chrono>
#include <iostream>
#include <thread>

#include "app/stop_signals.h"

namespace kxp40s::cli {

namespace {

constexpr int kWriteMode = 1;
// A 128-byte block and its reply at 9600 baud, with room to spare.
constexpr int kAbandonedFrameMs = 500;

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

bool isSuccess(const Message& message) {
    return message.icon == Icon::Information || message.text == "Read success!" ||
           message.text == "Verify Success!";
}

std::string oneLine(std::string text) {
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n"))
        text.replace(at, 2, " ");
    return text;
}

AppOptions appOptions(Streams& io, const BoardOptions& options) {
    AppOptions app;
    app.board = parseBoardKind(options.board).value_or(BoardKind::Usb);
    if (options.trace) app.parts.trace = [&io](const std::string& line) { io.err << line << "\n"; };
    return app;
}

}  // namespace

CliFace::CliFace(Streams& io, bool yes) : io_(io), yes_(yes), bar_(isTerminal(2)) {}

Answer CliFace::show(const Message& message) {
    endBar();
    if (message.buttons == Buttons::YesNo) return ask(message);
    if (isSuccess(message)) {
        io_.out << message.text << "\n";
    } else {
        io_.err << message.text << "\n";
        lastWarning_ = message.text;
    }
    return Answer::Ok;
}

void CliFace::apply(const Effects& effects) {
    for (std::size_t i = 0; i < effects.messages.size(); ++i) {
        if (effects.refused && i == 0) {
            refused_ = effects.messages[i].text;
        } else {
            io_.err << effects.messages[i].text << "\n";
        }
    }
    if (effects.refused && !refused_) refused_ = "refused";
}

Refusal CliFace::refusal() {
    endBar();
    if (refused_) return Refusal(*std::exchange(refused_, std::nullopt));
    return Refusal("");
}

void CliFace::stopIfAsked() {
    const int signal = StopSignals::received();
    if (signal == 0 || stopped_) return;
    stopped_ = true;
    throw StopRequest{signal};
}

void CliFace::setProgressValue(int value) {
    stopIfAsked();
    value_ = value;
    drawBar();
}

void CliFace::setStatusText(const std::string& text) {
    status_ = text;
    if (text.empty()) endBar();
}

void CliFace::runSeries(Application& app) {
    if (series) series(app);
}

void CliFace::endBar() {
    if (drawn_) io_.err << "\n";
    drawn_ = false;
}

Answer CliFace::ask(const Message& message) {
    io_.err << oneLine(message.text);
    if (yes_) {
        io_.err << " Yes (--yes)\n";
        return Answer::Yes;
    }
    if (!isTerminal(0)) {
        io_.err << " No (give --yes to answer Yes)\n";
        return Answer::No;
    }
    io_.err << " [y/N] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y') ? Answer::Yes : Answer::No;
}

void CliFace::drawBar() {
    if (!bar_ || maximum_ <= 0) return;
    constexpr int kWidth = 40;
    const int filled = kWidth * value_ / maximum_;
    io_.err << "\r" << status_ << " [" << std::string(static_cast<std::size_t>(filled), '#')
            << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] "
            << 100 * value_ / maximum_ << "%" << std::flush;
    drawn_ = true;
}

void addBoardOptions(CLI::App* cmd, BoardOptions& options, bool transfer) {
    cmd->add_option("--board", options.board,
                    "The programmer board: usb (a serial port, the default) or lpt (the "
                    "parallel port; KXP40S_LPT=PATH names a simulated one)")
        ->check(CLI::IsMember({"usb", "lpt"}));
    if (transfer) {
        cmd->add_option("--port", options.port,
                        "The USB board's serial port (a device path); searched when not given");
        cmd->add_flag("--no-pause", options.noPause,
                      "Fast read: do not wait the fixed 300 ms before looking for each block's "
                      "reply");
    }
    cmd->add_flag("--trace", options.trace,
                  "Show every frame sent (TX) and received (RX) in hex on stderr, with the "
                  "milliseconds since the start");
}

CliApp::CliApp(Streams& io, const BoardOptions& options)
    : io_(io), face_(io, options.yes), app_(face_, appOptions(io, options)) {
    app_.board().setFastRead(options.noPause);
    if (!options.port.empty()) app_.board().usePort(options.port);
}

CliApp::~CliApp() {
    face_.endBar();
    if (boardStarted_) app_.mnuExit_Click();
}

void CliApp::start() {
    app_.Form_Load({.searchBoard = false, .openDefaultTable = false});
}

void CliApp::startWithBoard() {
    const bool search = !app_.board().known();
    app_.Form_Load({.searchBoard = search, .openDefaultTable = false});
    if (!app_.board().known()) throw face_.refusal();
    boardStarted_ = search;
}

void CliApp::open(const std::string& path) {
    if (!app_.openTableFile(path)) throw face_.refusal();
}

void CliApp::saveAs(const std::string& path) {
    if (!app_.saveTableFileAs(path, false)) throw face_.refusal();
}

void CliApp::handle(const std::function<Effects(Session&)>& handler) {
    if (!app_.handle(handler)) throw face_.refusal();
}

void CliApp::transfer(const std::function<bool(Application&)>& command) {
    bool done = false;
    try {
        done = command(app_);
    } catch (const StopRequest& stop) {
        face_.endBar();
        // The frame under way was abandoned: let the board finish sending its
        // reply, so that the release command that follows is heard.
        std::this_thread::sleep_for(std::chrono::milliseconds(kAbandonedFrameMs));
        throw Interrupted(stop.signal,
                          session().TransferMode == kWriteMode
                              ? "Stopped: the pager may be half-written: write it again."
                              : "Stopped: the pager was not changed.");
    }
    face_.endBar();
    if (!done) throw face_.refusal();
}

}  // namespace kxp40s::cli
