#include <gtest/gtest.h>

#include <string>

#include "editors/init_ctl.h"
#include "editors/prompts.h"
#include "editors/tagged.h"
#include "image/default_tables.h"

namespace kxp40s {
namespace {

ControlId box(int index) {
    return {"txtPrompt", index};
}
ControlId source(int index) {
    return {"chkSource", index};
}

std::string recordBytes(const Session& s, int address) {
    const auto bytes = s.ConfigImage.read(address, 20);
    return std::string(bytes.begin(), bytes.end());
}

// A session whose prompt boxes are styled as after loading the default image.
Session loadedSession() {
    Session s;
    init_ctl(s);
    return s;
}

Effects store(Session& s, int index, const std::string& text) {
    txtPrompt_GotFocus(s, index);
    return txtPrompt_LostFocus(s, index, text);
}

TEST(PromptStore, KeepsLeadingSpacesInTheNibbleAndTheAttribute) {
    struct Case {
        const char* name;
        std::string typed;
        int nibble;
        std::string chars;
    };
    const Case cases[] = {
        {"spaces around", "   ABC  ", 3, "ABC"},
        {"more than 15 spaces", std::string(17, ' ') + "AB", 15, "  AB"},
        {"empty", "", 0, " "},
        {"inner spaces kept", "START    END", 0, "START    END"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s = loadedSession();
        const std::uint8_t attribute = s.ConfigImage.at(0x128) & 0xF0;
        EXPECT_FALSE(store(s, 2, c.typed).refused);
        EXPECT_EQ(s.ConfigImage.at(0x128), attribute | c.nibble);
        EXPECT_EQ(s.ConfigImage.at(0x129), c.chars.size());
        EXPECT_EQ(recordBytes(s, 0x128).substr(2, c.chars.size()), c.chars);
        EXPECT_EQ(s.controls[box(2)].text, std::string(c.nibble, ' ') + c.chars);
    }
}

TEST(PromptStore, TheLogoBoxSetsTheLogoTextMode) {
    Session s = loadedSession();
    store(s, 0, "");
    EXPECT_EQ(GetField(s.ConfigImage, 0x3B, 0, 2), 0);
    store(s, 0, "HELLO");
    EXPECT_EQ(GetField(s.ConfigImage, 0x3B, 0, 2), 2);
}

TEST(PromptStore, RefusesWhatTheRecordCannotHoldAndChangesNothing) {
    struct Case {
        const char* name;
        int index;
        std::string typed;
        std::string message;
    };
    const std::string tooLong = "Can not exceed 18 characters exclude left space!";
    const std::string notStorable =
        "A prompt can only hold letters, digits and signs of the Western European character set.";
    const Case cases[] = {
        {"19 characters", 3, std::string(19, 'A'), tooLong},
        {"trailing spaces count", 3, "ABC" + std::string(16, ' '), tooLong},
        {"spaces beyond 15 overflow the record", 3,
         std::string(20, ' ') + "ABCDEFGHIJKLMNOP"[0] + "BCDEFGHIJKLMNOP", tooLong},
        {"longer than the large logo box", 0, std::string(2, ' ') + std::string(15, 'A'), tooLong},
        {"a character the pager cannot show", 3, "\xE4\xB8\xAD", notStorable},
        {"a control character", 3, "A\tB", notStorable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s = loadedSession();
        const Image before = s.ConfigImage;
        const Effects effects = store(s, c.index, c.typed);
        EXPECT_TRUE(effects.refused);
        ASSERT_EQ(effects.messages.size(), 1u);
        EXPECT_EQ(effects.messages[0].text, c.message);
        EXPECT_EQ(effects.messages[0].title, "KXP40");
        EXPECT_EQ(effects.focus, box(c.index));
        EXPECT_EQ(s.ConfigImage, before);
    }
}

TEST(PromptStore, StoresWestEuropeanLettersAsTheirPagerCodes) {
    Session s = loadedSession();
    store(s, 5, "Löschen");
    EXPECT_EQ(s.ConfigImage.at(0x164 + 3), 0xF6);
    EXPECT_EQ(s.controls[box(5)].text, "Löschen");
}

TEST(PromptShow, ADamagedCountShowsAtMost18Characters) {
    Session s;
    s.ConfigImage.set(0x129, 200);
    read_prompt(s);
    EXPECT_EQ(s.controls[box(2)].text.size(), 9u + 18u);
}

TEST(Alignment, PadsToTheBoxLength) {
    Session s = loadedSession();
    s.FormReady = true;
    txtPrompt_GotFocus(s, 7);
    s.controls.setText(box(7), "ABC");
    optRight_Click(s, 0);
    EXPECT_EQ(s.controls[box(7)].text, std::string(18, ' ') + "ABC");
    txtPrompt_LostFocus(s, 7, s.controls[box(7)].text);
    EXPECT_EQ(s.ConfigImage.at(0x18C) & 0x0F, 15);
    EXPECT_EQ(s.ConfigImage.at(0x18D), 6);

    s.controls.setText(box(7), "  ABCDEFGHIJ ");
    EXPECT_EQ(optCenter_Click(s, 0).focus, box(7));
    EXPECT_EQ(s.controls[box(7)].text, std::string(5, ' ') + "ABCDEFGHIJ");
    optLeft_Click(s, 0);
    EXPECT_EQ(s.controls[box(7)].text, "ABCDEFGHIJ");
}

TEST(Alignment, TheLogoGroupActsOnTheLogoBoxAtItsLength) {
    Session s = loadedSession();  // English(Large): 16 characters
    txtPrompt_GotFocus(s, 9);
    s.controls.setText(box(0), "KAVION");
    s.FormReady = false;
    EXPECT_FALSE(optCenter_Click(s, 1).focus);
    EXPECT_EQ(s.CurPrompt, 0);
    EXPECT_EQ(s.controls[box(0)].text, "     KAVION");
}

TEST(Languages, CopyTheirTablesAndCodes) {
    const DefaultTables& t = defaultTables();
    Session s = loadedSession();
    cboLng_Click(s, 3);  // German
    EXPECT_EQ(GetField(s.ConfigImage, 0x3A, 0, 4), 8);
    EXPECT_EQ(GetField(s.ConfigImage, 0x3E, 0, 4), 8);
    EXPECT_EQ(GetField(s.ConfigImage, 0x3B, 0, 2), 2);
    EXPECT_EQ(recordBytes(s, 0xA0),
              std::string(t.FlashOnlyGerman.begin(), t.FlashOnlyGerman.end()));
    EXPECT_EQ(s.controls[box(13)].text, "Nur Ton");
    EXPECT_EQ(s.controls[box(31)].text, "   Verlauf einst.");

    cboLng_Click(s, 4);  // Danish: code 11, English texts, history untouched
    EXPECT_EQ(GetField(s.ConfigImage, 0x3E, 0, 4), 11);
    EXPECT_EQ(s.controls[box(13)].text, "TONE ONLY");
    EXPECT_EQ(s.controls[box(31)].text, "   Verlauf einst.");
}

TEST(Languages, LoadingTheListCopiesNoTable) {
    Session s;
    SetField(s.ConfigImage, 0x3E, 0, 6, 4);  // French, with English texts in the image
    const Image before = s.ConfigImage;
    init_ctl(s);
    EXPECT_EQ(s.controls[{"cboLng"}].value, 2);
    EXPECT_EQ(s.ConfigImage, before);
    EXPECT_FALSE(s.LoadingControls);
}

TEST(LoadDefault, RestoresTheFocusedPromptFromTheSelectedLanguage) {
    const DefaultTables& t = defaultTables();
    Session s = loadedSession();
    cboLng_Click(s, 2);  // French
    store(s, 31, "X");
    store(s, 32, "Y");
    txtPrompt_GotFocus(s, 31);
    optDefault_Click(s, 0);
    // The French history set is copied first, then prompt 31 comes from the block at &H36C.
    EXPECT_EQ(recordBytes(s, 0x3B8),
              std::string(t.DefaultBlock876.begin() + 76, t.DefaultBlock876.begin() + 96));
    EXPECT_EQ(recordBytes(s, 0x3CC),
              std::string(t.HistoryPromptsFrench.begin() + 20, t.HistoryPromptsFrench.end()));

    cboLng_Click(s, 3);  // German: FLASH ONLY comes back in German
    store(s, 65, "X");
    txtPrompt_GotFocus(s, 65);
    EXPECT_EQ(optDefault_Click(s, 1).focus, box(65));
    EXPECT_EQ(s.controls[box(65)].text, "   Nur Blinken");
}

TEST(Logo, LoadingWritesBackOnlyTheCodeOfTheShownItem) {
    Session s;
    SetField(s.ConfigImage, 0x3F, 0, 1, 4);
    init_ctl(s);
    EXPECT_EQ(s.controls[{"cboLogo"}].value, 0);
    EXPECT_EQ(GetField(s.ConfigImage, 0x3F, 0, 4), 0);

    cboLogo_Click(s, 4);  // German: a small logo box
    EXPECT_EQ(s.controls[box(0)].maxLength, 21);
    SetField(s.ConfigImage, 0x3F, 0, 3, 4);  // no item has code 3
    init_ctl(s);
    EXPECT_EQ(s.controls[{"cboLogo"}].value, 4);
    EXPECT_EQ(GetField(s.ConfigImage, 0x3F, 0, 4), 3);
}

TEST(SourcePrompts, DisablingLeavesTheirBytesAndDisablesTheBoxes) {
    Session s = loadedSession();
    cboSource_Click(s, 2);  // Backward
    EXPECT_EQ(GetField(s.ConfigImage, 0x3B, 5, 2), 3);
    chkSource_Click(s, 40, 1);
    EXPECT_TRUE(s.controls[box(40)].enabled);
    EXPECT_FALSE(s.controls[box(41)].enabled);
    const Image before = s.ConfigImage;
    cboSource_Click(s, 0);
    EXPECT_EQ(GetField(s.ConfigImage, 0x3B, 6, 1), 0);
    EXPECT_EQ(s.ConfigImage.at(0x7C7), 1);
    EXPECT_EQ(s.ConfigImage.read(0x540, 640)[0], before.read(0x540, 640)[0]);
    for (int n = 33; n <= 64; ++n) {
        EXPECT_FALSE(s.controls[box(n)].enabled) << n;
        EXPECT_FALSE(s.controls[source(n)].enabled) << n;
    }
}

TEST(PushKeyLamp, ItsMarkShowsAsTheFirstCharacterOfChirpOff) {
    Session s = loadedSession();
    chkCtl_Click(s, 17, 1);
    read_prompt(s);
    EXPECT_EQ(s.controls[box(30)].text, "      \x10HIRP OFF");
}

}  // namespace
}  // namespace kxp40s
