#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "temp_folder.h"
#include "transfer/capcode_list.h"
#include "transfer/local_time.h"
#include "transfer/series_log.h"

namespace kxp40s {
namespace {

CapcodeListRead parsed(const std::string& text) {
    std::istringstream in(text);
    return parseCapcodeList(in, "list.txt");
}

TEST(CapcodeList, TakesOneOrTwoCapcodesALine) {
    const auto read = parsed("1000001\n# a comment\n\n 1000002 , 2000002 \r\n0000007\n2097151,0\n");
    ASSERT_FALSE(read.error) << *read.error;
    ASSERT_EQ(read.pagers.size(), 4u);
    EXPECT_EQ(read.pagers[0].capcode1, 1000001);
    EXPECT_FALSE(read.pagers[0].capcode2);
    EXPECT_EQ(read.pagers[1].capcode1, 1000002);
    EXPECT_EQ(read.pagers[1].capcode2, 2000002);
    EXPECT_EQ(read.pagers[2].capcode1, 7);
    EXPECT_EQ(read.pagers[3].capcode2, 0);
}

// The whole list is refused at its first bad line, so that a series never
// stops half-way at a typing error.
TEST(CapcodeList, RefusesTheFirstBadLineByItsNumber) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"1\n2097152\n", "list.txt:2: \"2097152\" is not a capcode"},
        {"12a\n", "list.txt:1: \"12a\""},
        {"1,\n", "list.txt:1: \"1,\""},
        {"1,2,3\n", "list.txt:1: \"1,2,3\""},
        {",5\n", "list.txt:1: \",5\""},
        {"-1\n", "list.txt:1: \"-1\""},
        {"00000001\n", "list.txt:1: \"00000001\""},
        {"99999999999999999999\n", "list.txt:1:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = parsed(c.text);
        ASSERT_TRUE(read.error);
        EXPECT_EQ(read.error->rfind(c.error, 0), 0u) << *read.error;
        EXPECT_TRUE(read.pagers.empty());
    }
}

class Log : public testing::TempFolderTest {
  protected:
    std::string logText() const {
        std::ifstream in(folder_ / "log.csv", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static SeriesPager pager(int number, Result result, PagerState state) {
        return {number, 1000000 + number, 7, result, state, "KXP40PCB1V5.12", 50};
    }
};

// Rows are there as soon as they are appended (nothing waits in a buffer),
// a second series adds to the first one's rows under one header, and a
// field with a comma or quote stays one field.
TEST_F(Log, AppendsOneFlushedRowAPagerUnderOneHeader) {
    const auto at = std::chrono::system_clock::now();
    const std::string time = localTimeText(at);
    {
        SeriesLog log;
        ASSERT_FALSE(log.open(folder_ / "log.csv"));
        ASSERT_FALSE(log.append(pager(1, Result::Done, PagerState::Verified), "/dev/ttyUSB0", at));
        EXPECT_EQ(logText(), "time,port,identity,firmware,capcode1,capcode2,result\n" + time +
                                 ",/dev/ttyUSB0,KXP40PCB1V5.12,5.0,1000001,7,verified\n");
    }
    SeriesLog again;
    ASSERT_FALSE(again.open(folder_ / "log.csv"));
    SeriesPager odd = pager(2, Result::Failed, PagerState::Written);
    odd.identity = "A,\"B";
    odd.firmware.reset();
    ASSERT_FALSE(again.append(odd, "COM3", at));
    ASSERT_FALSE(again.append(pager(3, Result::Failed, PagerState::PartlyWritten), "p", at));
    ASSERT_FALSE(again.append(pager(4, Result::Stopped, PagerState::PartlyWritten), "p", at));
    const std::string text = logText();
    EXPECT_NE(text.find(time + ",COM3,\"A,\"\"B\",,1000002,7,verify error\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find(",1000003,7,write error\n"), std::string::npos);
    EXPECT_NE(text.find(",1000004,7,stopped\n"), std::string::npos);
    EXPECT_EQ(text.find("time,", 1), std::string::npos) << "one header";
}

TEST_F(Log, AFolderOrAPlaceThatCannotBeWrittenIsRefusedAtOnce) {
    SeriesLog log;
    EXPECT_TRUE(log.open(folder_));
    EXPECT_TRUE(log.open(folder_ / "missing" / "log.csv"));
}

}  // namespace
}  // namespace kxp40s
