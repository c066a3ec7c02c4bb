#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "link_sim_process.h"

namespace kxp40s::e2e {

// kxp40s-sim --lpt on a socket in a fresh temporary folder: the parallel-port
// board, listening once the constructor returns, until stop() or the end of
// this object. `args` are the simulator's other options (--image, --set,
// --save, --trace ...). Programs reach the board with lptEnv() among their
// settings:
//   LptSimProcess board({"--identity", "KXP40V1.0V5.12"});
//   runProgram("kxp40s-cli", {"--board", "lpt", "read", "-o", file}, "", {board.lptEnv()});
class LptSimProcess {
  public:
    explicit LptSimProcess(std::vector<std::string> args = {})
        : folder_(freshFolder()), path_((folder_ / "board").string()), sim_(withLpt(args)) {
        if (sim_.ptyPath() != path_) {
            throw std::runtime_error("kxp40s-sim printed " + sim_.ptyPath() + ", not " + path_);
        }
    }
    LptSimProcess(const LptSimProcess&) = delete;
    LptSimProcess& operator=(const LptSimProcess&) = delete;
    ~LptSimProcess() {
        sim_.stop();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    const std::string& socketPath() const { return path_; }
    // "KXP40S_LPT=PATH", for runProgram's environment.
    std::string lptEnv() const { return "KXP40S_LPT=" + path_; }

    // Ends the simulator (SIGTERM) and returns its exit status.
    int stop() { return sim_.stop(); }
    // Its trace lines (with --trace), once it has ended.
    std::string remainingOutput() { return sim_.remainingOutput(); }

  private:
    static std::filesystem::path freshFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kxp40s-lpt-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp " + pattern);
        return pattern;
    }
    std::vector<std::string> withLpt(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--lpt", path_});
        return args;
    }

    std::filesystem::path folder_;
    std::string path_;
    SimProcess sim_;
};

}  // namespace kxp40s::e2e
