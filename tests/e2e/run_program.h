#pragma once

// Runs one of the built programs as a user would from a shell and collects
// what it printed. Shared by the end-to-end tests.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"

namespace kxp40s::e2e {

struct ProgramRun {
    int status = -1;  // exit status; -1 when it did not exit by itself
    std::string out;
    std::string err;
};

// Runs `program` (a name in the build's bin folder) with `args`, feeding
// `input` on stdin, its environment changed by `env` as ChildProcess takes
// it; kills it after `timeout`.
inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::string& input = "",
                             const std::vector<std::string>& env = {},
                             std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
    std::vector<std::string> argv{binary(program)};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess child(std::move(argv), env, input);
    const std::optional<int> status =
        child.readToEnd(timeout) ? child.waitExit(timeout) : std::nullopt;
    if (!status) child.stop(std::chrono::milliseconds(0));
    return {status && *status >= 0 ? *status : -1, child.remainingOutput(), child.errors()};
}

}  // namespace kxp40s::e2e
