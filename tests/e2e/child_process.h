#pragma once

// A program running beside the test (the window, a display server), whose
// standard output is read line by line.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace kxp40s::e2e {

class ChildProcess {
  public:
    // `program` is a path; `env` ("NAME=VALUE") is added to the environment.
    ChildProcess(std::vector<std::string> argv, const std::vector<std::string>& env = {}) {
        int out[2];
        if (::pipe(out) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> variables = env;
        for (char** e = environ; *e; ++e)
            variables.emplace_back(*e);
        const auto pointers = [](std::vector<std::string>& texts) {
            std::vector<char*> p;
            for (auto& t : texts)
                p.push_back(t.data());
            p.push_back(nullptr);
            return p;
        };
        auto args = pointers(argv);
        auto envp = pointers(variables);
        const int rc = ::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
        if (rc != 0) throw std::runtime_error("cannot start " + argv[0]);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        stop();
        ::close(out_);
    }

    pid_t pid() const { return pid_; }

    // The next line of its output; nothing when none came within `limit`.
    std::optional<std::string> readLine(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (const auto end = buffer_.find('\n'); end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return std::nullopt;
            pollfd fd{out_, POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
            char chunk[4096];
            const ssize_t n = ::read(out_, chunk, sizeof chunk);
            if (n <= 0) return std::nullopt;
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    // Reads lines until one starts with `prefix`; nothing when none came in time.
    std::optional<std::string> waitFor(const std::string& prefix, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return std::nullopt;
            const auto line = readLine(left);
            if (!line) return std::nullopt;
            if (line->starts_with(prefix)) return line;
        }
    }

    // Waits for it to end by itself: its exit status (minus the signal
    // when a signal ended it), nothing when it still ran after `limit`.
    std::optional<int> waitExit(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (int status = 0; pid_ > 0; ::usleep(10000)) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
            }
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
        }
        return std::nullopt;
    }

    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
    }

  private:
    pid_t pid_ = 0;
    int out_ = -1;
    std::string buffer_;
};

// A display server of its own for the test, on the first free display.
class VirtualDisplay {
  public:
    VirtualDisplay()
        : server_({"/usr/bin/Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten",
                   "tcp"}) {
        if (const auto number = server_.readLine(std::chrono::seconds(20))) name_ = ":" + *number;
    }
    static bool available() { return ::access("/usr/bin/Xvfb", X_OK) == 0; }
    // Empty when the server did not start.
    const std::string& name() const { return name_; }

  private:
    ChildProcess server_;
    std::string name_;
};

}  // namespace kxp40s::e2e
