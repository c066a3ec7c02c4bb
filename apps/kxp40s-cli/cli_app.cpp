#include "cli_app.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>

#include "app/stop_signals.h"

namespace kxp40s::cli {

namespace {

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
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

// The wait watches the stop signals' wake-up pipe too: a signal that comes
// just before the read would otherwise leave the read waiting for a line.
std::optional<std::string> terminalLine() {
    pollfd watched[2] = {{0, POLLIN, 0}, {StopSignals::wakeFd(), POLLIN, 0}};
    const nfds_t count = watched[1].fd >= 0 ? 2 : 1;
    while (::poll(watched, count, -1) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    if (count == 2 && (watched[1].revents & POLLIN)) return std::nullopt;
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    return line;
}

CliFace::CliFace(Streams& io, bool yes) : io_(io), yes_(yes), bar_(isTerminal(2)) {}

Answer CliFace::show(const Message& message) {
    endBar();
    if (message.buttons == Buttons::YesNo) return ask(message);
    if (message.outcome == Outcome::Success) {
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

void CliFace::note(const Message& message) {
    endBar();
    io_.err << oneLine(message.text) << "\n";
}

void CliFace::setProgressValue(int value) {
    value_ = value;
    drawBar();
}

void CliFace::setStatusText(const std::string& text) {
    status_ = text;
    if (text.empty()) endBar();
}

NextPager CliFace::waitForPager(int number) {
    return nextPager ? nextPager(number) : NextPager::Leave;
}

void CliFace::pagerDone(const SeriesPager& pager) {
    if (onPager) onPager(pager);
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
    // A stop signal ends the wait: the answer is then No.
    const auto answer = terminalLine();
    if (!answer) io_.err << "\n";
    return answer && !answer->empty() && ((*answer)[0] == 'y' || (*answer)[0] == 'Y') ? Answer::Yes
                                                                                      : Answer::No;
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

CLI::Option* addOutputOptions(CLI::App* cmd, OutputFile& output, const std::string& help) {
    cmd->add_flag("--force", output.force, "Replace the output file when it is there already");
    return cmd->add_option("-o,--output", output.path, help);
}

// A prepared table lost to a slip of -o cannot be had back: refuse first.
void checkOutput(const OutputFile& output) {
    std::error_code ec;
    if (std::filesystem::is_directory(output.path, ec))
        throw Refusal("[" + output.path + "] is a folder, not a table file.");
    if (std::filesystem::exists(output.path, ec) && !output.force)
        throw Refusal("This file is arealy exist ! (" + output.path +
                      "): give --force to replace it.");
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
    StopSignals::forwardTo(&app_);
    app_.board().setFastRead(options.noPause);
    if (!options.port.empty()) app_.board().usePort(options.port);
}

CliApp::~CliApp() {
    StopSignals::forwardTo(nullptr);
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

void CliApp::transfer(const std::function<Result(Application&)>& command) {
    const Result result = command(app_);
    face_.endBar();
    if (result == Result::Stopped) throw Interrupted(app_.stopSignal(), app_.stopReport().text);
    if (result != Result::Done) throw face_.refusal();
}

}  // namespace kxp40s::cli
