#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "lpt_sim_process.h"
#include "run_program.h"
#include "temp_folder.h"

namespace kxp40s::e2e {
namespace {

// kxp40s-cli with --board lpt against kxp40s-sim --lpt, the parallel-port
// board on a local socket.
class BoardCli : public testing::TempFolderTest {
  protected:
    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    ProgramRun cli(std::vector<std::string> args, std::vector<std::string> env = {}) {
        env.push_back("XDG_DATA_HOME=" + path("data"));
        return runProgram("kxp40s-cli", args, "", env);
    }
    std::string prepared(const char* name, const std::string& setting) {
        EXPECT_EQ(cli({"new", "-o", path(name)}).status, 0);
        EXPECT_EQ(cli({"set", path(name), setting}).status, 0);
        return path(name);
    }
    std::string shown(const std::string& file, const std::string& key) {
        const std::string out = cli({"show", file}).out;
        const auto at = out.find("\n" + key + " = ");
        if (at == std::string::npos) return "";
        return out.substr(at + key.size() + 4, out.find('\n', at + 1) - at - key.size() - 4);
    }
};

TEST_F(BoardCli, TheParallelPortBoardReadsWritesVerifiesAndSeries) {
    // The window starts on the Non GP(RoHS) variant: byte 13 not 0.
    LptSimProcess board({"--set", "13=64", "--save", path("pager.tbl")});
    const std::vector<std::string> env{board.lptEnv()};
    const std::string file = prepared("x.tbl", "capcode1=1111111");

    const auto ports = cli({"ports", "--board", "lpt"}, env);
    EXPECT_EQ(ports.out, "/dev/parport0\tboard\n/dev/parport1\t-\n/dev/parport2\t-\n");
    const auto firmware = cli({"firmware", "--board", "lpt"}, env);
    EXPECT_EQ(firmware.out, "Version = 5.0\n") << firmware.err;

    const auto written = cli({"write", "--board", "lpt", file, "--yes", "--save-progress"}, env);
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "Verify Success!\n");
    const auto verify = cli({"verify", "--board", "lpt", file}, env);
    EXPECT_EQ(verify.status, 0) << verify.err;
    const auto read = cli({"read", "--board", "lpt", "-o", path("r.tbl")}, env);
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(shown(path("r.tbl"), "capcode1"), "1111111");

    const auto series = cli({"write", "--board", "lpt", file, "--yes", "--series", "2",
                             "--increase", "1", "--next-after", "0", "--save-progress"},
                            env);
    ASSERT_EQ(series.status, 0) << series.err;
    EXPECT_EQ(shown(file, "capcode1"), "1111113");
    board.stop();
    EXPECT_EQ(shown(path("pager.tbl"), "capcode1"), "1111112");
}

TEST_F(BoardCli, WithoutTheSimulatedBoardTheSearchSaysWhy) {
    const std::string file = prepared("x.tbl", "capcode1=1111111");
    const auto read =
        cli({"read", "--board", "lpt", "-o", path("r.tbl")}, {"KXP40S_LPT=" + path("none")});
    EXPECT_EQ(read.status, 1);
    EXPECT_NE(read.err.find("The Programmed Board is not responding!"), std::string::npos);
    EXPECT_NE(read.err.find(path("none")), std::string::npos) << read.err;
    EXPECT_FALSE(std::filesystem::exists(path("r.tbl")));
}

}  // namespace
}  // namespace kxp40s::e2e
