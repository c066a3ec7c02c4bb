#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_at.h"
#include "editors/capcodes.h"

namespace kxp40s {
namespace {

using testing::at;

// What a control of the window shows.
void loadCapcodes(Session& s) {
    read_capcode(s);
    read_Disp(s);
    read_Type(s);
    read_Pri(s);
    read_pass(s);
}

std::vector<int> bytesAt(const Image& image, int address, int count) {
    std::vector<int> bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(image.at(address + i));
    return bytes;
}

TEST(Capcodes, TypedCapcodeIsStoredKeepingTheEnableByteAndBits5To7) {
    struct Case {
        std::string text;
        int slot;
        int oldSecondByte;
        std::vector<int> bytes;  // &H041-&H043 of the slot
        std::string shownAfterLeaving;
    };
    const std::vector<Case> cases = {
        {"1234567", 0, 0xFF, {0xFE, 0x5A, 0xD0}, "1234567"},
        {"1234567", 5, 0x00, {0x1E, 0x5A, 0xD0}, "1234567"},
        {"1234560", 5, 0x00, {0x02, 0x5A, 0xD0}, "1234560"},  // frame 0: only bits 2-4 differ
        {"2097151", 7, 0xA0, {0xBF, 0xFF, 0xFF}, "2097151"},
        {"8", 2, 0x40, {0x40, 0x00, 0x01}, "0000008"},
        {"0", 1, 0x00, {0x00, 0x00, 0x00}, "0000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " in slot " + std::to_string(c.slot));
        Session s;
        const int a = 0x40 + 4 * c.slot;
        s.ConfigImage.set(a + 1, static_cast<std::uint8_t>(c.oldSecondByte));
        const int enable = s.ConfigImage.at(a);
        txtAddr_GotFocus(s, c.slot);
        const Effects typed = txtAddr_KeyUp(s, c.slot, c.text);
        EXPECT_FALSE(typed.refused);
        EXPECT_EQ(at(s, "txtAddr", c.slot).text, c.text);
        txtAddr_LostFocus(s, c.slot);
        EXPECT_EQ(bytesAt(s.ConfigImage, a + 1, 3), c.bytes);
        EXPECT_EQ(s.ConfigImage.at(a), enable);
        EXPECT_EQ(at(s, "txtAddr", c.slot).text, c.shownAfterLeaving);
        EXPECT_EQ(capcodeOf(s.ConfigImage, c.slot), std::stoi(c.text));
    }
}

TEST(Capcodes, RejectedEntriesShowTheirMessageAndLeaveTheImage) {
    struct Case {
        std::string text;
        std::string message;
    };
    const std::string range = "Please insert a number between 0000007 to 2097151";
    const std::string numeric = "Please insert a numeric!";
    const std::vector<Case> cases = {
        {"2097152", range}, {"-1", range},    {"-0", range},    {"99999999999999999999", range},
        {"12a", numeric},   {"1.5", numeric}, {"1e3", numeric}, {"+5", numeric},
        {" 5", numeric},    {"-", numeric},   {"&H10", numeric}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Session s;
        const Image before = s.ConfigImage;
        txtAddr_GotFocus(s, 2);
        const Effects effects = txtAddr_KeyUp(s, 2, c.text);
        EXPECT_TRUE(effects.refused);
        ASSERT_EQ(effects.messages.size(), 1u);
        EXPECT_EQ(effects.messages[0], warning(c.message));
        EXPECT_EQ(effects.focus, (ControlId{"txtAddr", 2}));
        EXPECT_EQ(s.ConfigImage, before);
        EXPECT_EQ(at(s, "txtAddr", 2).text, "1234561");
    }
}

TEST(Capcodes, LeavingAnEmptiedBoxStoresNothingAndShowsTheStoredValue) {
    Session s;
    const Image before = s.ConfigImage;
    txtAddr_GotFocus(s, 0);
    EXPECT_EQ(at(s, "txtAddr", 0).text, "");
    txtAddr_KeyUp(s, 0, "");
    EXPECT_EQ(txtAddr_KeyPress(s, 0, 13).focus, (ControlId{"picTabBack"}));
    txtAddr_LostFocus(s, 0);
    EXPECT_EQ(s.ConfigImage, before);
    EXPECT_EQ(at(s, "txtAddr", 0).text, "1234567");
}

TEST(Capcodes, SeriesWriteCountsUpAndRefusesAtTheTop) {
    Session s;
    read_capcode(s);
    txtAddr_GotFocus(s, 1);  // an emptied box still counts from the stored value
    EXPECT_FALSE(increaseCapcode(s, 1).refused);
    EXPECT_EQ(at(s, "txtAddr", 1).text, "1234561");
    EXPECT_EQ(capcodeOf(s.ConfigImage, 1), 1234561);

    storeCapcode(s.ConfigImage, 0, kCapcodeMax - 1);
    increaseCapcode(s, 0);
    EXPECT_EQ(capcodeOf(s.ConfigImage, 0), kCapcodeMax);
    const Image top = s.ConfigImage;
    const Effects refused = increaseCapcode(s, 0);
    EXPECT_TRUE(refused.refused);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_EQ(refused.messages[0],
              warning("Capcode 1 > 2097151 so can not be increase!", kShortTitle));
    EXPECT_EQ(s.ConfigImage, top);
}

TEST(Capcodes, PasswordDigitsOnePerByteOrRefusedWithItsMessage) {
    const std::string range = "Please insert a number between 0000 to 9999";
    const std::string numeric = "Please insert a decimal numeric!";
    struct Case {
        std::string text;
        std::vector<int> bytes;  // &H3B0-&H3B3 afterwards
        std::string shown;
        std::string message;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {"1234", {4, 3, 2, 1}, "1234", ""},     {"7", {7, 0, 0, 0}, "0007", ""},
        {"90", {0, 9, 0, 0}, "0090", ""},       {"12345", {0, 0, 0, 0}, "0000", range},
        {"00001", {0, 0, 0, 0}, "0000", range}, {"-1", {0, 0, 0, 0}, "0000", range},
        {"12a", {0, 0, 0, 0}, "0000", numeric}, {"1.5", {0, 0, 0, 0}, "0000", numeric},
        {" 12", {0, 0, 0, 0}, "0000", numeric}, {"+12", {0, 0, 0, 0}, "0000", numeric},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Session s;
        txtPass_GotFocus(s);
        const Effects effects = txtPass_KeyUp(s, c.text);
        EXPECT_EQ(effects.refused, !c.message.empty());
        if (!c.message.empty()) {
            EXPECT_EQ(effects.messages, std::vector<Message>{warning(c.message)});
            EXPECT_EQ(effects.focus, (ControlId{"txtPass"}));
        }
        txtPass_LostFocus(s);
        EXPECT_EQ(bytesAt(s.ConfigImage, 0x3B0, 4), c.bytes);
        EXPECT_EQ(at(s, "txtPass").text, c.shown);
    }
}

TEST(Capcodes, FunctionBitDialogStoresAndTheSummariesFollow) {
    Session s;
    loadCapcodes(s);
    EXPECT_EQ(at(s, "tlblDisp", 0).text, "AAAA");
    EXPECT_EQ(at(s, "tlblType", 0).text, "PPPP");
    EXPECT_EQ(at(s, "tlblPri", 0).text, "----");

    cmdFunc_Click(s, 3);
    EXPECT_EQ(at(s, "lblCapSlot").text, "#4");
    chkPri_Click(s, 2, 1);
    EXPECT_EQ(s.ConfigImage.at(0x33), 0x40);  // odd slot: the high nibble
    EXPECT_EQ(at(s, "tlblPri", 3).text, "--v-");

    cmdFunc_Click(s, 0);
    cboType_Click(s, 0, kGroupItem);
    cboType_Click(s, 1, 12);  // "Mail Drop C"
    cboDisp_Click(s, 2, 5);   // "Disable"
    cboDisp_Click(s, 3, 4);   // "Tone Only"
    EXPECT_EQ(bytesAt(s.ConfigImage, 0x370, 2), (std::vector<int>{255, 12}));
    EXPECT_EQ(bytesAt(s.ConfigImage, 0x392, 2), (std::vector<int>{5, 4}));
    EXPECT_EQ(at(s, "tlblType", 0).text, "GCPP");
    EXPECT_EQ(at(s, "tlblDisp", 0).text, "AA-T");

    cmdFunc_Click(s, 0);  // reopening shows what was stored
    EXPECT_EQ(at(s, "cboType", 0).value, kGroupItem);
    EXPECT_EQ(at(s, "cboType", 1).value, 12);
    EXPECT_EQ(at(s, "cboDisp", 2).value, 5);
}

TEST(Capcodes, BytesWithoutAnItemShowNoneInTheDialogAndStay) {
    Session s;
    s.ConfigImage.set(0x390 + 4, 9);     // slot 1, bit A: display type 9
    s.ConfigImage.set(0x370 + 5, 0x20);  // slot 1, bit B: message type 32
    loadCapcodes(s);
    EXPECT_EQ(at(s, "tlblDisp", 1).text, "-AAA");
    EXPECT_EQ(at(s, "tlblType", 1).text, "P20PP");
    const Image before = s.ConfigImage;
    cmdFunc_Click(s, 1);
    EXPECT_EQ(at(s, "cboDisp", 0).value, -1);
    EXPECT_EQ(at(s, "cboType", 1).value, -1);
    EXPECT_EQ(s.ConfigImage, before);

    s.Form5Loading = true;  // the dialog's own filling stores nothing
    cboDisp_Click(s, 0, 1);
    EXPECT_EQ(s.ConfigImage, before);
}

}  // namespace
}  // namespace kxp40s
