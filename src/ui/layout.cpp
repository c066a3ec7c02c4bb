#include "ui/layout.h"

#include "editors/pager_menu.h"

#include <array>
#include <cmath>
#include <map>

namespace kxp40s::ui {

namespace {

constexpr int kCapcodeRows = 8;
constexpr int kCapcodeRowPitch = 480;
constexpr int kFunctionBitPitch = 420;
constexpr int kMessageClasses = 16;  // PG and mail drops 1-F
constexpr int kClassPitch = 450;
constexpr int kMailDropRows = 5;

class Table {
  public:
    void place(ControlId id, TwipRect rect) { rows_.push_back({id, rect}); }
    void place(ControlId id, TwipRect rect, TwipRect caption) {
        rows_.push_back({id, rect, caption});
    }
    void heading(ControlId id, TwipRect rect, TwipRect caption) {
        rows_.push_back({id, rect, caption, CaptionIn::OuterContainer});
    }
    void hidden(ControlId id, TwipRect rect) { rows_.push_back({id, rect, {}, {}, true}); }
    std::vector<Placement> take() { return std::move(rows_); }

  private:
    std::vector<Placement> rows_;
};

// The tab strip: four tab buttons with the label of the selected tab under
// each, the two mode buttons and the status line.
void placeTabStrip(Table& t) {
    constexpr TwipRect kTab{120, 60, 1530, 255};
    constexpr int kTabPitch = 1545;
    for (const PageTab& tab : pageTabs()) {
        const int dx = kTabPitch * static_cast<int>(tab.page);
        t.place(tab.button, kTab.movedBy(dx, 0));
        t.place(tab.label, kTab.movedBy(dx, 0));
    }
    t.place({"ModifyOpt"}, {6465, 105, 1488, 210});
    t.place({"WriteOpt"}, {7965, 105, 1428, 210});
    t.place({"lblMsg"}, {120, 6885, 9285, 255});
}

// The page boxes lie on one another; each comes before what stands on it.
void placePageBox(Table& t, Page page) {
    t.place(pageTabs()[static_cast<std::size_t>(page)].box, {120, 315, 9285, 6555});
}

// The frequency frame: each box under its caption; the channel selectors lie
// on one another in Picture1, with the step read-out beside them.
void placeFrequency(Table& t) {
    t.place({"fraFrequency"}, {120, 60, 3540, 3090});
    t.place({"cboDft"}, {120, 480, 3300, 330}, {120, 270, 3300, 210});
    t.place({"cboCtl", 9}, {120, 1050, 3300, 330}, {120, 840, 3300, 210});
    t.place({"txtFreq"}, {120, 1620, 1500, 330}, {120, 1410, 3300, 210});
    t.place({"lblFreqUnit"}, {1650, 1665, 600, 270});
    t.place({"cboCtl", 0}, {120, 2190, 1500, 330}, {120, 1980, 3300, 210});
    t.place({"Picture1"}, {240, 2640, 2250, 360});
    t.place({"cboChannel", 0}, {810, 15, 1350, 330}, {0, 60, 780, 240});
    t.place({"cboRoHS"}, {810, 15, 1350, 330});
    t.place({"lblCHANNEL"}, {2550, 2700, 990, 270});
    t.hidden({"picPLL"}, {120, 4230, 3540, 540});
    t.place({"lblBfreq"}, {660, 30, 1050, 240}, {30, 30, 600, 240});
    t.place({"lblPLLR"}, {2400, 30, 1050, 240}, {1770, 30, 600, 240});
    t.place({"lblPLLN"}, {660, 270, 1050, 240}, {30, 270, 600, 240});
    t.place({"lblINCD"}, {2400, 270, 1050, 240}, {1770, 270, 600, 240});
}

void placeAutoIncrease(Table& t) {
    t.place({"fraAutoIncrease"}, {120, 3240, 3540, 930});
    t.place({"optAuto1"}, {150, 270, 3300, 300});
    t.place({"optAuto2"}, {150, 570, 3300, 300});
}

// One row per capcode; the captions of the three summaries head their
// columns above the first row.
void placeCapcodes(Table& t) {
    t.place({"fraCapcode"}, {3750, 60, 5415, 4710});
    for (int slot = 0; slot < kCapcodeRows; ++slot) {
        const int dy = kCapcodeRowPitch * slot;
        t.place({"txtAddr", slot}, {780, 720 + dy, 870, 330}, {120, 765 + dy, 630, 240});
        t.place({"chkCtl", 30 + slot}, {1710, 720 + dy, 630, 330});
        t.place({"picFunBit", slot}, {2340, 705 + dy, 3000, 360});
        t.place({"cmdFunc", slot}, {0, 0, 750, 360});
        const bool first = slot == 0;
        const TwipRect type{810, 15, 690, 330};
        const TwipRect disp{1530, 15, 690, 330};
        const TwipRect pri{2250, 15, 690, 330};
        if (first) {
            t.heading({"tlblType", slot}, type, {3135, 270, 720, 420});
            t.heading({"tlblDisp", slot}, disp, {3855, 270, 720, 420});
            t.heading({"tlblPri", slot}, pri, {4575, 270, 720, 420});
        } else {
            t.place({"tlblType", slot}, type);
            t.place({"tlblDisp", slot}, disp);
            t.place({"tlblPri", slot}, pri);
        }
    }
}

// A column per message class: its name, its alert length, its memory.
void placeMessageStatus(Table& t) {
    t.place({"fraMsgStatus"}, {120, 4830, 9045, 1650});
    t.place({"lblLengthHead"}, {120, 540, 1170, 270});
    t.place({"lblMemoryHead"}, {120, 840, 1170, 270});
    for (int i = 0; i < kMessageClasses; ++i) {
        const int dx = kClassPitch * i;
        t.place({"lblClass", i}, {1320 + dx, 270, 420, 240});
        t.place({"lblLength", i}, {1320 + dx, 540, 420, 270});
        t.place({"lblMemory", i}, {1320 + dx, 840, 420, 270});
    }
    t.place({"cmdAlert"}, {6900, 1200, 2010, 360});
}

// A prompt box under its label, in a grid of four columns.
constexpr int kPromptColumnPitch = 2280;
constexpr int kPromptWidth = 2265;

void placePromptCell(Table& t, int index, int left, int top) {
    t.place({"lblPrompt", index}, {left, top, kPromptWidth, 240});
    t.place({"txtPrompt", index}, {left, top + 240, kPromptWidth, 330});
}

// The Alerts page. The options frame holds two columns of check boxes, the
// lists beside the shorter one, and the battery lists, password and
// contrast slider under them; the pager's menu, the lockout lists and the
// prompts frame stand in the right column.
constexpr int kCheckPitch = 270;
constexpr int kRowPitch = 360;

void placeAlertOptions(Table& t) {
    t.place({"fraAlerts"}, {120, 60, 5700, 5400});
    constexpr std::array kLeftChecks = {29, 4, 5, 7, 8, 18, 19, 17, 54, 2, 20, 6, 0, 1};
    constexpr std::array kRightChecks = {21, 3, 15, 11, 12, 13, 14};
    for (std::size_t i = 0; i < kLeftChecks.size(); ++i)
        t.place({"chkCtl", kLeftChecks[i]},
                {120, 240 + kCheckPitch * static_cast<int>(i), 2925, 270});
    for (std::size_t i = 0; i < kRightChecks.size(); ++i)
        t.place({"chkCtl", kRightChecks[i]},
                {3060, 240 + kCheckPitch * static_cast<int>(i), 2550, 270});
    constexpr std::array kLists = {2, 3, 4, 5};
    for (std::size_t i = 0; i < kLists.size(); ++i) {
        const int y = 2160 + 570 * static_cast<int>(i);
        t.place({"cboCtl", kLists[i]}, {3240, y + 240, 1395, 330}, {3240, y, 2370, 240});
    }
    for (int level = 2; level >= 0; --level) {
        const int y = 4200 + kRowPitch * (2 - level);
        t.place({"cboBatLev", level}, {2265, y, 945, 330}, {120, y + 30, 2130, 270});
    }
    t.place({"txtPass"}, {4755, 4500, 630, 330}, {3240, 4530, 1500, 270});
    t.place({"lblContrast"}, {5415, 4530, 120, 270});
    t.place({"lblValue"}, {5550, 4530, 135, 270});
    t.place({"Slider1"}, {3240, 4920, 2370, 360});
    t.place({"fraManualWrite"}, {120, 5475, 2850, 435});
    t.place({"chkCtl", 16}, {120, 165, 2610, 240});
    t.place({"cboTone"}, {3180, 5520, 1500, 330});
}

void placePagerMenu(Table& t) {
    t.place({"fraMenu"}, {5910, 60, 3255, 2100});
    for (int index = 0; index < kMenuEntries; ++index)
        t.place({"chkMenu", index}, {120, 240 + 255 * index, 3000, 240});
    t.place({"cboSLC"}, {7620, 2220, 1545, 330}, {5910, 2250, 1695, 270});
    t.place({"cboORC"}, {7620, 2580, 1545, 330}, {5910, 2610, 1695, 270});
}

// The prompts frame, with the four general prompts this page edits under it.
void placePromptsFrame(Table& t) {
    t.place({"fraPrompts"}, {5910, 2970, 3255, 2580});
    t.place({"txtPrompt", 0}, {120, 450, 2190, 330}, {120, 210, 2190, 240});
    t.place({"optLeft", 1}, {120, 840, 1500, 270});
    t.place({"optCenter", 1}, {1650, 840, 1500, 270});
    t.place({"optRight", 1}, {120, 1110, 1500, 270});
    constexpr std::array<std::string_view, 3> kLists = {"cboLng", "cboLogo", "cboCtl"};
    for (int row = 0; row < 3; ++row) {
        const ControlId id = row == 2 ? ControlId{"cboCtl", 6} : ControlId{kLists[row]};
        const int y = 1440 + kRowPitch * row;
        t.place(id, {1575, y, 1620, 330}, {75, y + 30, 1485, 270});
    }
    for (int column = 0; const int index : {24, 25, 29, 30})
        placePromptCell(t, index, 120 + kPromptColumnPitch * column++, 5940);
}

void placeAlignment(Table& t, int index, int left, int top) {
    for (const auto& [name, column] : {std::pair{"optLeft", 0}, {"optCenter", 1}, {"optRight", 2}})
        t.place({name, index}, {left + 1440 * column, top, 1410, 300});
}

void placePromptsEdit(Table& t) {
    constexpr std::array kIndexes = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                     16, 17, 18, 19, 20, 21, 22, 23, 26, 27, 28, 31, 32, 65, 68};
    constexpr int kRows = 8;
    for (int i = 0; i < static_cast<int>(kIndexes.size()); ++i) {
        placePromptCell(t, kIndexes[static_cast<std::size_t>(i)],
                        120 + kPromptColumnPitch * (i / kRows), 120 + 660 * (i % kRows));
    }
    placeAlignment(t, 0, 120, 5700);
    t.place({"optDefault", 0}, {4680, 5700, 1500, 300});
    t.hidden({"lblEdLen"}, {6960, 5700, 2160, 300});
}

// A column per function bit, a row per capcode; each prompt with its enable box.
void placeSourcePrompts(Table& t) {
    t.place({"cboSource"}, {1500, 90, 1500, 330}, {120, 120, 1350, 270});
    placeAlignment(t, 2, 3300, 105);
    t.place({"optDefault", 1}, {7620, 105, 1500, 300});
    for (int capcode = 0; capcode < kCapcodeSlots; ++capcode) {
        for (int bit = 0; bit < kFunctionBits; ++bit) {
            const int index = kFirstSourcePrompt + kFunctionBits * capcode + bit;
            const int left = 120 + kPromptColumnPitch * bit;
            const int top = 600 + 690 * capcode;
            t.place({"chkSource", index}, {left, top, 240, 240});
            t.place({"lblPrompt", index}, {left + 270, top, kPromptWidth - 270, 240});
            t.place({"txtPrompt", index}, {left, top + 240, kPromptWidth, 330});
        }
    }
}

std::vector<Placement> mainWindow() {
    Table t;
    placeTabStrip(t);
    placePageBox(t, Page::FreqCodes);
    placeFrequency(t);
    placeAutoIncrease(t);
    placeCapcodes(t);
    placeMessageStatus(t);
    placePageBox(t, Page::AlertsStatus);
    placeAlertOptions(t);
    placePagerMenu(t);
    placePromptsFrame(t);
    placePageBox(t, Page::PromptsEdit);
    placePromptsEdit(t);
    placePageBox(t, Page::SourcePrompts);
    placeSourcePrompts(t);
    return t.take();
}

std::vector<Placement> transferWindow() {
    Table t;
    t.place({"BackgroundPicture"}, {0, 0, 4800, 2100});
    t.place({"Label2"}, {120, 90, 3000, 300});
    t.place({"Close1"}, {4500, 45, 255, 270});
    t.place({"Label1"}, {120, 480, 4560, 270});
    t.place({"PB1"}, {120, 780, 4560, 330});
    t.place({"lblAuto1"}, {120, 1170, 2200, 270});
    t.place({"lblAuto2"}, {2400, 1170, 2200, 270});
    t.place({"cmdWrite"}, {2160, 1590, 1200, 375});
    t.place({"cmdExit"}, {3480, 1590, 1200, 375});
    return t.take();
}

std::vector<Placement> functionBitDialog() {
    Table t;
    t.place({"lblFunBitTitle"}, {120, 90, 2700, 270});
    t.place({"lblCapSlot"}, {2850, 90, 600, 270});
    t.place({"lblFunBitSetting"}, {120, 390, 3750, 240});
    t.place({"Close5"}, {8070, 60, 255, 270});
    t.place({"fraDisp"}, {1260, 690, 2700, 2100});
    t.place({"fraType"}, {4050, 690, 2100, 2100});
    t.place({"fraPri"}, {6240, 690, 2025, 2100});
    for (int bit = 0; bit < kFunctionBits; ++bit) {
        const int dy = kFunctionBitPitch * bit;
        t.place({"lblFunBit", bit}, {120, 1020 + dy, 1080, 270});
        t.place({"cboDisp", bit}, {120, 300 + dy, 2460, 330});
        t.place({"cboType", bit}, {120, 300 + dy, 1860, 330});
        t.place({"chkPri", bit}, {120, 300 + dy, 1800, 330});
    }
    t.place({"Command1"}, {7065, 2910, 1200, 390});
    return t.take();
}

std::vector<Placement> alertDialog() {
    Table t;
    t.place({"Close6"}, {6375, 45, 255, 270});
    t.place({"fraPersonal"}, {120, 390, 6450, 750});
    t.place({"cboPersonal"}, {2250, 300, 1650, 330}, {120, 330, 2100, 270});
    t.place({"fraMailDrop"}, {120, 1230, 6450, 2190});
    for (int index = 0; index < 15; ++index) {
        const int column = index / kMailDropRows;
        const int row = index % kMailDropRows;
        const int dx = 2100 * column;
        const int dy = 390 * row;
        t.place({"cboMailAler", index}, {1110 + dx, 300 + dy, 1050, 330},
                {120 + dx, 330 + dy, 960, 270});
    }
    return t.take();
}

}  // namespace

QRect TwipRect::pixels(double fx, double fy) const {
    const auto px = [](int twips, double f) {
        return static_cast<int>(std::lround(twips * f / kTwipsPerPixel));
    };
    return {px(left, fx), px(top, fy), px(width, fx), px(height, fy)};
}

TwipRect designSize(Window window) {
    switch (window) {
        case Window::Form1:
            return {0, 0, 9510, 7215};
        case Window::Form2:
            return {0, 0, 4800, 2100};
        case Window::Form5:
            return {0, 0, 8385, 3420};
        case Window::Form6:
            return {0, 0, 6690, 3540};
        default:
            break;  // the splash and About windows size themselves
    }
    return {};
}

const std::vector<Placement>& layoutOf(Window window) {
    static const std::map<Window, std::vector<Placement>> kLayouts = {
        {Window::Form1, mainWindow()},
        {Window::Form2, transferWindow()},
        {Window::Form5, functionBitDialog()},
        {Window::Form6, alertDialog()},
    };
    return kLayouts.at(window);
}

const Placement* findPlacement(Window window, ControlId id) {
    for (const Placement& p : layoutOf(window)) {
        if (p.id == id) return &p;
    }
    return nullptr;
}

}  // namespace kxp40s::ui
