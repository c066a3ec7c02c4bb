#include "cli_app.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "app/stop_signals.h"
#include "files/system.h"
#include "image/scoped.h"
#include "terminal.h"
#include "transfer/board_rules.h"

namespace kxp40s::cli {

namespace {

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
    if (message.outcome == Outcome::Success) {
        lastMessage_ = message.text;
        (successToStderr_ ? io_.err : io_.out) << message.text << "\n";
    } else {
        lastWarning_ = lastMessage_ = withSubject(message.text);
        io_.err << lastWarning_ << "\n";
    }
    return Answer::Ok;
}

// A message that names its subject already ("[port] is in use by another
// program.") is left as it is.
std::string CliFace::withSubject(const std::string& text) const {
    const std::string named = subject_.substr(0, subject_.find_first_of(";:"));
    if (subject_.empty() || text.find(named) != std::string::npos) return text;
    return text + " (" + subject_ + ")";
}

void CliFace::apply(const Effects& effects) {
    for (std::size_t i = 0; i < effects.messages.size(); ++i) {
        if (effects.refused && i == 0) {
            refused_ = withSubject(effects.messages[i].text);
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
    const std::filesystem::path path = pathFromUtf8(output.path);
    if (std::filesystem::is_directory(path, ec))
        throw Refusal("[" + output.path + "] is a folder, not a table file.");
    if (std::filesystem::exists(path, ec) && !output.force)
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
                        "The USB board's serial port (a device path): the board there is taken as "
                        "the search would take it (identified, started, released at the end); "
                        "searched for when not given");
        cmd->add_flag("--no-pause", options.noPause,
                      "Fast read: do not wait the fixed 300 ms before looking for each block's "
                      "reply");
    }
    cmd->add_flag("--trace", options.trace,
                  "Show every frame sent (TX) and received (RX) in hex on stderr, with the "
                  "milliseconds since the start");
}

CliApp::CliApp(Streams& io, const BoardOptions& options)
    : io_(io), face_(io, options.yes), app_(face_, appOptions(io, options)), port_(options.port) {
    StopSignals::forwardTo(&app_);
    app_.board().setFastRead(options.noPause);
    if (options.json) face_.successToStderr();
}

CliApp::~CliApp() {
    StopSignals::forwardTo(nullptr);
    face_.endBar();
    if (boardStarted_) app_.mnuExit_Click();
}

void CliApp::start() {
    app_.Form_Load({.searchBoard = false, .openDefaultTable = false});
}

// Where the board was looked for, and what it takes to open a port there.
// A port the system lists is there even when it is no file (COM3).
std::string CliApp::boardSubject() {
    const std::string permission = portPermission(app_.board().kind());
    const std::string need = permission.empty() ? "" : "; " + permission;
    const std::vector<std::string> listed = app_.board().places();
    if (!port_.empty()) {
        std::error_code ec;
        const bool there = std::find(listed.begin(), listed.end(), port_) != listed.end() ||
                           std::filesystem::exists(pathFromUtf8(port_), ec);
        return there ? port_ + need : port_ + ": no such file";
    }
    std::string places;
    for (const auto& place : listed)
        places += (places.empty() ? "" : ", ") + place;
    return (places.empty() ? "no port to search" : "searched " + places) + need;
}

void CliApp::startWithBoard() {
    face_.about(boardSubject());
    OnScopeExit plain([this] { face_.about(""); });
    app_.Form_Load({.searchBoard = port_.empty(), .openDefaultTable = false});
    if (!port_.empty()) app_.board().connectOn(port_);
    if (!app_.board().known()) throw face_.refusal();
    boardStarted_ = true;
}

void CliApp::open(const std::string& path) {
    face_.about(path);
    OnScopeExit plain([this] { face_.about(""); });
    if (!app_.openTableFile(pathFromUtf8(path))) throw face_.refusal();
}

void CliApp::saveAs(const std::string& path) {
    if (!app_.saveTableFileAs(pathFromUtf8(path), false)) throw face_.refusal();
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
