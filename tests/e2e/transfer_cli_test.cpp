#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/frames.h"
#include "link/tracing_serial_port.h"
#include "link_sim_process.h"
#include "run_program.h"
#include "temp_folder.h"

namespace kxp40s::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

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

TEST_F(TransferCli, WriteReadAndVerifyCarryTheImageThroughThePager) {
    const std::string file =
        prepared("x.tbl", {"capcode1=1111111", "prompt3=HELLO", "baud=2400 bps"});
    auto sim = startSim();
    const auto write = cli({"write", file, "--yes", "--save-progress", "--no-pause"});
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(write.out, "Verify Success!\n");
    const auto verify = cli({"verify", file, "--port", path("board"), "--no-pause"});
    EXPECT_EQ(verify.status, 0) << verify.err;
    const auto read = cli({"read", "-o", path("r.tbl")});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, "Read success!\nWrote " + path("r.tbl") + "\n");
    EXPECT_EQ(backups(), 1u);
    sim->stop();
    EXPECT_EQ(contents(path("pager.tbl")), contents(file));
    EXPECT_EQ(contents(path("r.tbl")), contents(file));
}

// A file verifies after it was written, though the pager kept its own
// contrast and the write added what belongs to the pager; a real difference
// is explained setting by setting.
TEST_F(TransferCli, WriteLeavesTheFileAloneAndTheFileVerifiesAsWritten) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111"});
    const std::string before = contents(file);
    auto sim = startSim({"--set", "137=0x07"});
    ASSERT_EQ(cli({"write", file, "--yes", "--no-pause"}).status, 0);
    EXPECT_EQ(contents(file), before);
    const auto verify = cli({"verify", file, "--no-pause"});
    EXPECT_EQ(verify.status, 0) << verify.err;
    EXPECT_EQ(verify.out, "Verify Success!\n");

    const std::string other = prepared("y.tbl", {"capcode1=1111112"});
    const auto differs = cli({"verify", other, "--no-pause"});
    EXPECT_EQ(differs.status, 1);
    EXPECT_EQ(differs.err.rfind("Verify Error!\nThe pager differs from " + other, 0), 0u)
        << differs.err;
    EXPECT_NE(differs.err.find("capcode1: 1111112 -> 1111111"), std::string::npos) << differs.err;
}

TEST_F(TransferCli, AnEmptyPagerIsNotOverwrittenWithoutYes) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111"});
    auto sim = startSim({"--identity", "\x01"});
    const auto write = cli({"write", file});
    EXPECT_EQ(write.status, 1);
    EXPECT_EQ(
        write.err,
        "The program data is empty !  Are you sure overwrite it? No (give --yes to answer Yes)\n");
}

TEST_F(TransferCli, ASeriesCountsTheCapcodeUpFromPagerToPager) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111"});
    auto sim = startSim();
    const auto series = cli({"write", file, "--yes", "--series", "2", "--increase", "1",
                             "--next-after", "0", "--save-progress", "--no-pause"});
    ASSERT_EQ(series.status, 0) << series.err;
    EXPECT_EQ(
        series.out,
        "Verify Success!\nPager 1: capcode 1 = 1111111, capcode 2 = 1234560: written and verified\n"
        "Verify Success!\nPager 2: capcode 1 = 1111112, capcode 2 = 1234560: written and "
        "verified\n");
    sim->stop();
    EXPECT_NE(shown(file).find("capcode1 = 1111113\n"), std::string::npos);
    EXPECT_NE(shown(path("pager.tbl")).find("capcode1 = 1111112\n"), std::string::npos);
}

TEST_F(TransferCli, EveryInjectedFaultEndsWithTheLinksMessageAndLosesNothing) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111"});
    const std::string before = contents(file);
    struct Case {
        const char* fault;
        std::vector<std::string> command;
        std::string message;
    };
    const Case cases[] = {
        {"bad-checksum@4", {"read", "-o", path("r.tbl")}, "Read error!\n"},
        {"no-ack@4", {"read", "-o", path("r.tbl")}, "Read Time Out!\n"},
        {"late@4", {"read", "-o", path("r.tbl")}, "Read Time Out!\n"},
        {"unplug@4", {"read", "-o", path("r.tbl")}, "Read error!\n"},
        {"noise@4", {"read", "-o", path("r.tbl")}, "Read error!\n"},
        {"no-ack@8", {"write", file, "--yes"}, "Write error!\n"},
        {"wrong-ack@8", {"write", file, "--yes"}, "Write error!\n"},
        {"unplug@8", {"write", file, "--yes", "--save-progress"}, "Write error!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        auto sim = startSim({"--fault", c.fault});
        std::vector<std::string> command = c.command;
        command.push_back("--no-pause");
        const auto run = cli(command);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(path("r.tbl")));
        EXPECT_EQ(contents(file), before);
    }
}

