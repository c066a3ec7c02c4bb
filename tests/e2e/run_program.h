#pragma once

// Runs one of the built programs as a user would from a shell and collects
// what it printed. Shared by the end-to-end tests.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace kxp40s::e2e {

struct ProgramRun {
    int status = -1;  // exit status; -1 when it did not exit by itself
    std::string out;
    std::string err;
};

inline std::string binary(const std::string& name) {
    return std::string(KXP40S_BIN_DIR) + "/" + name;
}

// A signal sent to the program once its stdout shows `text` and `after`
// has passed since its start.
struct SignalWhen {
    std::string text;
    int signal = 0;
    std::chrono::milliseconds after{0};
};

// Runs `program` (a name in the build's bin folder) with `args`, feeding
// `input` on stdin, with the variables `env` ("NAME=VALUE") added to its
// environment and those named alone ("NAME") taken out; kills it after
// `timeout`.
inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::string& input = "",
                             const std::vector<std::string>& env = {},
                             std::chrono::milliseconds timeout = std::chrono::seconds(60),
                             SignalWhen signalWhen = {}) {
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            ::close(fd);
        for (const std::string& variable : env) {
            if (variable.find('=') == std::string::npos)
                ::unsetenv(variable.c_str());
            else
                ::putenv(const_cast<char*>(variable.c_str()));
        }
        std::vector<std::string> all{binary(program)};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    ::signal(SIGPIPE, SIG_IGN);
    if (!input.empty() && ::write(in[1], input.data(), input.size()) < 0) {
        // The program may have finished without reading its input.
    }
    ::close(in[1]);

    ProgramRun run;
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = started + timeout;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (signalWhen.signal != 0 && run.out.find(signalWhen.text) != std::string::npos &&
            std::chrono::steady_clock::now() - started >= signalWhen.after) {
            ::kill(pid, signalWhen.signal);
            signalWhen.signal = 0;
        }
        if (::poll(fds, 2, 100) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    if (open > 0) ::kill(pid, SIGKILL);
    for (const auto& fd : fds) {
        if (fd.fd >= 0) ::close(fd.fd);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace kxp40s::e2e
