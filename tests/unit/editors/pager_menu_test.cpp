#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_at.h"
#include "editors/alerts.h"
#include "editors/pager_menu.h"

namespace kxp40s {
namespace {

using testing::at;

// What a control of the window shows.
std::vector<int> menuBytes(const Image& image) {
    std::vector<int> bytes;
    for (int a = 0x78; a <= 0x7E; ++a)
        bytes.push_back(image.at(a));
    return bytes;
}

void setMenu(Session& s, const std::vector<int>& checked) {
    read_menu(s);
    for (int i = 0; i < kMenuEntries; ++i)
        if (at(s, "chkMenu", i).value != checked[static_cast<std::size_t>(i)])
            chkMenu_Click(s, i, checked[static_cast<std::size_t>(i)]);
}

TEST(PagerMenu, CheckedBoxesLeaveTheListAndMarkItShortened) {
    struct Case {
        const char* name;
        std::vector<int> checked;
        std::vector<int> bytes;
        int shortened;
        bool toneVisible;
    };
    const int sp = 0x20;
    const std::vector<Case> cases = {
        {"all present", {0, 0, 0, 0, 0, 0, 0}, {7, 8, 9, 10, 11, 12, 13}, 0, false},
        {"only 7 and 13", {0, 1, 1, 1, 1, 1, 0}, {sp, sp, sp, sp, sp, 7, 13}, 1, false},
        {"all off", {1, 1, 1, 1, 1, 1, 1}, {sp, sp, sp, sp, sp, sp, sp}, 1, true},
        {"alert off", {0, 0, 0, 0, 0, 0, 1}, {sp, 7, 8, 9, 10, 11, 12}, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        setMenu(s, c.checked);
        EXPECT_EQ(menuBytes(s.ConfigImage), c.bytes);
        EXPECT_EQ(GetField(s.ConfigImage, 0x3D, 5, 1), c.shortened);
        EXPECT_EQ(at(s, "cboTone").visible, c.toneVisible);

        Session reloaded;
        reloaded.ConfigImage = s.ConfigImage;
        read_menu(reloaded);
        for (int i = 0; i < kMenuEntries; ++i)
            EXPECT_EQ(at(reloaded, "chkMenu", i).value, c.checked[static_cast<std::size_t>(i)]);
        EXPECT_EQ(at(reloaded, "cboTone").visible, c.toneVisible);
        EXPECT_FALSE(reloaded.LoadingControls);
    }
}

TEST(PagerMenu, AlertMenuBackOnResetsTheToneToMusic1) {
    Session s;
    setMenu(s, {0, 0, 0, 0, 0, 0, 1});
    cboTone_Click(s, 12);  // "Vibration"
    EXPECT_EQ(s.ConfigImage.at(0x2E), 32);
    chkMenu_Click(s, 6, 0);
    EXPECT_EQ(s.ConfigImage.at(0x2E), 17);
    EXPECT_EQ(at(s, "cboTone").value, kMusic1Item);
    EXPECT_FALSE(at(s, "cboTone").visible);
}

TEST(PagerMenu, LoadingIgnoresStrayCodesAndStoresNothing) {
    Session s;
    const std::vector<int> bytes = {0x20, 0x05, 0xFF, 9, 0x20, 14, 13};
    for (int k = 0; k < 7; ++k)
        s.ConfigImage.set(0x78 + k, static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(k)]));
    const Image before = s.ConfigImage;
    read_menu(s);
    EXPECT_EQ(s.ConfigImage, before);
    for (int i = 0; i < kMenuEntries; ++i)
        EXPECT_EQ(at(s, "chkMenu", i).value, (i == 2 || i == 6) ? 0 : 1);
    s.LoadingControls = true;  // a click while loading stores nothing
    chkMenu_Click(s, 0, 0);
    EXPECT_EQ(s.ConfigImage, before);
}

TEST(PagerMenu, TimedOptionsStoreTheirBitsAndReloadTheirItem) {
    struct Case {
        const char* name;
        int address;
        Effects (*click)(Session&, int);
        void (*load)(Session&);
        int oldByte, item, newByte;
    };
    const std::vector<Case> cases = {
        {"SLC 30 s: on, time 0, bits 6-7 kept", 0x3C, cboSLC_Click, read_SLC, 0x40, 1, 0x48},
        {"SLC 175 s", 0x3C, cboSLC_Click, read_SLC, 0x40, 4, 0x4B},
        {"SLC 240 s after 120 s keeps bits 0-1", 0x3C, cboSLC_Click, read_SLC, 0x4A, 5, 0x4E},
        {"SLC 120 s clears the 240 s bit", 0x3C, cboSLC_Click, read_SLC, 0x4E, 3, 0x4A},
        {"SLC Disable leaves bits 0-1", 0x3C, cboSLC_Click, read_SLC, 0x4E, 0, 0x42},
        {"ORC Disable leaves bits 1-2", 0x3D, cboORC_Click, read_ORC, 0x0C, 0, 0x04},
        {"ORC 1 min", 0x3D, cboORC_Click, read_ORC, 0x00, 1, 0x08},
        {"ORC 10 min keeps the menu bit", 0x3D, cboORC_Click, read_ORC, 0x20, 4, 0x2E},
        {"ORC 2 min", 0x3D, cboORC_Click, read_ORC, 0x0E, 2, 0x0A},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.ConfigImage.set(c.address, static_cast<std::uint8_t>(c.oldByte));
        c.click(s, c.item);
        EXPECT_EQ(s.ConfigImage.at(c.address), c.newByte);
        Session reloaded;
        reloaded.ConfigImage = s.ConfigImage;
        c.load(reloaded);
        EXPECT_EQ(at(reloaded, c.address == 0x3C ? "cboSLC" : "cboORC").value, c.item);
    }
    Session s;
    s.ConfigImage.set(0x3C, 0x04);  // bit 2 wins over bits 0, 1 and 3
    read_SLC(s);
    EXPECT_EQ(at(s, "cboSLC").value, 5);
}

}  // namespace
}  // namespace kxp40s