// Ctrl-C between two pagers of a series: the file already holds the capcode
// of the next pager, the board is released, and the exit status is 130.
TEST_F(TransferCli, CtrlCInASeriesKeepsTheProgressAndSaysWhatState) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111"});
    auto sim = startSim();
    auto series = startCli({"write", file, "--yes", "--series", "5", "--increase", "1",
                            "--next-after", "30", "--save-progress", "--no-pause"});
    ASSERT_TRUE(series->waitFor("Pager 1:", 60s)) << series->errors();
    ::kill(series->pid(), SIGINT);
    EXPECT_EQ(series->waitExit(60s), 130) << series->errors();
    EXPECT_NE(series->errors().find("Stopped between two pagers: no pager was being written."),
              std::string::npos)
        << series->errors();
    EXPECT_NE(shown(file).find("capcode1 = 1111112\n"), std::string::npos);
}

// Ctrl-C while the terminal is asked whether to overwrite an empty pager:
// the answer is No, nothing is written, the board is released, and the
// program says so and ends with 130 (it used to abort).
TEST_F(TransferCli, CtrlCAtTheOverwriteQuestionAnswersNoAndEndsCleanly) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111"});
    auto sim = startSim({"--identity", "\x01", "--trace"});
    auto write = startCli({"write", file, "--no-pause"}, ChildProcess::Stdin::Terminal);
    ASSERT_TRUE(write->waitForError("[y/N]", 60s)) << write->errors();
    ::kill(write->pid(), SIGINT);
    EXPECT_EQ(write->waitExit(60s), 130) << write->errors();
    EXPECT_TRUE(write->errors().ends_with("Stopped: the pager was not changed.\n"))
        << write->errors();
    sim->stop();
    const std::string trace = sim->remainingOutput();
    EXPECT_NE(trace.find(" 02 72 ", trace.rfind("frame ")), std::string::npos)
        << "released: " << trace;
    EXPECT_EQ(trace.find("RX " + hexBytes(frameTemplates().memoryWrite)), std::string::npos)
        << "nothing written";
}

// Ctrl-C while the terminal waits for Enter before the next pager: no pager
// was being written, and the file holds the next pager's capcode.
TEST_F(TransferCli, CtrlCWhileWaitingForTheNextPagerSaysNoneWasBeingWritten) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111"});
    auto sim = startSim();
    auto series = startCli({"write", file, "--yes", "--series", "3", "--increase", "1",
                            "--save-progress", "--no-pause"},
                           ChildProcess::Stdin::Terminal);
    ASSERT_TRUE(series->waitForError("press Enter.", 60s)) << series->errors();
    ::kill(series->pid(), SIGINT);
    EXPECT_EQ(series->waitExit(60s), 130) << series->errors();
    EXPECT_TRUE(
        series->errors().ends_with("Stopped between two pagers: no pager was being written.\n"))
        << series->errors();
    EXPECT_NE(shown(file).find("capcode1 = 1111112\n"), std::string::npos);
}

// SIGTERM once the board has taken the first block of a write: the frame
// under way is finished, the board gets its release command, and the
// message says the pager may be half-written.
TEST_F(TransferCli, SigtermDuringAWriteReleasesTheBoardAndSaysThePagerMayBeHalfWritten) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111"});
    auto sim = startSim({"--pace", "--trace"});
    auto write = startCli({"write", file, "--yes"});
    const std::string writeFrame = "RX " + hexBytes(frameTemplates().memoryWrite);
    ASSERT_TRUE(sim->waitFor(writeFrame, 60s)) << write->errors();
    ::kill(write->pid(), SIGTERM);
    EXPECT_EQ(write->waitExit(60s), 1);
    // (other tests may hold a serial port of the machine, which the search reports)
    EXPECT_TRUE(
        write->errors().ends_with("Stopped: the pager may be half-written: write it again.\n"))
        << write->errors();
    EXPECT_EQ(write->errors().find("Programmer Initial Error !"), std::string::npos)
        << write->errors();
    sim->stop();
    const std::string trace = sim->remainingOutput();
    const auto lastFrame = trace.rfind("frame ");
    ASSERT_NE(lastFrame, std::string::npos);
    EXPECT_NE(trace.find(" 02 72 ", lastFrame), std::string::npos)
        << "released: " << trace.substr(lastFrame);
}

}  // namespace
}  // namespace kxp40s::e2e
