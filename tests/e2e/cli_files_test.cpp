#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "image/default_tables.h"
#include "run_program.h"
#include "temp_folder.h"

namespace kxp40s::e2e {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class CliFiles : public testing::TempFolderTest {
  protected:
    std::string path(const char* name) const { return (folder_ / name).string(); }
    static ProgramRun cli(const std::vector<std::string>& args) {
        return runProgram("kxp40s-cli", args);
    }

    static Bytes readBytes(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void writeBytes(const std::string& p, const Bytes& bytes) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    std::string newDefaults(const char* name) {
        const auto run = cli({"new", "--defaults", "-o", path(name)});
        EXPECT_EQ(run.status, 0) << run.err;
        return path(name);
    }
};

TEST_F(CliFiles, NewDefaultsWritesTheDefaultImage) {
    const std::string file = newDefaults("x.tbl");
    const Image image = defaultImage();
    EXPECT_EQ(readBytes(file), Bytes(image.bytes().begin(), image.bytes().end()));
}

TEST_F(CliFiles, ShowPrintsEverySettingAsTheWindowShowsItAndChangesNothing) {
    const std::string file = newDefaults("x.tbl");
    const auto before = fs::last_write_time(file);
    const auto run = cli({"show", file});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line :
         {"# Identity: KXP40V1.0V5.12\n", "capcode1.on = 1\n", "capcode2.on = 0\n",
          "baud = 1200 bps\n", "frequency-modification-enable = 1\n", "logo = English(Large)\n",
          "prompt0 = \"     KAVION  \"\n", "prompt65 = \"   FLASH ONLY\"\n",
          "# Ext. Charger's Beeper [chkCtl(29) &H31,3,1,chkN]\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(readBytes(file), readBytes(newDefaults("y.tbl")));
    EXPECT_EQ(fs::last_write_time(file), before);
}

TEST_F(CliFiles, ShowJsonGivesTheSameSettings) {
    const auto run = cli({"show", newDefaults("x.tbl"), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["identity"], "KXP40V1.0V5.12");
    EXPECT_EQ(json["settings"]["baud"], "1200 bps");
    EXPECT_EQ(json["settings"]["prompt13"], "TONE ONLY");
}

TEST_F(CliFiles, ShowSaysWhenAStoredValueMatchesNoListItem) {
    Bytes bytes = readBytes(newDefaults("x.tbl"));
    bytes[0x61] |= 0x18;  // baud field 3
    writeBytes(path("odd.tbl"), bytes);
    const auto run = cli({"show", path("odd.tbl")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("# baud: the stored value 3 matches no list item\n"), std::string::npos);
    EXPECT_EQ(run.out.find("baud = "), std::string::npos);
}

TEST_F(CliFiles, DiffListsEverySettingByKeyThenTheBytesNoSettingTells) {
    const std::string a = path("a.tbl");
    ASSERT_EQ(cli({"new", "-o", a}).status, 0);
    ASSERT_EQ(cli({"set", a, "capcode1=1000100", "frequency=1531250", "-o", path("b.tbl")}).status,
              0);
    Bytes bytes = readBytes(path("b.tbl"));
    bytes[0x100] ^= 0x40;  // attribute of the logo record, not shown
    bytes[0x7FE] ^= 0xFF;  // the checksum
    bytes[0x7FF] ^= 0x01;
    writeBytes(path("b.tbl"), bytes);

    const auto run = cli({"diff", a, path("b.tbl")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out,
              "Settings that differ:\n"
              "  frequency: 1530000 -> 1531250\n"
              "  capcode1: 1234567 -> 1000100\n"
              "Other bytes that differ:\n"
              "  &H100: 05 -> 45\n"
              "  &H7FE-&H7FF: FF FF -> 00 FE\n");

    const auto json = cli({"diff", a, path("b.tbl"), "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(nlohmann::json::parse(json.out), nlohmann::json::parse(R"({"identical": false,
                 "settings": [{"key": "frequency", "caption": "", "a": "1530000", "b": "1531250"},
                              {"key": "capcode1", "caption": "", "a": "1234567", "b": "1000100"}],
                 "bytes": [{"from": 256, "to": 256, "a": "05", "b": "45"},
                           {"from": 2046, "to": 2047, "a": "FF FF", "b": "00 FE"}]})"));
}

TEST_F(CliFiles, DiffExitsAsDiffDoes) {
    const std::string a = newDefaults("a.tbl");
    Bytes bytes = readBytes(a);
    bytes[0x61] = static_cast<std::uint8_t>((bytes[0x61] & ~0x18) | 0x10);  // "2400 bps"
    writeBytes(path("b.tbl"), bytes);
    bytes[997] = '1';
    writeBytes(path("foreign.tbl"), bytes);
    const std::string foreignMessage =
        "The [" + path("foreign.tbl") + "] is not correct format, the file will discard !\n";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string out, err;
    };
    const Case cases[] = {
        {"same", {"diff", a, newDefaults("same.tbl")}, 0, "The two images are identical.\n", ""},
        {"different",
         {"diff", a, path("b.tbl")},
         1,
         "Settings that differ:\n  baud (POCSAG Signal Baud Rate): 1200 bps -> 2400 bps\n",
         ""},
        {"missing", {"diff", a, path("none.tbl")}, 2, "", "This file is not exit!\n"},
        {"foreign", {"diff", path("foreign.tbl"), a}, 2, "", foreignMessage},
        {"missing, as JSON",
         {"diff", a, path("none.tbl"), "--json"},
         2,
         "",
         "This file is not exit!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = cli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
    for (const auto& [b, status] : {std::pair{a, 0}, std::pair{path("b.tbl"), 1}}) {
        const auto run = cli({"diff", a, b, "--json"});
        EXPECT_EQ(run.status, status);
        EXPECT_EQ(nlohmann::json::parse(run.out)["identical"], status == 0);
    }
}

TEST_F(CliFiles, RefusalsPrintTheSystemsMessageAndExit1) {
    Bytes foreign = readBytes(newDefaults("x.tbl"));
    foreign[997] = '1';
    writeBytes(path("foreign.tbl"), foreign);
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {"missing", {"show", path("none.tbl")}, "This file is not exit!\n"},
        {"foreign",
         {"show", path("foreign.tbl")},
         "The [" + path("foreign.tbl") + "] is not correct format, the file will discard !\n"},
        {"folder not there",
         {"new", "--defaults", "-o", path("no/x.tbl")},
         "Can not save [" + path("no/x.tbl") +
             "]: No such file or directory. The file was not changed.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = cli(c.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
}

// -o never replaces a file that is there (a prepared table was lost that
// way) unless --force says so; set without -o changes its own file.
TEST_F(CliFiles, AnOutputFileIsNotReplacedWithoutForce) {
    const std::string kept = newDefaults("kept.tbl");
    Bytes changed = readBytes(kept);
    changed[0x43] = 0xD8;
    writeBytes(kept, changed);
    const std::string other = newDefaults("other.tbl");
    const std::string exists =
        "This file is arealy exist ! (" + kept + "): give --force to replace it.\n";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string err;
    };
    std::filesystem::create_directory(path("folder"));
    const Case cases[] = {
        {"new", {"new", "-o", kept}, exists},
        {"set -o", {"set", other, "capcode1=1000000", "-o", kept}, exists},
        {"read -o, before the board is looked for",
         {"read", "-o", kept, "--port", "/nonexistent"},
         exists},
        {"a folder",
         {"new", "-o", path("folder"), "--force"},
         "[" + path("folder") + "] is a folder, not a table file.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = cli(c.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(readBytes(kept), changed);
    }
    EXPECT_EQ(cli({"set", other, "capcode1=1000000", "-o", kept, "--force"}).status, 0);
    EXPECT_NE(readBytes(kept), changed);
    EXPECT_EQ(cli({"set", kept, "capcode1=1000008"}).status, 0) << "its own file, as before";
    EXPECT_EQ(cli({"new", "-o", kept, "--force"}).status, 0);
    EXPECT_EQ(cli({"new", "-o", path("fresh.tbl")}).status, 0);
    EXPECT_EQ(readBytes(kept), readBytes(path("fresh.tbl")));
}

TEST_F(CliFiles, WrongUsageExits2AndHelpExits0) {
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"frobnicate"},
                                                                  {"show"},
                                                                  {"new", "--defaults"},
                                                                  {"diff", "a"},
                                                                  {"show", "a", "--bogus"}}) {
        EXPECT_EQ(cli(args).status, 2) << (args.empty() ? "(none)" : args[0]);
    }
    for (const char* command : {"new", "show", "diff"}) {
        const auto run = cli({command, "--help"});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find(command), std::string::npos);
    }
    EXPECT_NE(cli({"diff", "--help"})
                  .out.find("Exit status as diff(1): 0 the files are the same, 1 they differ, 2 "
                            "trouble"),
              std::string::npos);
    EXPECT_EQ(cli({"--help"}).status, 0);
}

}  // namespace
}  // namespace kxp40s::e2e
