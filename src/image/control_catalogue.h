#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/control_id.h"

namespace kxp40s {

// The catalogue of the program's windows: every control the core, the
// command-line tool and the window speak of, with the texts the window shows
// (captions, list items, tool tips) and the limits of its boxes. The window
// builds its widgets from it; a ControlId can only name a control listed here.

enum class ControlKind {
    Form,        // a window; its caption is the title
    Menu,        // a menu of the menu bar
    MenuItem,    // an item of a menu; the caption "-" is a separator
    Frame,       // a captioned group
    PictureBox,  // a panel without caption (a page, the tab strip)
    Label,
    TextBox,
    ComboBox,  // a drop-down list; the value is the list index, -1 for none
    CheckBox,
    OptionButton,
    CommandButton,
    Slider,
    ProgressBar,
    CloseBox,
    Timer,
};

// The windows: the main window and its three dialogs (the transfer window,
// the function-bit dialog, the alert-length dialog), the splash window shown
// at start and the About window.
enum class Window { Form1, Form2, Form5, Form6, frmSplash, frmAbout };

// The values a box or slider takes, both ends included.
struct ValueRange {
    int min = 0;
    int max = 0;

    bool contains(int value) const { return value >= min && value <= max; }
    bool operator==(const ValueRange&) const = default;
};

// One control, or the members of a control array that share their texts
// (`txtAddr`(0-7) each have their own caption, so each has its own row).
struct ControlInfo {
    std::string_view name = {};
    ControlKind kind = ControlKind::Label;
    int firstIndex = -1;  // the array members of this row; -1 and -1 for a single control
    int lastIndex = -1;
    Window window = Window::Form1;
    std::optional<Page> page = {};  // the page of a main-window control; none on the window itself
    std::string_view container = {};  // the menu, frame or panel that holds it, when there is one
    // The control's own caption; for a box, list or slider the caption of
    // the label the window shows beside it. "&&" stands for one "&".
    std::string caption = {};
    std::span<const std::string_view> items = {};  // list items, index 0 first
    std::string toolTip = {};
    int maxLength = 0;                     // of a text box; 0: no limit of its own
    std::optional<ValueRange> range = {};  // the numbers a box or slider takes
    std::string_view shortcut = {};        // of a menu item ("Ctrl+O", "F3")
    // The letter of a menu's or menu item's caption that chooses it from the
    // keyboard: Alt and the letter on the menu bar, the letter in an open menu.
    char accessKey = 0;
    // What assistive technology calls the control where its caption does not
    // tell it apart (or there is none); see accessibleName().
    std::string accessibleName = {};

