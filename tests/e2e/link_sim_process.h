#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "run_program.h"

extern char** environ;

namespace kxp40s::e2e {

// kxp40s-sim running as a child process; its first line names the pty.
class SimProcess {
  public:
    explicit SimProcess(std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), binary("kxp40s-sim"));
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        out_ = out[0];
        if (rc != 0) throw std::runtime_error("cannot start kxp40s-sim");
        path_ = readLine(std::chrono::seconds(20));
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess() {
        stop();
        close(out_);
    }

    const std::string& ptyPath() const { return path_; }

    // Ends the simulator and returns its exit status (-1 when killed).
    int stop() {
        if (pid_ > 0) kill(pid_, SIGTERM);
        endsWithin(std::chrono::seconds(30));
        return status_;
    }

    // Waits for the simulator to end by itself (an unplug fault ends it).
    bool endsWithin(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (int status = 0; pid_ > 0; usleep(10000)) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            } else if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
        }
        return true;
    }

    // The rest of its output (trace lines), once it has ended.
    std::string remainingOutput() {
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = read(out_, buffer, sizeof buffer)) > 0;)
            text.append(buffer, n);
        return text;
    }

  private:
    std::string readLine(std::chrono::seconds limit) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        char c = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            if (read(out_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        throw std::runtime_error("kxp40s-sim did not print its pty");
    }
    pid_t pid_ = 0;
    int out_ = -1;
    int status_ = -1;
    std::string path_;
};

}  // namespace kxp40s::e2e
