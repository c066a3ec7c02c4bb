#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "run_program.h"
#include "temp_folder.h"

namespace kxp40s::e2e {
namespace {

namespace fs = std::filesystem;

class CliSettings : public testing::TempFolderTest {
  protected:
    std::string path(const char* name) const { return (folder_ / name).string(); }
    static ProgramRun cli(const std::vector<std::string>& args, const std::string& input = "") {
        return runProgram("kxp40s-cli", args, input);
    }
    static std::string contents(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string newTable(const char* name, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"new", "-o", path(name)};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(cli(args).status, 0);
        return path(name);
    }
    std::string shown(const std::string& file) {
        const auto run = cli({"show", file});
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    }
};

TEST_F(CliSettings, NewHoldsTheStartUpImageAndBandChoosesARange) {
    const std::string show = shown(newTable("x.tbl"));
    EXPECT_NE(show.find("band = 2\nchannel = 5KHz\nrules = new\nfrequency = 1530000\n"),
              std::string::npos);
    EXPECT_NE(show.find("prompt0 = \"     KAVION\"\n"), std::string::npos);
    const std::string band1 = shown(newTable("y.tbl", {"--band", "1"}));
    EXPECT_NE(band1.find("band = 1\n"), std::string::npos);
    EXPECT_NE(band1.find("frequency = 4540125\n"), std::string::npos);
    EXPECT_EQ(cli({"new", "-o", path("z.tbl"), "--band", "4"}).status, 2);
    EXPECT_EQ(cli({"new", "--defaults", "-o", path("z.tbl"), "--band", "1"}).status, 2);
}

TEST_F(CliSettings, SetAppliesAssignmentsInOrderLikeAUser) {
    const std::string file = newTable("x.tbl");
    const auto run = cli({"set", file, "band=1", "frequency=4540000", "capcode2=8", "capcode2.on=1",
                          "prompt3=  Lock it", "language=German", "prompt5=Löschen!", "menu6=1",
                          "tone=Vibration"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string show = shown(file);
    for (const char* line :
         {"band = 1\n", "frequency = 4540000\n", "# pll.base = 3800000\n", "capcode2 = 0000008\n",
          "capcode2.on = 1\n", "prompt3 = \"  Nachricht sichern\"\n", "prompt5 = \"Löschen!\"\n",
          "language = German\n", "tone = Vibration\n"}) {
        EXPECT_NE(show.find(line), std::string::npos) << line;
    }
    // -o leaves FILE alone.
    const std::string before = contents(file);
    ASSERT_EQ(cli({"set", file, "baud=512 bps", "-o", path("out.tbl")}).status, 0);
    EXPECT_EQ(contents(file), before);
    EXPECT_NE(shown(path("out.tbl")).find("baud = 512 bps\n"), std::string::npos);
}

TEST_F(CliSettings, ShowPipedIntoSetCarriesEverySettingOver) {
    const std::string a = newTable("a.tbl");
    ASSERT_EQ(cli({"set", a, "band=3", "channel=6.25KHz", "frequency=1530125", "capcode1=2097151",
                   "capcode1.C.type=Mail Drop C", "password=42", "source=Backward", "source40=1",
                   "prompt40=NEWS FORTY", "lockout=240 seconds", "battery.high=1.58V", "contrast=7",
                   "alert.maildrop3=Disable", "push-key-lamp-on-enable=1"})
                  .status,
              0);
    const std::string b = newTable("b.tbl");
    const auto run = cli({"set", b, "--from", "-"}, shown(a));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(shown(b), shown(a));
}

TEST_F(CliSettings, BadInputIsRefusedWithExit1AndTheFileUntouched) {
    const std::string file = newTable("x.tbl");
    const std::string before = contents(file);
    std::ofstream(path("bad.txt")) << "# a comment\nbaud = 512 bps\nthis line has no equals\n";
    std::ofstream(path("empty.txt")) << "# only a comment\n";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {"unknown key",
         {"set", file, "colour=red"},
         "Unknown setting \"colour\" (argument 1); see kxp40s-cli set --help\n"},
        {"missing =", {"set", file, "baud"}, "argument 1 is not KEY=VALUE: baud\n"},
        {"not an item",
         {"set", file, "baud=9600"},
         "\"9600\" is not an item of baud (one of: 512 bps | 1200 bps | 2400 bps)\n"},
        {"index out of range", {"set", file, "band=7"}, ""},
        {"control character",
         {"set", file, "prompt3=A\tB"},
         "prompt3: A prompt can only hold letters, digits and signs of the Western European "
         "character set. (the text as typed in the box"},
        {"not Latin-1",
         {"set", file, "prompt3=中文"},
         "prompt3: A prompt can only hold letters, digits and signs of the Western European "
         "character set. (the text as typed in the box"},
        {"too long",
         {"set", file, "prompt3=ABCDEFGHIJKLMNOPQRS"},
         "prompt3: Can not exceed 18 characters exclude left space! (the text as typed"},
        {"editor refusal after changes",
         {"set", file, "baud=512 bps", "capcode1=2097152"},
         "capcode1: Please insert a number between 0000007 to 2097151 (the capcode, decimal 0 to "
         "2097151)\n"},
        {"password of five digits",
         {"set", file, "password=12345"},
         "password: Please insert a number between 0000 to 9999 (the pager password, 4 decimal "
         "digits)\n"},
        {"frequency not a number",
         {"set", file, "frequency=abc"},
         "frequency: Please insert a decimal numeric! (the receive frequency in units of 100 Hz, "
         "as typed, e.g. 1531250)\n"},
        {"read-out", {"set", file, "pll.n=1234"}, "\"pll.n\" is a read-out and cannot be set\n"},
        {"settings line without =",
         {"set", file, "--from", path("bad.txt")},
         "line 3 of " + path("bad.txt") + " is not KEY = VALUE: this line has no equals\n"},
        {"settings from a folder",
         {"set", file, "--from", folder_.string()},
         "Can not open [" + folder_.string() + "]: Is a directory\n"},
        {"settings from an empty file",
         {"set", file, "--from", path("empty.txt")},
         "Nothing to set: " + path("empty.txt") + " holds no KEY = VALUE line\n"},
        {"capcode longer than its box",
         {"set", file, "capcode1=00000001"},
         "capcode1 does not take \"00000001\": it takes 1 to 7 characters: the capcode, decimal "
         "0 to 2097151\n"},
        {"empty capcode", {"set", file, "capcode1="}, ""},
        {"hidden check box",
         {"set", file, "rd-key-pager-off=1"},
         "rd-key-pager-off is hidden while push-key-lamp-on-enable=0: set "
         "push-key-lamp-on-enable=1 first\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = cli(c.args);
        EXPECT_EQ(run.status, 1);
        // The system's message first, with what the setting takes after it.
        if (!c.err.empty()) {
            EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << run.err;
        }
        EXPECT_FALSE(run.err.empty());
        EXPECT_EQ(contents(file), before);
    }
    EXPECT_EQ(cli({"set", file}).status, 2);
    EXPECT_EQ(cli({"set", file, "--from", ""}).status, 2);
}

// An image `show` can print but whose boxes cannot take every value back:
// a prompt with a control character, a logo longer than its box, a
// frequency far outside the band, a password digit above 9.
TEST_F(CliSettings, ShowPipedIntoSetTakesBackWhatItPrintedOfAnOddImage) {
    const std::string a = newTable("a.tbl");
    std::string bytes = contents(a);
    bytes.replace(0x164, 5, std::string{0x02, 0x03, 'A', 0x01, 'B'});  // prompt5
    bytes[0x100] = 0x0F;
    bytes[0x101] = 18;
    bytes.replace(0x068, 4, std::string{'\xF2', '\xE1', '\x77', '\xE3'});
    bytes[0x3B2] = 12;
    std::ofstream(a, std::ios::binary) << bytes;
    const std::string show = shown(a);
    EXPECT_NE(show.find("# frequency = -220104733\n"), std::string::npos);
    EXPECT_NE(show.find("# password = 01200\n"), std::string::npos);
    EXPECT_NE(show.find("prompt5 = \"bytes: 02 03 41 01 42 "), std::string::npos);

    const std::string b = newTable("b.tbl");
    const auto run = cli({"set", b, "--from", "-"}, show);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string carried = contents(b);
    EXPECT_EQ(carried.substr(0x100, 20), bytes.substr(0x100, 20));
    EXPECT_EQ(carried.substr(0x164, 20), bytes.substr(0x164, 20));
}

}  // namespace
}  // namespace kxp40s::e2e
