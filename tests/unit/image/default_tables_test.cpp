#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image/default_tables.h"

namespace kxp40s {
namespace {

// The default image written down a second time, independently of the
// builder: hexadecimal rows from the pager's memory dump and prompt records
// as attribute, text and left-over characters.
class ExpectedImage {
  public:
    ExpectedImage& hex(int address, const char* bytes) {
        for (const char* p = bytes; *p;) {
            if (*p == ' ') {
                ++p;
                continue;
            }
            bytes_[address++] =
                static_cast<std::uint8_t>(std::stoi(std::string(p, 2), nullptr, 16));
            p += 2;
        }
        return *this;
    }
    ExpectedImage& fill(int from, int to, std::uint8_t value) {
        for (int a = from; a <= to; ++a)
            bytes_[a] = value;
        return *this;
    }
    ExpectedImage& text(int address, const char* chars) {
        std::memcpy(bytes_ + address, chars, std::strlen(chars));
        return *this;
    }
    ExpectedImage& record(int address, std::uint8_t attribute, const char* text,
                          const char* leftOver = "") {
        fill(address, address + 19, ' ');
        bytes_[address] = attribute;
        bytes_[address + 1] = static_cast<std::uint8_t>(std::strlen(text));
        return this->text(address + 2, text)
            .text(address + 2 + static_cast<int>(std::strlen(text)), leftOver);
    }
    const std::uint8_t* bytes() const { return bytes_; }

