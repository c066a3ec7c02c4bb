#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "link_sim_process.h"
#include "run_program.h"
#include "temp_folder.h"

namespace kxp40s::e2e {

namespace fs = std::filesystem;

// kxp40s-cli against kxp40s-sim over the system's serial port on a pty; and
// stopping a command by a signal.
class TransferCli : public testing::TempFolderTest {
  protected:
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    // The simulator with its board plugged in at folder/board; its memory is
    // saved to folder/pager.tbl when it ends.
    std::unique_ptr<SimProcess> startSim(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"--plug", path("board"), "--save", path("pager.tbl")};
        args.insert(args.end(), extra.begin(), extra.end());
        return std::make_unique<SimProcess>(args);
    }
    std::vector<std::string> env() const {
        return {"KXP40S_PORTS=" + path("board"), "XDG_DATA_HOME=" + path("data")};
    }
    ProgramRun cli(std::vector<std::string> args, const std::string& input = "") {
        return runProgram("kxp40s-cli", args, input, env());
    }
    // The command running beside the test, for a signal in its middle.
    std::unique_ptr<ChildProcess> startCli(std::vector<std::string> args,
                                           ChildProcess::Stdin in = ChildProcess::Stdin::Pipe) {
        args.insert(args.begin(), binary("kxp40s-cli"));
        return std::make_unique<ChildProcess>(std::move(args), env(), "", in);
    }
    std::string shown(const std::string& file) { return cli({"show", file}).out; }
    static std::string contents(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string prepared(const char* name, std::vector<std::string> settings) {
        EXPECT_EQ(cli({"new", "-o", path(name)}).status, 0);
        settings.insert(settings.begin(), {"set", path(name)});
        EXPECT_EQ(cli(settings).status, 0);
        return path(name);
    }
    std::size_t backups() const {
        const fs::path folder = folder_ / "data" / "kxp40s" / "backups";
        if (!fs::exists(folder)) return 0;
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
};

}  // namespace kxp40s::e2e
