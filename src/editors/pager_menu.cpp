#include "editors/pager_menu.h"

#include <stdexcept>

#include "editors/alerts.h"
#include "image/pager_map.h"

namespace kxp40s {

namespace {

constexpr int kFirstEntryCode = 7;
constexpr std::uint8_t kNoEntry = 0x20;
constexpr int kMenuShortenedBit = 5;  // of &H3D
constexpr int k240Seconds = 5;

ControlId menuBox(int index) {
    return {"chkMenu", index};
}

void checkListIndex(int listIndex, std::size_t items) {
    if (listIndex < 0 || listIndex >= static_cast<int>(items))
        throw std::out_of_range("no such list item");
}

// The tone list is there only while the pager's own alert menu is off.
void showToneWhileAlertMenuOff(Session& s) {
    s.controls.setVisible({"cboTone"}, s.controls[menuBox(kSetAlertOff)].value == 1);
}

}  // namespace

void read_SLC(Session& s) {
    runLoader(s, 1, [&] {
        const Image& image = s.ConfigImage;
        int item = 0;
        if (GetField(image, pager::kLockout, 2, 1) == 1)
            item = k240Seconds;
        else if (GetField(image, pager::kLockout, 3, 1) == 1)
            item = GetField(image, pager::kLockout, 0, 2) + 1;
        s.controls.setValue({"cboSLC"}, item);
    });
}

void read_ORC(Session& s) {
    runLoader(s, 1, [&] {
        const Image& image = s.ConfigImage;
        const int item = GetField(image, pager::kOutOfService, 3, 1) == 0
                             ? 0
                             : GetField(image, pager::kOutOfService, 1, 2) + 1;
        s.controls.setValue({"cboORC"}, item);
    });
}

void read_menu(Session& s) {
    s.LoadingControls = true;
    runLoader(s, 1, [&] {
        for (int index = 0; index < kMenuEntries; ++index)
            s.controls.setValue(menuBox(index), 1);
        for (int k = 0; k < kMenuEntries; ++k) {
            const int code = s.ConfigImage.at(pager::kMenuList.address + k);
            const int index = code - kFirstEntryCode;
            if (code != kNoEntry && index >= 0 && index < kMenuEntries)
                s.controls.setValue(menuBox(index), 0);
        }
        showToneWhileAlertMenuOff(s);
    });
    s.LoadingControls = false;
}

Effects chkMenu_Click(Session& s, int index, int value) {
    Operation op(s);
    if (index < 0 || index >= kMenuEntries) throw std::out_of_range("no such menu box");
    if (value != 0 && value != 1) throw std::out_of_range("a check box is 0 or 1");
    s.controls.setValue(menuBox(index), value);
    if (s.LoadingControls) return op.done();

    int j = kMenuEntries - 1;
    for (int i = kMenuEntries - 1; i >= 0; --i) {
        if (s.controls[menuBox(i)].value == 0) {
            s.ConfigImage.set(pager::kMenuList.address + j,
                              static_cast<std::uint8_t>(i + kFirstEntryCode));
            --j;
        }
    }
    SetField(s.ConfigImage, pager::kOutOfService, kMenuShortenedBit, j == -1 ? 0 : 1, 1);
    for (int k = j; k >= 0; --k)
        s.ConfigImage.set(pager::kMenuList.address + k, kNoEntry);

    showToneWhileAlertMenuOff(s);
    if (s.controls[menuBox(kSetAlertOff)].value != 1) cboTone_Click(s, kMusic1Item);
    return op.done();
}

Effects cboSLC_Click(Session& s, int listIndex) {
    Operation op(s);
    checkListIndex(listIndex, kSLCItems.size());
    s.controls.setValue({"cboSLC"}, listIndex);
    Image& image = s.ConfigImage;
    if (listIndex == k240Seconds) {
        SetField(image, pager::kLockout, 2, 1, 1);
        SetField(image, pager::kLockout, 3, 1, 1);
    } else {
        SetField(image, pager::kLockout, 2, 0, 1);
        SetField(image, pager::kLockout, 3, listIndex == 0 ? 0 : 1, 1);
        if (listIndex != 0) SetField(image, pager::kLockout, 0, listIndex - 1, 2);
    }
    return op.done();
}

Effects cboORC_Click(Session& s, int listIndex) {
    Operation op(s);
    checkListIndex(listIndex, kORCItems.size());
    s.controls.setValue({"cboORC"}, listIndex);
    SetField(s.ConfigImage, pager::kOutOfService, 3, listIndex == 0 ? 0 : 1, 1);
    if (listIndex != 0) SetField(s.ConfigImage, pager::kOutOfService, 1, listIndex - 1, 2);
    return op.done();
}

}  // namespace kxp40s
