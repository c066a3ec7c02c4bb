#include <gtest/gtest.h>

#include <string>

#include "editors/quoted_text.h"

namespace kxp40s {
namespace {

using namespace std::string_literals;

TEST(QuoteText, EscapesQuotesBackslashesAndControlCharactersOnly) {
    struct Case {
        std::string text, quoted;
    };
    const Case cases[] = {
        {"", R"("")"},
        {"  KAVION  ", R"("  KAVION  ")"},
        {R"(say "hi")", R"("say \"hi\"")"},
        {R"(C:\dir/x)", R"("C:\\dir/x")"},
        {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
        {"\x01\x1f"s + '\0', R"("\u0001\u001f\u0000")"},
        {"\x7f", "\"\x7f\""},
        {"Löschen € 😀", "\"Löschen € 😀\""},
        {"\xff\xc3", "\"\xff\xc3\""},  // not UTF-8: written as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quoted);
        EXPECT_EQ(quoteText(c.text), c.quoted);
    }
}

TEST(UnquoteText, ReadsEveryJsonEscape) {
    struct Case {
        std::string quoted, text;
    };
    const Case cases[] = {
        {R"("")", ""},
        {R"("  two  ")", "  two  "},
        {R"("\"\\\/\b\f\n\r\t")", "\"\\/\b\f\n\r\t"},
        {R"("\u00e9\u00E9\u20ac")", "éé€"},
        {R"("\u0000")", "\0"s},
        {R"("\ud83d\ude00")", "😀"},
        {R"("\uDBFF\uDFFF")", "\xf4\x8f\xbf\xbf"},
        {"\"Löschen\x7f\"", "Löschen\x7f"},
        {"\"x\" \t\r\n", "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quoted);
        EXPECT_EQ(unquoteText(c.quoted), c.text);
    }
}

TEST(UnquoteText, RefusesWhatIsNotOneQuotedText) {
    for (const std::string quoted : {
             "",
             "x",
             R"( "x")",
             R"(")",
             R"("x)",
             R"("x\")",
             R"("x" y)",
             R"("a""b")",
             R"("\x")",
             R"("\)",
             R"("\u12")",
             R"("\u12g4")",
             R"("\ud83d")",
             R"("\ud83dx")",
             R"("\ud83d\u0041")",
             R"("\ude00")",
             "\"a\tb\"",
             "\"a\nb\"",
             "\"\x01\"",
             "\"\xff\"",
             "\"\xc3\"",
             "\"\xc0\xaf\"",
             "\"\xe0\x80\x80\"",
             "\"\xed\xa0\x80\"",
             "\"\xf4\x90\x80\x80\"",
             "\"\xf0\x9f\x98\"",
         }) {
        SCOPED_TRACE(quoted);
        EXPECT_EQ(unquoteText(quoted), std::nullopt);
    }
}

TEST(QuotedText, EveryCharacterAndTextRoundTrips) {
    std::string all;
    for (int c = 1; c < 0x80; ++c)
        all += static_cast<char>(c);
    for (const std::string& text : {all, "\0\0"s, "ÿ€😀 \"\\/"s, "   "s}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(unquoteText(quoteText(text)), text);
    }
}

}  // namespace
}  // namespace kxp40s
