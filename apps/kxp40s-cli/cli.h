#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

#include "image/message.h"

namespace kxp40s::cli {

// Exit status of every command: 0 done, 1 refused or failed, 2 wrong usage;
// `diff` answers as diff(1) does: 0 the same, 1 different, 2 trouble.
enum ExitCode { kDone = 0, kRefused = 1, kUsage = 2, kDifferent = 1, kTrouble = 2 };

// Thrown by a command to stop with a message on stderr and exit status 1
// (or `status`). The text is the system's own message, quoted exactly; empty
// when the message has been shown already.
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
    explicit Refusal(const Message& message) : std::runtime_error(message.text) {}
    Refusal(const std::string& text, ExitCode exitStatus)
        : std::runtime_error(text), status(exitStatus) {}
    ExitCode status = kRefused;
};

// Thrown by a command that has done its work and answers with an exit
// status other than 0 (`diff` when the files differ).
struct Finished {
    ExitCode status;
};

// Thrown when a stop signal ended a command; the text says what state the
// pager is in.
struct Interrupted : std::runtime_error {
    Interrupted(int stopSignal, const std::string& text)
        : std::runtime_error(text), signal(stopSignal) {}
    int signal;
};

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

// Each group of commands adds its subcommands to the application. A
// subcommand's callback does its work and throws Refusal when refused.
void registerFileCommands(CLI::App& app, Streams& io);
void registerLinkCommands(CLI::App& app, Streams& io);
void registerTransferCommands(CLI::App& app, Streams& io);
void registerBackupCommands(CLI::App& app, Streams& io);

}  // namespace kxp40s::cli
