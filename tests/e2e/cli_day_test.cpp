#include <gtest/gtest.h>

#include <csignal>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "transfer_cli_rig.h"

// A technician's day with kxp40s-cli against kxp40s-sim: a series written
// from a list of capcodes with its log, and the backups found and restored.

namespace kxp40s::e2e {
namespace {

using namespace std::chrono_literals;

class CliDay : public TransferCli {
  protected:
    std::string writeFile(const char* name, const std::string& text) {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
};

// The list has two pagers where three were asked for: both are written with
// their own capcodes, the series ends with a message saying so, and the log
// holds a row for each, under one header, after a first series' row.
TEST_F(CliDay, ASeriesFromAListWritesEachPagersCapcodesAndLogsThem) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111", "capcode2=1234560"});
    const std::string list = writeFile("caps.txt", "1000001\n1000002,2000002\n");
    const std::string log = writeFile("log.csv", "");
    auto sim = startSim();
    const auto first = cli(
        {"write", file, "--yes", "--series", "1", "--increase", "1", "--log", log, "--no-pause"});
    ASSERT_EQ(first.status, 0) << first.err;

    const auto series = cli({"write", file, "--yes", "--series", "3", "--capcodes", list,
                             "--next-after", "0", "--log", log, "--no-pause"});
    EXPECT_EQ(series.status, 1);
    EXPECT_EQ(series.out,
              "Verify Success!\nPager 1: capcode 1 = 1000001, capcode 2 = 1234560: written and "
              "verified\nVerify Success!\nPager 2: capcode 1 = 1000002, capcode 2 = 2000002: "
              "written and verified\n");
    EXPECT_TRUE(series.err.ends_with("The capcode list " + list +
                                     " has 2 pagers, not 3: the series ended after pager 2.\n"))
        << series.err;
    const auto rows = lines(contents(log));
    ASSERT_EQ(rows.size(), 4u) << contents(log);
    EXPECT_EQ(rows[0], "time,port,identity,firmware,capcode1,capcode2,result");
    EXPECT_TRUE(rows[1].ends_with(",1111111,1234560,verified")) << rows[1];
    EXPECT_NE(rows[3].find("," + path("board") + ",KXP40"), std::string::npos) << rows[3];
    EXPECT_TRUE(rows[3].ends_with(",5.0,1000002,2000002,verified")) << rows[3];
    sim->stop();
    EXPECT_NE(shown(path("pager.tbl")).find("capcode2 = 2000002\n"), std::string::npos);
}

// A bad line is refused before the board is looked for: no pager of the
// series is written with half a list.
TEST_F(CliDay, ABadListIsRefusedBeforeAnyPagerIsWritten) {
    const std::string file = prepared("x.tbl", {"capcode1=1111111"});
    const std::string list = writeFile("caps.txt", "1000001\n2097152\n");
    const auto series = cli({"write", file, "--yes", "--series", "2", "--capcodes", list});
    EXPECT_EQ(series.status, 1);
    EXPECT_EQ(series.err, list + ":2: \"2097152\" is not a capcode (0 to 2097151) or two of " +
                              "them, cap1,cap2\n");
    const auto both = cli({"write", file, "--series", "2", "--capcodes", list, "--increase", "1"});
    EXPECT_EQ(both.status, 2) << "a list and counting up exclude each other";
    const auto neither = cli({"write", file, "--series", "2"});
    EXPECT_EQ(neither.status, 2);
    EXPECT_NE(neither.err.find("needs --increase or --capcodes"), std::string::npos) << neither.err;
}

// Backups carry the pager's capcode 1 in their names and the list, newest
// first; one restored is the image that was read, and nothing is replaced.
TEST_F(CliDay, BackupsAreListedNewestFirstAndRestored) {
    EXPECT_EQ(cli({"backups", "list"}).out, "No backups in " + path("data") + "/kxp40s/backups\n");
    auto sim = startSim();
    ASSERT_EQ(cli({"write", prepared("a.tbl", {"capcode1=1000001"}), "--yes", "--no-pause"}).status,
              0);
    ASSERT_EQ(cli({"read", "-o", path("a-read.tbl"), "--no-pause"}).status, 0);
    ASSERT_EQ(cli({"write", prepared("b.tbl", {"capcode1=251"}), "--yes", "--no-pause"}).status, 0);
    ASSERT_EQ(cli({"read", "-o", path("b-read.tbl"), "--no-pause"}).status, 0);

    const auto list = cli({"backups", "list"});
    ASSERT_EQ(list.status, 0) << list.err;
    const auto rows = lines(list.out);
    ASSERT_EQ(rows.size(), 3u) << list.out;
    EXPECT_EQ(rows[0].rfind("N   TIME", 0), 0u) << rows[0];
    EXPECT_NE(rows[1].find(" read           251        "), std::string::npos) << rows[1];
    EXPECT_TRUE(std::regex_search(rows[1], std::regex(R"(/read-\d{8}-\d{6}-0000251(-2)?\.tbl$)")))
        << rows[1];
    EXPECT_EQ(rows[2].rfind("2 ", 0), 0u);
    EXPECT_NE(rows[2].find(" 1000001 "), std::string::npos) << rows[2];

    const auto json = nlohmann::json::parse(cli({"backups", "list", "--json"}).out);
    ASSERT_EQ(json["backups"].size(), 2u);
    EXPECT_EQ(json["backups"][1]["capcode1"], 1000001);
    EXPECT_EQ(json["backups"][1]["kind"], "read");

    const auto restore = cli({"backups", "restore", "2", "-o", path("back.tbl")});
    ASSERT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(contents(path("back.tbl")), contents(path("a-read.tbl")));
    EXPECT_EQ(cli({"backups", "restore", "1", "-o", path("back.tbl")}).status, 1);
    EXPECT_EQ(contents(path("back.tbl")), contents(path("a-read.tbl"))) << "not replaced";
    const auto missing = cli({"backups", "restore", "3", "-o", path("c.tbl")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "There is no backup 3: " + path("data") + "/kxp40s/backups holds 2.\n");
}

// --json: stdout holds one object whatever came of the command (refused
// before the board was asked, done, a verify error, a series, a stop), and
// the messages stay on stderr.
TEST_F(CliDay, JsonSaysWhatCameOfEachTransfer) {
    const std::string file = prepared("a.tbl", {"capcode1=1000001"});
    auto sim = startSim();
    ASSERT_EQ(cli({"write", file, "--yes", "--no-pause"}).status, 0);

    const auto read = cli({"read", "-o", path("r.tbl"), "--json", "--no-pause"});
    ASSERT_EQ(read.status, 0) << read.err;
    const auto done = nlohmann::json::parse(read.out);
    EXPECT_EQ(done["outcome"], "done");
    EXPECT_EQ(done["message"], "Read success!");
    EXPECT_EQ(done["file"], path("r.tbl"));
    EXPECT_EQ(done["port"], path("board"));
    ASSERT_EQ(done["backups"].size(), 1u);
    EXPECT_TRUE(fs::exists(done["backups"][0].get<std::string>()));
    EXPECT_NE(done["backups"][0].get<std::string>().find("/read-"), std::string::npos);
    ASSERT_EQ(done["capcodes"].size(), 8u);
    EXPECT_EQ(done["capcodes"][0],
              nlohmann::json({{"number", 1}, {"capcode", "1000001"}, {"on", true}}));
    EXPECT_NE(read.err.find("Read success!\nWrote " + path("r.tbl")), std::string::npos)
        << read.err;

    const auto again = cli({"read", "-o", path("r.tbl"), "--json", "--no-pause"});
    EXPECT_EQ(again.status, 1);
    const auto refused = nlohmann::json::parse(again.out);
    EXPECT_EQ(refused["outcome"], "failed");
    EXPECT_NE(refused["message"].get<std::string>().find(path("r.tbl")), std::string::npos);
    EXPECT_TRUE(refused["port"].is_null());
    EXPECT_TRUE(refused["capcodes"].is_null());

    const auto verify =
        cli({"verify", prepared("b.tbl", {"capcode1=1000002"}), "--json", "--no-pause"});
    EXPECT_EQ(verify.status, 1);
    const auto differs = nlohmann::json::parse(verify.out);
    EXPECT_EQ(differs["outcome"], "failed");
    EXPECT_EQ(differs["message"], "Verify Error!");
    ASSERT_EQ(differs["backups"].size(), 1u);
    EXPECT_NE(differs["backups"][0].get<std::string>().find("/verify-failed-"), std::string::npos);

    const std::string list = writeFile("caps.txt", "1000003\n1000004,2000004\n");
    const auto series = cli({"write", file, "--yes", "--series", "2", "--capcodes", list,
                             "--next-after", "0", "--json", "--no-pause"});
    ASSERT_EQ(series.status, 0) << series.err;
    const auto pagers = nlohmann::json::parse(series.out);
    EXPECT_EQ(pagers["outcome"], "done");
    EXPECT_FALSE(pagers.contains("capcodes"));
    ASSERT_EQ(pagers["pagers"].size(), 2u);
    EXPECT_EQ(
        pagers["pagers"][1],
        nlohmann::json(
            {{"number", 2}, {"capcode1", 1000004}, {"capcode2", 2000004}, {"result", "verified"}}));

    auto stopped = startCli({"write", file, "--yes", "--series", "5", "--increase", "1",
                             "--next-after", "30", "--json", "--no-pause"});
    ASSERT_TRUE(stopped->waitForError("Pager 1:", 60s)) << stopped->errors();
    ::kill(stopped->pid(), SIGINT);
    EXPECT_EQ(stopped->waitExit(60s), 130) << stopped->errors();
    const auto stop = nlohmann::json::parse(stopped->remainingOutput());
    EXPECT_EQ(stop["outcome"], "stopped");
    EXPECT_EQ(stop["message"], "Stopped between two pagers: no pager was being written.");
    EXPECT_EQ(stop["pagers"].size(), 1u);
}

}  // namespace
}  // namespace kxp40s::e2e
