#pragma once

// A program running beside the test (one of the built programs, a display
// server): its standard input fed once, its standard output read line by
// line as it comes, its standard error gathered. Every end-to-end test
// starts its processes through this class.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

extern char** environ;

namespace kxp40s::e2e {

inline std::string binary(const std::string& name) {
    return std::string(KXP40S_BIN_DIR) + "/" + name;
}

class ChildProcess {
  public:
    using Clock = std::chrono::steady_clock;

    // Its stdin: a pipe that ends after `input`, or a terminal (a pty that
    // stays open while the process runs), where a program asks its questions.
    enum class Stdin { Pipe, Terminal };

    // `argv[0]` is a path. In `env`, "NAME=VALUE" sets a variable of its
    // environment and "NAME" alone takes one out. `input` is all its stdin.
    explicit ChildProcess(std::vector<std::string> argv, const std::vector<std::string>& env = {},
                          const std::string& input = "", Stdin stdinKind = Stdin::Pipe) {
        int in[2], out[2], err[2];
        const bool opened =
            stdinKind == Stdin::Terminal ? openTerminal(in) : ::pipe2(in, O_CLOEXEC) == 0;
        if (!opened || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        const std::string program = argv.at(0);
        const int rc = spawn(std::move(argv), environment(env), {in[0], out[1], err[1]});
        for (int fd : {in[0], out[1], err[1]})
            ::close(fd);
        if (rc != 0) {
            for (int fd : {in[1], out[0], err[0]})
                ::close(fd);
            throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
        }
        fds_[0] = out[0];
        fds_[1] = err[0];
        if (stdinKind == Stdin::Terminal) {
            terminal_ = in[1];
            [[maybe_unused]] const ssize_t n = ::write(terminal_, input.data(), input.size());
        } else {
            feed(in[1], input);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        stop();
        for (int fd : fds_) {
            if (fd >= 0) ::close(fd);
        }
        if (terminal_ >= 0) ::close(terminal_);
    }

    pid_t pid() const { return pid_; }
    // Its standard error so far.
    const std::string& errors() const { return buffers_[1]; }

    // The next line of its output; nothing when none came within `limit`
    // or the output has ended.
    std::optional<std::string> readLine(std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        std::string& out = buffers_[0];
        for (;;) {
            if (const auto end = out.find('\n'); end != std::string::npos) {
                std::string line = out.substr(0, end);
                out.erase(0, end + 1);
                return line;
            }
            if (fds_[0] < 0 || !pump(deadline)) return std::nullopt;
        }
    }

    // Reads its stderr until it holds `text` (a question waits without an
    // end of line); false when it did not come in time.
    bool waitForError(std::string_view text, std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        while (buffers_[1].find(text) == std::string::npos) {
            if (!pump(deadline)) return false;
        }
        return true;
    }

    // Reads lines until one holds `text`; nothing when none came in time.
    std::optional<std::string> waitFor(std::string_view text, std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        while (const auto line = readLine(left(deadline))) {
            if (line->find(text) != std::string::npos) return line;
        }
        return std::nullopt;
    }

    // Waits for it to end by itself and reads what it left in the pipes:
    // its exit status (minus the signal when a signal ended it), nothing
    // when it still ran after `limit`.
    std::optional<int> waitExit(std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        while (pid_ > 0) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
                readToEnd(std::chrono::seconds(5));
            } else if (Clock::now() >= deadline) {
                return std::nullopt;
            } else {
                pump(std::min(deadline, Clock::now() + std::chrono::milliseconds(10)));
            }
        }
        return status_;
    }

    // SIGTERM, and SIGKILL when that has not ended it within `limit`: its
    // exit status as waitExit gives it.
    int stop(std::chrono::milliseconds limit = std::chrono::seconds(30)) {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
        if (const auto status = waitExit(limit)) return *status;
        ::kill(pid_, SIGKILL);
        return *waitExit(std::chrono::seconds(30));
    }