  private:
    std::uint8_t bytes_[2048] = {};
};

std::uint64_t fnv1a(const std::uint8_t* data, std::size_t size) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 1099511628211ull;
    return hash;
}

ExpectedImage expectedDefaultImage() {
    ExpectedImage e;
    e.hex(0x000,
          "FF FF FF FF 00 00 B4 A0 00 00 28 01 00 02 05 0A 0A 0A 0A 0A 0A 0A 0A 0A 0A 0A 0A 0A 0A "
          "0A 3C 3C")
        .hex(0x020,
             "3C 3C 3C 3C 3C 3C 3C 3C 3C 3C 3C 3C 5A 96 11 FF FF FF 00 00 00 00 06 00 00 41 42 0E "
             "40 0C 52 00")
        .hex(0x040,
             "61 1E 5A D0 60 22 5A D0 60 46 5A D0 60 6A 5A D0 60 8E 5A D0 60 B2 5A D0 60 D6 5A D0 "
             "60 FA 5A D0")
        .hex(0x060,
             "40 2A 41 A9 00 14 E7 90 00 17 58 90 78 12 F7 A2 41 49 52 50 52 4F 47 F0 07 08 09 0A "
             "0B 0C 0D 01")
        .hex(0x080, "21 10 16 1C 21 24 27 2A 2C 04 A3 22 16 B1 C0 CF 08")
        .record(0x0A0, 0x43, "FLASH ONLY");
    const struct {
        std::uint8_t attribute;
        const char* text;
    } english[] = {{0x05, "KAVION  "},     {0x06, "NO PAGES"},       {0x49, "ESCAPE"},
                   {0x45, "MESSAGE LOCK"}, {0x44, "MESSAGE UNLOCK"}, {0x44, "MESSAGE DELETE"},
                   {0x46, "DELETE ALL"},   {0x45, "MOVE TO MEMO"},   {0x46, "SET SCROLL"},
                   {0x47, "SET TIME"},     {0x46, "SET ALARM"},      {0x46, "SET ALERT"},
                   {0x46, "PAGER OFF"},    {0x00, "TONE ONLY"},      {0x43, "SLEEP"},
                   {0x43, "SILENT"},       {0x45, "PAGER OFF ?"},    {0x44, "MESSAGE DELETE ?"},
                   {0x46, "DELETE ALL ?"}, {0x22, "TIME SET"},       {0x22, "ALARM SET"},
                   {0x22, "SCROLL SET"},   {0x44, "AUTO SLEEP SET"}, {0x27, "START    END"},
                   {0x46, "MESSAGE AREA"}, {0x45, "MAIL DROP AREA"}, {0x43, "SILENT THEN BEEP"},
                   {0x48, "ZOOM IN"},      {0x47, "ZOOM OUT"},       {0x47, "CHIRP ON"},
                   {0x46, "CHIRP OFF"}};
    for (int i = 0; i < 31; ++i)
        e.record(0x100 + 20 * i, english[i].attribute, english[i].text);
    e.hex(0x36C, "79 C6 3E 05")
        .fill(0x390, 0x3AF, 2)
        .hex(0x3B4, "E7 F5 B1 B2")
        .record(0x3B8, 0x46, "SET HISTORY")
        .record(0x3CC, 0x24, "HISTORY SET")
        .hex(0x3E0, "0C")
        .text(0x3E1, "KXP40V1.0V5.12")
        .fill(0x400, 0x53F, 0xFF)
        .hex(0x428, "27 08")
        .text(0x42A, "CHARGING")
        .hex(0x520, "96 FF FF FF FF FF FF 2D 05 B4 D3 02 FF 03 30 01 00 B1")
        .text(0x532, "   KAVION   ")
        .hex(0x53E, "2B 00");
    for (int n = 1; n <= 32; ++n)
        e.record(0x540 + 20 * (n - 1), 5, ("NEWS " + std::to_string(n)).c_str());
    e.hex(0x7E0,
          "01 01 01 01 00 FF FF 01 01 01 01 01 FF FF FF FF 01 01 01 01 01 01 01 01 08 14 0E 0D CC "
          "FF FF FF");
    return e;
}

TEST(DefaultImage, MatchesTheDocumentedBlocksByteForByte) {
    const ExpectedImage expected = expectedDefaultImage();
    const Image image = defaultImage();
    for (int a = 0; a < kImageSize; ++a) {
        ASSERT_EQ(image.at(a), expected.bytes()[a]) << "first difference at address " << a;
    }
    EXPECT_EQ(fnv1a(image.bytes().data(), 2048), fnv1a(expected.bytes(), 2048));
}

TEST(DefaultImage, IsTheFiveBlocksEndToEnd) {
    const DefaultTables& t = defaultTables();
    EXPECT_EQ(t.DefaultBlock0.size() + t.DefaultPromptsEnglish.size() + t.DefaultBlock876.size() +
                  t.DefaultBlock1024.size() + t.DefaultBlock1344.size(),
              static_cast<std::size_t>(ImageUpperBound + 1));
    const Image image = defaultImage();
    EXPECT_TRUE(std::equal(t.DefaultBlock876.begin(), t.DefaultBlock876.end(),
                           image.bytes().begin() + 0x36C));
    EXPECT_TRUE(std::equal(t.DefaultBlock1344.begin(), t.DefaultBlock1344.end(),
                           image.bytes().begin() + 0x540));
}

std::string recordText(std::span<const std::uint8_t> set, int record, bool withLeftOver = false) {
    const auto* r = set.data() + 20 * record;
    const int count = withLeftOver ? 18 : r[1];
    return std::string(r + 2, r + 2 + count);
}

TEST(LanguageTables, CarryTheirTextsInWindows1252) {
    const DefaultTables& t = defaultTables();
    EXPECT_EQ(recordText(t.PromptsGerman, 2),
              "Men\xFC/zur\xFC"
              "ck");
    EXPECT_EQ(recordText(t.PromptsGerman, 27),
              "Vergr\xF6\xDF"
              "ern");
    EXPECT_EQ(recordText(t.PromptsGerman, 25),
              "\xD6"
              "ffentl. Nachr.");
    // "Nur Ton" shows 7 characters; "LY" is left over from the English text.
    EXPECT_EQ(recordText(t.PromptsGerman, 13), "Nur Ton");
    EXPECT_EQ(recordText(t.PromptsGerman, 13, true), "Nur TonLY         ");
    EXPECT_EQ(recordText(t.PromptsSpanish, 18, true), "BORRAR TODOS ?    ");
    EXPECT_EQ(recordText(t.FlashOnlyGerman, 0), "Nur Blinken");
    EXPECT_EQ(t.FlashOnlySpanish, t.FlashOnlyEnglish);
    EXPECT_EQ(t.FlashOnlyFrench, t.FlashOnlyEnglish);
    EXPECT_EQ(recordText(t.HistoryPromptsFrench, 0, true), "HISTORIQUEY       ");
    EXPECT_EQ(t.HistoryPromptsGerman[20], 0x25);
}

TEST(LanguageTables, PowerOnRecordIsEightLongInEnglishAndGermanSixOtherwise) {
    const DefaultTables& t = defaultTables();
    EXPECT_EQ(t.DefaultPromptsEnglish[1], 8);
    EXPECT_EQ(t.PromptsGerman[1], 8);
    EXPECT_EQ(t.PromptsSpanish[1], 6);
    EXPECT_EQ(t.PromptsFrench[1], 6);
    for (const auto* set :
         {&t.DefaultPromptsEnglish, &t.PromptsSpanish, &t.PromptsFrench, &t.PromptsGerman}) {
        for (int r = 0; r < 31; ++r)
            EXPECT_LE((*set)[20 * r + 1], 18) << "record " << r;
    }
}

}  // namespace
}  // namespace kxp40s