    bool isArray() const { return firstIndex >= 0; }
    bool covers(int index) const { return index >= firstIndex && index <= lastIndex; }
    // The controls of this row: its members in order, or the single control.
    std::vector<ControlId> ids() const;
};

// Every row, window by window (Form1, Form2, Form5, Form6, frmSplash,
// frmAbout), each in the order the window lays its controls out.
std::span<const ControlInfo> controlCatalogue();

// The row of `name`(index); nullptr when the catalogue has no such control.
const ControlInfo* findControl(std::string_view name, int index = -1);
const ControlInfo& controlInfo(ControlId id);

// The rows of one window, or of one page of the main window, in order.
std::vector<const ControlInfo*> windowControls(Window window);
// The control's name for assistive technology: its own accessible name, else
// its caption with "&&" read as "&"; empty when it has neither.
std::string accessibleName(const ControlInfo& info);
std::vector<const ControlInfo*> pageControls(Page page);
std::string_view windowName(Window window);

// A page of the main window: the tab button that shows it, the label that
// stands under the button while the page is shown, and the page's box.
struct PageTab {
    Page page;
    ControlId button;
    ControlId label;
    ControlId box;
};
std::span<const PageTab> pageTabs();

// The sizes of the control arrays the editors walk.
inline constexpr int kCapcodeSlots = 8;        // `txtAddr`(0-7) and their rows
inline constexpr int kFunctionBits = 4;        // A, B, C, D: `cboDisp`, `cboType`, `chkPri`(0-3)
inline constexpr int kMailDrops = 15;          // `cboMailAler`(0-14); `lblLength`(1-15)
inline constexpr int kFirstSourcePrompt = 33;  // `txtPrompt`(33-64): four per capcode
inline constexpr int kLastSourcePrompt = 64;

// The limits of the window's boxes and slider, which the editors enforce.
inline constexpr ValueRange kCapcodeRange{0, 2097151};  // `txtAddr`: 21 bits
inline constexpr int kCapcodeMaxLength = 7;
inline constexpr ValueRange kPasswordRange{0, 9999};  // `txtPass`: four decimal digits
inline constexpr int kPasswordMaxLength = 4;
inline constexpr ValueRange kContrastRange{1, 8};  // `Slider1`
inline constexpr int kFreqMaxLength = 7;           // `txtFreq`

// The lists the editors index by item: list index 0 first.

// `cboDft`. The window is built with the first three; start-up appends the
// fourth. A band's accepted range is read from its text.
inline constexpr std::array<std::string_view, 4> kBandItems = {"929-932MHz", "400-499MHz",
                                                               "130-180MHz", "130-180MHz-GP(RoHS)"};
// `cboChannel`(0) and `cboRoHS`.
inline constexpr std::array<std::string_view, 3> kChannelStepItems = {"5KHz", "6.25KHz", "Auto"};

// `cboDisp` and `cboType` of the function-bit dialog.
inline constexpr std::array<std::string_view, 6> kDisplayTypeItems = {
    "STD Numeric", "PRC Numeric", "Alpha", "Ideo", "Tone Only", "Disable"};
inline constexpr std::array<std::string_view, 17> kMessageTypeItems = {
    "Personal",    "Mail Drop 1", "Mail Drop 2", "Mail Drop 3", "Mail Drop 4", "Mail Drop 5",
    "Mail Drop 6", "Mail Drop 7", "Mail Drop 8", "Mail Drop 9", "Mail Drop A", "Mail Drop B",
    "Mail Drop C", "Mail Drop D", "Mail Drop E", "Mail Drop F", "Group"};

// `cboTone`, the three `cboBatLev`, and the alert dialog's `cboPersonal` and `cboMailAler`.
inline constexpr std::array<std::string_view, 14> kToneItems = {
    "Tone 1",  "Tone 2",  "Tone 3",  "Tone 4",  "Music 1", "Music 2",   "Music 3",
    "Music 4", "Music 5", "Music 6", "Music 7", "Music 8", "Vibration", "Flash Only"};
inline constexpr std::array<std::string_view, 13> kBatteryItems = {
    "1.58V", "1.53V", "1.48V", "1.43V", "1.39V", "1.35V", "1.29V",
    "1.23V", "1.19V", "1.14V", "1.09V", "1.05V", "1.00V"};
inline constexpr std::array<std::string_view, 5> kPersonalItems = {"2 sec", "8 sec", "16 sec",
                                                                   "32 sec", "continuos"};
inline constexpr std::array<std::string_view, 4> kMailDropItems = {"Disable", "Beep", "1 sec",
                                                                   "16 sec"};

// `cboLng` and `cboSource`.
inline constexpr std::array<std::string_view, 6> kLanguageItems = {
    "English", "Spainish", "French", "German", "Danish", "Swedish"};
inline constexpr std::array<std::string_view, 3> kSourceItems = {"Disable", "Forward", "Backward"};

// The captions of `chkMenu`(0-6), and the lists `cboSLC` and `cboORC`.
inline constexpr std::array<std::string_view, 7> kMenuCaptions = {
    "Zoom In/Out Off", "Set Scroll Off",    "Set Time Off", "Set Alarm Off",
    "Auto Sleep Off",  "Pager Off Disable", "Set Alert Off"};
inline constexpr std::array<std::string_view, 6> kSLCItems = {
    "Disable", "30 seconds", "60 seconds", "120 seconds", "175 seconds", "240 seconds"};
inline constexpr std::array<std::string_view, 5> kORCItems = {"Disable", "1 min", "2 min", "5 min",
                                                              "10 min"};

}  // namespace kxp40s