    // Reads its stdout and stderr until it closes both; false when it
    // still held them open after `limit`.
    bool readToEnd(std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        while (fds_[0] >= 0 || fds_[1] >= 0) {
            if (!pump(deadline)) return false;
        }
        return true;
    }

    // The rest of its output once it has ended (trace lines).
    std::string remainingOutput() {
        readToEnd(std::chrono::seconds(30));
        return std::exchange(buffers_[0], {});
    }

  private:
    // Starts argv[0] with `streams` as its stdin, stdout and stderr: 0, or
    // the error number when it could not start.
    int spawn(std::vector<std::string> argv, std::vector<std::string> variables,
              const std::array<int, 3>& streams) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        for (std::size_t i = 0; i < streams.size(); ++i)
            posix_spawn_file_actions_adddup2(&actions, streams[i], static_cast<int>(i));
        auto args = pointers(argv);
        auto envp = pointers(variables);
        const int rc = ::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return rc;
    }

    static std::chrono::milliseconds left(Clock::time_point deadline) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    }

    static std::vector<std::string> environment(const std::vector<std::string>& changes) {
        const auto nameOf = [](std::string_view variable) {
            return variable.substr(0, variable.find('='));
        };
        std::vector<std::string> variables;
        for (char** e = environ; *e; ++e) {
            const bool changed = std::any_of(changes.begin(), changes.end(),
                                             [&](auto& c) { return nameOf(c) == nameOf(*e); });
            if (!changed) variables.emplace_back(*e);
        }
        for (const std::string& c : changes) {
            if (c.find('=') != std::string::npos) variables.push_back(c);
        }
        return variables;
    }

    static std::vector<char*> pointers(std::vector<std::string>& texts) {
        std::vector<char*> p;
        for (auto& t : texts)
            p.push_back(t.data());
        p.push_back(nullptr);
        return p;
    }

    // Its whole input, then the end of it. A program may end without
    // reading it all.
    static void feed(int fd, const std::string& input) {
        const auto previous = ::signal(SIGPIPE, SIG_IGN);
        for (std::size_t done = 0; done < input.size();) {
            const ssize_t n = ::write(fd, input.data() + done, input.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::signal(SIGPIPE, previous);
        ::close(fd);
    }

    // A pty: [0] the terminal the process reads, [1] the side the test keeps.
    static bool openTerminal(int ends[2]) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return false;
        ends[0] = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ends[1] = master;
        return ends[0] >= 0;
    }

    // Waits until `deadline` for output and takes in what came; false when
    // nothing came in time or both pipes were closed already.
    bool pump(Clock::time_point deadline) {
        pollfd polled[2] = {{fds_[0], POLLIN, 0}, {fds_[1], POLLIN, 0}};
        if (fds_[0] < 0 && fds_[1] < 0) return false;
        const auto wait = std::max<std::chrono::milliseconds::rep>(left(deadline).count(), 0);
        if (::poll(polled, 2, static_cast<int>(wait)) <= 0) return false;
        for (int i = 0; i < 2; ++i) {
            if (fds_[i] < 0 || !(polled[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char chunk[4096];
            const ssize_t n = ::read(fds_[i], chunk, sizeof chunk);
            if (n > 0) {
                buffers_[i].append(chunk, static_cast<std::size_t>(n));
            } else {
                ::close(fds_[i]);
                fds_[i] = -1;
            }
        }
        return true;
    }

    pid_t pid_ = 0;
    int status_ = -1;
    int fds_[2] = {-1, -1};  // stdout, stderr
    int terminal_ = -1;      // the test's side of a terminal stdin
    std::string buffers_[2];
};

// A display server of its own for the test, on the first free display.
class VirtualDisplay {
  public:
    // `screen`: width x height x depth.
    explicit VirtualDisplay(const std::string& screen = "1280x1024x24")
        : server_(
              {"/usr/bin/Xvfb", "-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"}) {
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
