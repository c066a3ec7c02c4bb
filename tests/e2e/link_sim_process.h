#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "child_process.h"

namespace kxp40s::e2e {

// kxp40s-sim running beside the test. Its first line names the pty (with
// --lpt, the socket); the lines after it are its trace (--trace).
class SimProcess : public ChildProcess {
  public:
    explicit SimProcess(std::vector<std::string> args) : ChildProcess(withBinary(std::move(args))) {
        const auto line = readLine(std::chrono::seconds(20));
        if (!line) throw std::runtime_error("kxp40s-sim did not print its pty: " + errors());
        path_ = *line;
    }

    const std::string& ptyPath() const { return path_; }

  private:
    static std::vector<std::string> withBinary(std::vector<std::string> args) {
        args.insert(args.begin(), binary("kxp40s-sim"));
        return args;
    }

    std::string path_;
};

}  // namespace kxp40s::e2e
