#include "image/control_catalogue.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <tuple>

#include "image/message.h"

namespace kxp40s {

namespace {

using enum ControlKind;

constexpr std::array<std::string_view, 3> kBaudItems = {"512 bps", "1200 bps", "2400 bps"};
constexpr std::array<std::string_view, 2> kBandwidthItems = {"WB", "NB"};
constexpr std::array<std::string_view, 4> kLampTimeItems = {"8 sec", "12 sec", "20 sec", "30 sec"};
constexpr std::array<std::string_view, 2> kDateFormatItems = {"dd-mm-yy", "mm-dd-yy"};
constexpr std::array<std::string_view, 2> kMessageDisplayItems = {"Page Count", "Direct"};
constexpr std::array<std::string_view, 4> kReminderItems = {"Disable", "2 minutes", "10 minutes",
                                                            "60 minutes"};
constexpr std::array<std::string_view, 2> kDisplayItems = {"Normal", "Invert"};
constexpr std::array<std::string_view, 7> kLogoItems = {
    "English(Large)", "English(Small)", "Spainish", "French", "German", "Danish", "Swedish"};

// The labels of the general prompts `txtPrompt`(1-30).
constexpr std::array<std::string_view, 30> kGeneralPromptLabels = {
    "NO PAGES",         "ESCAPE",         "MESSAGE LOCK", "MESSAGE UNLOCK", "DELETE",
    "DELETE ALL",       "MOVE TO MEMO",   "SET SCROLL",   "SET TIME",       "SET ALARM",
    "SET ALERT",        "PAGER OFF",      "TONE ONLY",    "SLEEP",          "SILENT",
    "PAGER OFF ?",      "DELETE?",        "DELETE ALL ?", "TIME SET",       "ALARM SET",
    "SCROLL SET",       "AUTO SLEEP SET", "START END",    "MESSAGE AREA",   "MAIL DROP AREA",
    "SILENT THEN BEEP", "ZOOM IN",        "ZOOM OUT",     "CHIRP ON",       "CHIRP OFF"};
constexpr std::array<std::string_view, 4> kFunctionBitCaptions = {"Fun. Bit A", "Fun. Bit B",
                                                                  "Fun. Bit C", "Fun. Bit D"};
constexpr std::string_view kSmallFontTip = " Small Font ( Less than 19 characters ) ";
constexpr const char* kCloseName = "Close";

std::string ordinal(int n) {
    static constexpr std::array<std::string_view, 4> kSuffixes = {"th", "st", "nd", "rd"};
    return std::to_string(n) + std::string(kSuffixes[n >= 1 && n <= 3 ? n : 0]);
}

std::string ofCapcode(int slot) {
    return " of capcode " + std::to_string(slot + 1);
}

std::string ofFunctionBit(int bit) {
    return std::string(" of function bit ") + static_cast<char>('A' + bit);
}

// Rows are added section by section: each takes the window, page and
// container of its section unless it names a container of its own.
class Builder {
  public:
    void section(Window window, std::optional<Page> page, std::string_view container = {}) {
        window_ = window;
        page_ = page;
        container_ = container;
    }
    void add(ControlInfo row) {
        row.window = window_;
        row.page = page_;
        if (row.container.empty()) row.container = container_;
        rows_.push_back(std::move(row));
    }
    void add(ControlInfo row, int first, int last) {
        row.firstIndex = first;
        row.lastIndex = last;
        add(std::move(row));
    }
    std::vector<ControlInfo> take() { return std::move(rows_); }
    // The caption of a control added before.
    const std::string& captionOf(std::string_view name) const {
        const auto it = std::find_if(rows_.begin(), rows_.end(),
                                     [&](const ControlInfo& row) { return row.name == name; });
        if (it == rows_.end()) throw std::logic_error("no such control yet: " + std::string(name));
        return it->caption;
    }

  private:
    std::vector<ControlInfo> rows_;
    Window window_ = Window::Form1;
    std::optional<Page> page_;
    std::string_view container_;
};

void addMenus(Builder& b) {
    b.section(Window::Form1, std::nullopt, "mnuFile");
    b.add({.name = "mnuFile",
           .kind = Menu,
           .container = "Form1",
           .caption = "File",
           .accessKey = 'F'});
    b.add({.name = "mnuLBFF",
           .kind = MenuItem,
           .caption = "Open",
           .shortcut = "Ctrl+O",
           .accessKey = 'O'});
    b.add({.name = "mnuSBTF",
           .kind = MenuItem,
           .caption = "Save",
           .shortcut = "Ctrl+S",
           .accessKey = 'S'});
    b.add({.name = "mnuSA",
           .kind = MenuItem,
           .caption = "Save As...",
           .shortcut = "Ctrl+A",
           .accessKey = 'A'});
    b.add({.name = "mnudash", .kind = MenuItem, .caption = "-"});
    b.add({.name = "mnuExit",
           .kind = MenuItem,
           .caption = "Exit",
           .shortcut = "Ctrl+E",
           .accessKey = 'x'});
    b.section(Window::Form1, std::nullopt, "mnuPager");
    b.add({.name = "mnuPager",
           .kind = Menu,
           .container = "Form1",
           .caption = "Pager",
           .accessKey = 'P'});
    b.add({.name = "mnuEntire",
           .kind = MenuItem,
           .caption = "Read",
           .shortcut = "F3",
           .accessKey = 'R'});
    b.add({.name = "mnuEB",
           .kind = MenuItem,
           .caption = "Write",
           .shortcut = "F4",
           .accessKey = 'W'});
    b.add({.name = "mnuEB1",
           .kind = MenuItem,
           .caption = "Verfy",
           .shortcut = "F9",
           .accessKey = 'V'});
    b.add({.name = "mnudash2", .kind = MenuItem, .caption = "-"});
    b.add({.name = "mnuFastRead",
           .kind = MenuItem,
           .caption = "Fast Read",
           .toolTip = "Read without the board's pause before each reply",
           .accessKey = 'F'});
    b.add({.name = "mnuBackup",
           .kind = MenuItem,
           .caption = "Backup Before Write",
           .toolTip = "Keep what the pager holds in the backup folder before each write",
           .accessKey = 'B'});
    b.add({.name = "mnuBackupFolder",
           .kind = MenuItem,
           .caption = "Open Backups Folder",
           .toolTip = "Show the folder where every pager read is kept",
           .accessKey = 'O'});
    b.section(Window::Form1, std::nullopt, "mnuBoard");
    b.add({.name = "mnuBoard",
           .kind = Menu,
           .container = "Form1",
           .caption = "Board",
           .accessKey = 'B'});
    b.add({.name = "mnuUsb", .kind = MenuItem, .caption = "USB Board", .accessKey = 'U'});
    b.add({.name = "mnuLpt", .kind = MenuItem, .caption = "Parallel Port Board", .accessKey = 'P'});
    b.section(Window::Form1, std::nullopt, "mnuHelp");
    b.add({.name = "mnuHelp",
           .kind = Menu,
           .container = "Form1",
           .caption = "Help",
           .accessKey = 'H'});
    b.add({.name = "mnuAbout", .kind = MenuItem, .caption = "About", .accessKey = 'A'});
    b.add({.name = "mnuFirmware", .kind = MenuItem, .caption = "Check Firmware", .accessKey = 'C'});
}

// The tab strip: four tab buttons, each with the label that stands under it
// while its page is shown, the two mode buttons, the status line and the
// four page boxes on top of one another.
void addTabStrip(Builder& b) {
    b.section(Window::Form1, std::nullopt);
    b.add({.name = "Form1", .kind = Form, .caption = kTitle});
    addMenus(b);
    b.section(Window::Form1, std::nullopt, "picTabBack");
    // Takes the focus from a box being left; a screen reader calls it so.
    b.add({.name = "picTabBack",
           .kind = PictureBox,
           .container = "Form1",
           .accessibleName = "Page tabs"});
    b.add({.name = "EMoptCode", .kind = CommandButton, .caption = "Freq. && Codes"});
    b.add({.name = "Label14", .kind = Label, .caption = "Freq. && Codes"}, 0, 0);
    b.add({.name = "EMoptStatus", .kind = CommandButton, .caption = "Alert && Status"});
    b.add({.name = "Label15", .kind = Label, .caption = "Alerts && Status"}, 0, 0);
    b.add({.name = "EMoptPrompts", .kind = CommandButton, .caption = "Prompts Edit"});
    b.add({.name = "lblPEdit", .kind = Label, .caption = "Prompts Edit"});
    b.add({.name = "EMoptSource", .kind = CommandButton, .caption = "Source Prompts"});
    b.add({.name = "lblSource", .kind = Label, .caption = "Source Prompts"});
    b.add({.name = "ModifyOpt", .kind = OptionButton, .caption = "Modify Mode"});
    b.add({.name = "WriteOpt", .kind = OptionButton, .caption = "Write Mode"});
    b.add({.name = "lblMsg", .kind = Label});
    b.section(Window::Form1, std::nullopt, "Form1");
    b.add({.name = "Timer1", .kind = Timer});
}

void addFrequency(Builder& b) {
    b.section(Window::Form1, Page::FreqCodes, "fraFrequency");
    b.add({.name = "fraFrequency", .kind = Frame, .container = "picSet1", .caption = "Frequency"});
    b.add(
        {.name = "cboDft", .kind = ComboBox, .caption = "Range Of Frequency", .items = kBandItems});
    b.add({.name = "cboCtl",
           .kind = ComboBox,
           .caption = "POCSAG Signal Baud Rate",
           .items = kBaudItems},
          9, 9);
    b.add({.name = "txtFreq",
           .kind = TextBox,
           .caption = "Frequency Of Pager",
           .maxLength = kFreqMaxLength});
    b.add({.name = "lblFreqUnit", .kind = Label, .caption = "00Hz"});
    b.add({.name = "cboCtl", .kind = ComboBox, .caption = "Bandwidth", .items = kBandwidthItems}, 0,
          0);
    // Both channel-step selectors lie at the same place; the band's own is in front.
    b.section(Window::Form1, Page::FreqCodes, "Picture1");
    b.add({.name = "Picture1", .kind = PictureBox, .container = "picSet1"});
    b.add({.name = "cboChannel",
           .kind = ComboBox,
           .caption = "Channel:",
           .items = kChannelStepItems,
           .accessibleName = "Channel step"},
          0, 0);
    b.add({.name = "cboRoHS",
           .kind = ComboBox,
           .caption = "Channel:",
           .items = kChannelStepItems,
           .accessibleName = "Channel step of the GP(RoHS) band"});
    b.add({.name = "lblCHANNEL", .kind = Label, .container = "picSet1"});
    // The read-out of the synthesizer words, hidden from start-up on.
    b.section(Window::Form1, Page::FreqCodes, "picPLL");
    b.add({.name = "picPLL", .kind = PictureBox, .container = "picSet1"});
    b.add({.name = "lblBfreq", .kind = Label, .caption = "BFreq:"});
    b.add({.name = "lblPLLR", .kind = Label, .caption = "PLL-R:"});
    b.add({.name = "lblPLLN", .kind = Label, .caption = "PLL-N:"});
    b.add({.name = "lblINCD", .kind = Label, .caption = "Incd:"});
}

// The function-bit button of a capcode and the three summaries of its bits.
void addFunctionBitSummary(Builder& b, int slot) {
    b.add({.name = "cmdFunc",
           .kind = CommandButton,
           .caption = "Fun. Bit",
           .toolTip = "Click to set function bit( A B C D ) message control.",
           .accessibleName = "Function bits" + ofCapcode(slot)},
          slot, slot);
    b.add({.name = "tlblType",
           .kind = TextBox,
           .caption = "Type:",
           .toolTip = "Function Bit( A B C D ) Message Type:  P = Personal,  1 = Mail Drop 1, "
                      "...... , F = Mail Drop 15, G = Group",
           .accessibleName = "Message types" + ofCapcode(slot)},
          slot, slot);
    b.add({.name = "tlblDisp",
           .kind = TextBox,
           .caption = "Disable && Disp:",
           .toolTip = "Function Bit( A B C D ) Message Display:  N=standard Numeric,  P=PRC "
                      "Numeric,  A=Alpha-numeric,  I= Ideo-graphic,  - =Disable",
           .accessibleName = "Message displays" + ofCapcode(slot)},
          slot, slot);
    b.add({.name = "tlblPri",
           .kind = TextBox,
           .caption = "Priority:",
           .toolTip = "Function Bit( A B C D ) Priority Alert Control:  V=Enable,  - =Disable",
           .accessibleName = "Priority alerts" + ofCapcode(slot)},
          slot, slot);
}

void addCapcodes(Builder& b) {
    b.section(Window::Form1, Page::FreqCodes, "fraCapcode");
    b.add({.name = "fraCapcode",
           .kind = Frame,
           .container = "picSet1",
           .caption = "Capcode( Decimal Address )"});
    for (int slot = 0; slot < kCapcodeSlots; ++slot) {
        b.add({.name = "txtAddr",
               .kind = TextBox,
               .caption = "Cap #" + std::to_string(slot + 1),
               .toolTip = "Please input " + ordinal(slot + 1) +
                          " Capcode( 7 Dec digits between 8 and 2097151 )",
               .maxLength = kCapcodeMaxLength,
               .range = kCapcodeRange,
               .accessibleName = "Capcode " + std::to_string(slot + 1)},
              slot, slot);
    }
    for (int slot = 0; slot < kCapcodeSlots; ++slot) {
        b.add({.name = "chkCtl",
               .kind = CheckBox,
               .caption = "ON",
               .toolTip = slot < 6
                              ? "Enable or disable the " + ordinal(slot + 1) + " Capcode( address )"
                              : "",
               .accessibleName = "Capcode " + std::to_string(slot + 1) + " on"},
              30 + slot, 30 + slot);
    }
    b.add({.name = "picFunBit", .kind = PictureBox}, 0, kCapcodeSlots - 1);
    b.section(Window::Form1, Page::FreqCodes, "picFunBit");
    for (int slot = 0; slot < kCapcodeSlots; ++slot)
        addFunctionBitSummary(b, slot);
}

// "PG" for personal and group, "M1" ... "MF" for the mail drops.
std::string classHeading(int index) {
    static constexpr std::string_view kDigits = "0123456789ABCDEF";
    return index == 0 ? "PG" : std::string("M") + kDigits[static_cast<std::size_t>(index)];
}

// The summary of the alert lengths and memory: index 0 personal and group,
// index i mail drop i.
void addMessageStatus(Builder& b) {
    b.section(Window::Form1, Page::FreqCodes, "fraMsgStatus");
    b.add({.name = "fraMsgStatus",
           .kind = Frame,
           .container = "picSet1",
           .caption = "Message Type Status( PG:Personal && Group     M:Mail Drop )"});
    // The column of each class is headed by its short name; the two rows
    // say what they show.
    for (int index = 0; index <= kMailDrops; ++index) {
        b.add({.name = "lblClass", .kind = Label, .caption = classHeading(index)}, index, index);
    }
    b.add({.name = "lblLengthHead", .kind = Label, .caption = "Alert Length"});
    b.add({.name = "lblMemoryHead", .kind = Label, .caption = "Memory(KB)"});
    b.add({.name = "lblLength", .kind = Label}, 0, kMailDrops);
    b.add({.name = "lblMemory", .kind = Label}, 0, kMailDrops);
    b.add({.name = "cmdAlert", .kind = CommandButton, .caption = "Alert Length Select"});
    b.section(Window::Form1, Page::FreqCodes, "fraAutoIncrease");
    b.add({.name = "fraAutoIncrease",
           .kind = Frame,
           .container = "picSet1",
           .caption = "Auto Increase 1 After Write"});
    b.add({.name = "optAuto1",
           .kind = CheckBox,
           .caption = "1st Capcode Auto Increase",
           .toolTip = "1st capcode always increments by one after writed"});
    b.add({.name = "optAuto2",
           .kind = CheckBox,
           .caption = "2nd Capcode Auto Increase",
           .toolTip = "2nd capcode always increments by one after writed"});
}

void addCheck(Builder& b, int index, std::string caption, std::string toolTip = {}) {
    b.add({.name = "chkCtl", .kind = CheckBox, .caption = std::move(caption), .toolTip = toolTip},
          index, index);
}

void addList(Builder& b, int index, std::string caption, std::span<const std::string_view> items) {
    b.add({.name = "cboCtl", .kind = ComboBox, .caption = std::move(caption), .items = items},
          index, index);
}

// The options of the Alerts page, in the order the window loads them.
void addAlertOptions(Builder& b) {
    b.section(Window::Form1, Page::AlertsStatus, "fraAlerts");
    b.add({.name = "fraAlerts",
           .kind = Frame,
           .container = "picSet2",
           .caption = "Alerts and Status"});
    addCheck(b, 29, "Ext. Charger's Beeper");
    addCheck(b, 4, "Frequency Modification Enable");
    addCheck(b, 5, "Password Required Enable");
    addCheck(b, 7, "Password Modification Enable");
    addCheck(b, 8, "Beep And Vibration");
    addCheck(b, 18, "Discard Error Msg");
    addCheck(b, 19, "Air Program Enable");
    addCheck(b, 17, "Push Key Lamp On Enable");
    addList(b, 2, "Lamp Time", kLampTimeItems);
    addCheck(b, 54, "Duplicate Msg Detect");
    addCheck(b, 2, "Counter Out Enable");
    addCheck(b, 20, "Direct Show Lamp On");
    addCheck(b, 6, "Lowcell Alert ON",
             "The pager emits an alert when it enters a low-battery contion.");
    addCheck(b, 0, "Disp Source Addr ON");
    addCheck(b, 1, "Long Message Control Enable", "Enable : 2000words   Disable:300 words");
    addList(b, 3, "Message Display", kMessageDisplayItems);
    addList(b, 4, "Reminder Duration", kReminderItems);
    addCheck(b, 21, "RD Key Pager Off");
    addCheck(b, 3, "RD Key Delete Enable");
    addList(b, 5, "Display", kDisplayItems);
    addCheck(b, 15, "History Disable");
    addCheck(b, 11, "Lock/Unlock Disable");
    addCheck(b, 12, "Delete Disable");
    addCheck(b, 13, "Del. All Disable");
    addCheck(b, 14, "Move To Memo Disable");
    b.add(
        {.name = "Slider1", .kind = Slider, .range = kContrastRange, .accessibleName = "Contrast"});
    b.add({.name = "lblContrast", .kind = Label});
    b.add({.name = "lblValue", .kind = Label});
    // Level-High stands at the top, Level-Low at the bottom.
    for (const auto& [level, caption] :
         {std::pair{2, "Battery Gauge Level-High"}, std::pair{1, "Battery Gauge Level-Med"},
          std::pair{0, "Battery Gauge Level-Low"}}) {
        b.add({.name = "cboBatLev", .kind = ComboBox, .caption = caption, .items = kBatteryItems},
              level, level);
    }
    b.add({.name = "txtPass",
           .kind = TextBox,
           .caption = "Password(4 Dec)",
           .maxLength = kPasswordMaxLength,
           .range = kPasswordRange});
    b.section(Window::Form1, Page::AlertsStatus, "fraManualWrite");
    b.add({.name = "fraManualWrite",
           .kind = Frame,
           .container = "picSet2",
           .caption = "Manual Write"});
    addCheck(b, 16, "Manual Write Enable");
}

void addPagerMenu(Builder& b) {
    b.section(Window::Form1, Page::AlertsStatus, "fraMenu");
    b.add({.name = "fraMenu", .kind = Frame, .container = "picSet2", .caption = "Menu Of Pager"});
    for (int index = 0; index < static_cast<int>(kMenuCaptions.size()); ++index) {
        b.add({.name = "chkMenu",
               .kind = CheckBox,
               .caption = std::string(kMenuCaptions[static_cast<std::size_t>(index)])},
              index, index);
    }
    b.section(Window::Form1, Page::AlertsStatus, "picSet2");
    b.add(
        {.name = "cboTone", .kind = ComboBox, .items = kToneItems, .accessibleName = "Alert tone"});
    b.add(
        {.name = "cboSLC", .kind = ComboBox, .caption = "Sequential Lockout", .items = kSLCItems});
    b.add({.name = "cboORC", .kind = ComboBox, .caption = "Out-of Service", .items = kORCItems});
}

// The three alignment buttons act on the focused prompt box, index 1 on the
// power-on prompt beside which it stands.
void addAlignment(Builder& b, int index) {
    b.add({.name = "optLeft", .kind = OptionButton, .caption = "Align Left"}, index, index);
    b.add({.name = "optCenter", .kind = OptionButton, .caption = "Align Center"}, index, index);
    b.add({.name = "optRight", .kind = OptionButton, .caption = "Align Right"}, index, index);
}

// A prompt box is called by the caption of the label above it.
void addPromptBox(Builder& b, int index, const std::string& label) {
    b.add({.name = "lblPrompt",
           .kind = Label,
           .caption = label,
           .toolTip = std::string(kSmallFontTip)},
          index, index);
    b.add({.name = "txtPrompt", .kind = TextBox, .accessibleName = label}, index, index);
}

void addGeneralPrompts(Builder& b, Page page, std::initializer_list<int> indexes) {
    b.section(Window::Form1, page, page == Page::PromptsEdit ? "picSet5" : "picSet2");
    for (const int index : indexes) {
        addPromptBox(b, index,
                     std::string(kGeneralPromptLabels[static_cast<std::size_t>(index - 1)]));
    }
}

void addPromptsFrame(Builder& b) {
    b.section(Window::Form1, Page::AlertsStatus, "fraPrompts");
    b.add({.name = "fraPrompts", .kind = Frame, .container = "picSet2", .caption = "Prompts"});
    b.add({.name = "txtPrompt", .kind = TextBox, .caption = "Power Up Logo"}, 0, 0);
    addAlignment(b, 1);
    b.add({.name = "cboLng",
           .kind = ComboBox,
           .caption = "Prompt Language",
           .items = kLanguageItems});
    b.add({.name = "cboLogo", .kind = ComboBox, .caption = "Logo Font", .items = kLogoItems});
    addList(b, 6, "Date Format", kDateFormatItems);
    addGeneralPrompts(b, Page::AlertsStatus, {24, 25, 29, 30});
}

void addPromptsEdit(Builder& b) {
    addGeneralPrompts(b, Page::PromptsEdit, {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                             14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 26, 27, 28});
    addPromptBox(b, 31, "SET HISTORY");
    addPromptBox(b, 32, "HISTORY SET");
    addPromptBox(b, 65, "FLASH ONLY");
    addPromptBox(b, 68, "CHARGING");
    addAlignment(b, 0);
    b.add({.name = "optDefault", .kind = OptionButton, .caption = "Load Default"}, 0, 0);
    // Measures the width of a row of spaces in the prompt boxes' font; never shown.
    b.add({.name = "lblEdLen", .kind = Label});
}

// Four source prompts per capcode, one per function bit, each with its enable box.
void addSourcePrompts(Builder& b) {
    b.section(Window::Form1, Page::SourcePrompts, "picSet6");
    b.add({.name = "cboSource",
           .kind = ComboBox,
           .caption = "Prompt Control",
           .items = kSourceItems});
    for (int capcode = 1; capcode <= kCapcodeSlots; ++capcode) {
        for (int bit = 0; bit < kFunctionBits; ++bit) {
            const int index = kFirstSourcePrompt + kFunctionBits * (capcode - 1) + bit;
            const std::string label =
                "Cap#" + std::to_string(capcode) + " Fun.Bit " + static_cast<char>('A' + bit);
            b.add({.name = "chkSource", .kind = CheckBox, .accessibleName = label + " on"}, index,
                  index);
            addPromptBox(b, index, label);
        }
    }
    addAlignment(b, 2);
    b.add({.name = "optDefault", .kind = OptionButton, .caption = "Load Default"}, 1, 1);
}

void addPages(Builder& b) {
    // Each page is called as the label of its tab when it is shown.
    constexpr std::array<std::tuple<Page, std::string_view, std::string_view>, 4> kBoxes = {{
        {Page::FreqCodes, "picSet1", "Label14"},
        {Page::AlertsStatus, "picSet2", "Label15"},
        {Page::PromptsEdit, "picSet5", "lblPEdit"},
        {Page::SourcePrompts, "picSet6", "lblSource"},
    }};
    for (const auto& [page, box, label] : kBoxes) {
        b.section(Window::Form1, page, "picTabBack");
        b.add({.name = box, .kind = PictureBox, .accessibleName = b.captionOf(label)});
        switch (page) {
            case Page::FreqCodes:
                addFrequency(b);
                addCapcodes(b);
                addMessageStatus(b);
                break;
            case Page::AlertsStatus:
                addAlertOptions(b);
                addPagerMenu(b);
                addPromptsFrame(b);
                break;
            case Page::PromptsEdit:
                b.section(Window::Form1, page, box);
                addPromptsEdit(b);
                break;
            case Page::SourcePrompts:
                addSourcePrompts(b);
                break;
        }
    }
}

void addTransferWindow(Builder& b) {
    b.section(Window::Form2, std::nullopt, "Form2");
    b.add({.name = "Form2", .kind = Form});
    b.add({.name = "BackgroundPicture", .kind = PictureBox});
    b.add({.name = "Label2", .kind = Label, .caption = "Pager Program"});
    b.add({.name = "Label1", .kind = Label});  // the status line
    b.add({.name = "PB1", .kind = ProgressBar, .accessibleName = "Progress"});
    // Shown only while a series is written, with the capcode about to be written.
    b.add({.name = "lblAuto1", .kind = Label, .caption = " 1st capcode : "});
    b.add({.name = "lblAuto2", .kind = Label, .caption = " 2nd capcode : "});
    b.add({.name = "cmdWrite", .kind = CommandButton, .caption = "Write"});
    b.add({.name = "cmdExit", .kind = CommandButton, .caption = "Exit"});
    b.add({.name = "Close1", .kind = CloseBox, .accessibleName = kCloseName});
}

void addFunctionBitDialog(Builder& b) {
    b.section(Window::Form5, std::nullopt, "Form5");
    b.add({.name = "Form5", .kind = Form});
    b.add({.name = "lblFunBitTitle", .kind = Label, .caption = "Capcode   Function Bit"});
    b.add({.name = "lblFunBitSetting", .kind = Label, .caption = "Capcode Function Bit Setting"});
    b.add({.name = "lblCapSlot", .kind = Label});  // "#" and the capcode's number
    for (int bit = 0; bit < kFunctionBits; ++bit) {
        b.add({.name = "lblFunBit",
               .kind = Label,
               .caption = std::string(kFunctionBitCaptions[static_cast<std::size_t>(bit)])},
              bit, bit);
    }
    b.section(Window::Form5, std::nullopt, "fraDisp");
    b.add({.name = "fraDisp",
           .kind = Frame,
           .container = "Form5",
           .caption = "Message Disable and Display"});
    for (int bit = 0; bit < kFunctionBits; ++bit) {
        b.add({.name = "cboDisp",
               .kind = ComboBox,
               .items = kDisplayTypeItems,
               .accessibleName = "Message display" + ofFunctionBit(bit)},
              bit, bit);
    }
    b.section(Window::Form5, std::nullopt, "fraType");
    b.add({.name = "fraType", .kind = Frame, .container = "Form5", .caption = "Message Type"});
    for (int bit = 0; bit < kFunctionBits; ++bit) {
        b.add({.name = "cboType",
               .kind = ComboBox,
               .items = kMessageTypeItems,
               .accessibleName = "Message type" + ofFunctionBit(bit)},
              bit, bit);
    }
    b.section(Window::Form5, std::nullopt, "fraPri");
    b.add({.name = "fraPri",
           .kind = Frame,
           .container = "Form5",
           .caption = "Priority Alert Control"});
    for (int bit = 0; bit < kFunctionBits; ++bit) {
        b.add({.name = "chkPri",
               .kind = CheckBox,
               .caption = std::string(kFunctionBitCaptions[static_cast<std::size_t>(bit)]),
               .accessibleName = "Priority alert" + ofFunctionBit(bit)},
              bit, bit);
    }
    b.section(Window::Form5, std::nullopt, "Form5");
    b.add({.name = "Command1", .kind = CommandButton, .caption = "OK"});
    b.add({.name = "Close5", .kind = CloseBox, .accessibleName = kCloseName});
}

void addAlertDialog(Builder& b) {
    b.section(Window::Form6, std::nullopt, "Form6");
    b.add({.name = "Form6", .kind = Form, .caption = "Personal and Mail Drop Status Control"});
    b.add({.name = "Close6", .kind = CloseBox, .accessibleName = kCloseName});
    b.section(Window::Form6, std::nullopt, "fraPersonal");
    b.add({.name = "fraPersonal",
           .kind = Frame,
           .container = "Form6",
           .caption = "Personal and Group Alert Length"});
    b.add({.name = "cboPersonal",
           .kind = ComboBox,
           .caption = "Personal Alert Length",
           .items = kPersonalItems});
    b.section(Window::Form6, std::nullopt, "fraMailDrop");
    b.add({.name = "fraMailDrop",
           .kind = Frame,
           .container = "Form6",
           .caption = "Mail Drop Alert Length"});
    // "Mail Drop 1" ... "Mail Drop F", as the message types name them.
    for (int index = 0; index < kMailDrops; ++index) {
        b.add({.name = "cboMailAler",
               .kind = ComboBox,
               .caption = std::string(kMessageTypeItems[static_cast<std::size_t>(index + 1)]),
               .items = kMailDropItems},
              index, index);
    }
}

// The product's name as the splash and About windows show it: the first six
// characters of the title ("KXP40S") and what follows.
std::string productName(std::string_view rest) {
    return std::string(std::string_view(kTitle).substr(0, 6)) + std::string(rest);
}

void addSplashWindow(Builder& b) {
    b.section(Window::frmSplash, std::nullopt, "frmSplash");
    b.add({.name = "frmSplash", .kind = Form});
    b.add({.name = "lblProduct", .kind = Label, .caption = productName("(USB) Programmer")});
    b.add({.name = "lblNotice", .kind = Label, .caption = "Starting, please wait ..."});
}

void addAboutWindow(Builder& b) {
    b.section(Window::frmAbout, std::nullopt, "frmAbout");
    b.add({.name = "frmAbout", .kind = Form});
    b.add({.name = "lblTitle", .kind = Label, .caption = productName("(USB) Pager Programmer")});
    b.add({.name = "lblVersion", .kind = Label, .caption = "Version 5.12(2011.3.1)"});
    b.add({.name = "lblUsedFor", .kind = Label, .caption = " This program can be used for"});
    b.add({.name = "lblModel", .kind = Label, .caption = "  model KXP40"});
    b.add({.name = "lblInfo",
           .kind = Label,
           .caption = "Read a pager before you change it: a write replaces all of its settings."});
    b.add({.name = "cmdOK", .kind = CommandButton, .caption = "OK"});
    b.add({.name = "CloseAbout", .kind = CloseBox, .accessibleName = kCloseName});
}

// A name and where its rows are: a single control's row, or for an array
// the row of each index (-1 where the array has no member).
struct NameEntry {
    std::string_view name;
    int singleRow = -1;
    std::vector<int> rowOfIndex;
};

struct Catalogue {
    std::vector<ControlInfo> rows;
    std::vector<NameEntry> names;  // sorted by name
};

NameEntry& entryFor(std::vector<NameEntry>& names, std::string_view name) {
    const auto it = std::find_if(names.begin(), names.end(),
                                 [&](const NameEntry& e) { return e.name == name; });
    if (it != names.end()) return *it;
    return names.emplace_back(NameEntry{name, -1, {}});
}

// Indexes each name and interns it: every row of a name holds the same
// string. A name is either a single control or an array whose members are
// listed once.
std::vector<NameEntry> indexNames(std::vector<ControlInfo>& rows) {
    std::vector<NameEntry> names;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ControlInfo& row = rows[r];
        NameEntry& entry = entryFor(names, row.name);
        row.name = entry.name;
        const bool clash = row.isArray() ? entry.singleRow >= 0
                                         : !entry.rowOfIndex.empty() || entry.singleRow >= 0;
        if (clash || row.lastIndex < row.firstIndex) {
            throw std::logic_error("control listed twice: " + std::string(row.name));
        }
        if (!row.isArray()) {
            entry.singleRow = static_cast<int>(r);
            continue;
        }
        const auto last = static_cast<std::size_t>(row.lastIndex);
        if (entry.rowOfIndex.size() <= last) entry.rowOfIndex.resize(last + 1, -1);
        for (int index = row.firstIndex; index <= row.lastIndex; ++index) {
            int& slot = entry.rowOfIndex[static_cast<std::size_t>(index)];
            if (slot >= 0) throw std::logic_error("control listed twice: " + std::string(row.name));
            slot = static_cast<int>(r);
        }
    }
    std::sort(names.begin(), names.end(),
              [](const NameEntry& a, const NameEntry& b) { return a.name < b.name; });
    return names;
}

Catalogue buildCatalogue() {
    Builder b;
    addTabStrip(b);
    addPages(b);
    addTransferWindow(b);
    addFunctionBitDialog(b);
    addAlertDialog(b);
    addSplashWindow(b);
    addAboutWindow(b);
    Catalogue catalogue{b.take(), {}};
    catalogue.names = indexNames(catalogue.rows);
    return catalogue;
}

const Catalogue& catalogue() {
    static const Catalogue kCatalogue = buildCatalogue();
    return kCatalogue;
}

const NameEntry* findName(std::string_view name) {
    const auto& names = catalogue().names;
    const auto it =
        std::lower_bound(names.begin(), names.end(), name,
                         [](const NameEntry& e, std::string_view n) { return e.name < n; });
    return it != names.end() && it->name == name ? &*it : nullptr;
}

int rowOf(const NameEntry& entry, int index) {
    if (index < 0) return entry.singleRow;
    const auto at = static_cast<std::size_t>(index);
    return at < entry.rowOfIndex.size() ? entry.rowOfIndex[at] : -1;
}

}  // namespace

std::vector<ControlId> ControlInfo::ids() const {
    if (!isArray()) return {ControlId{name}};
    std::vector<ControlId> ids;
    for (int index = firstIndex; index <= lastIndex; ++index)
        ids.emplace_back(name, index);
    return ids;
}

std::span<const ControlInfo> controlCatalogue() {
    return catalogue().rows;
}

const ControlInfo* findControl(std::string_view name, int index) {
    const NameEntry* entry = findName(name);
    if (!entry) return nullptr;
    const int row = rowOf(*entry, index);
    return row < 0 ? nullptr : &catalogue().rows[static_cast<std::size_t>(row)];
}

const ControlInfo& controlInfo(ControlId id) {
    const NameEntry& entry = catalogue().names[static_cast<std::size_t>(id.nameNumber_)];
    return catalogue().rows[static_cast<std::size_t>(rowOf(entry, id.index()))];
}

std::vector<const ControlInfo*> windowControls(Window window) {
    std::vector<const ControlInfo*> rows;
    for (const ControlInfo& row : controlCatalogue()) {
        if (row.window == window) rows.push_back(&row);
    }
    return rows;
}

std::vector<const ControlInfo*> pageControls(Page page) {
    std::vector<const ControlInfo*> rows;
    for (const ControlInfo& row : controlCatalogue()) {
        if (row.page == page) rows.push_back(&row);
    }
    return rows;
}

std::string accessibleName(const ControlInfo& info) {
    std::string name = info.accessibleName.empty() ? info.caption : info.accessibleName;
    for (auto at = name.find("&&"); at != std::string::npos; at = name.find("&&", at + 1))
        name.erase(at, 1);
    return name;
}

std::string_view windowName(Window window) {
    return windowControls(window).front()->name;
}

std::span<const PageTab> pageTabs() {
    static const std::array<PageTab, 4> kTabs = {{
        {Page::FreqCodes, {"EMoptCode"}, {"Label14", 0}, {"picSet1"}},
        {Page::AlertsStatus, {"EMoptStatus"}, {"Label15", 0}, {"picSet2"}},
        {Page::PromptsEdit, {"EMoptPrompts"}, {"lblPEdit"}, {"picSet5"}},
        {Page::SourcePrompts, {"EMoptSource"}, {"lblSource"}, {"picSet6"}},
    }};
    return kTabs;
}

std::string_view pageCaption(Page page) {
    for (const PageTab& tab : pageTabs()) {
        if (tab.page == page) return controlInfo(tab.label).caption;
    }
    throw std::out_of_range("no such page");
}

ControlId::ControlId(std::string_view name, int index) : index_(index) {
    const NameEntry* entry = findName(name);
    if (!entry || rowOf(*entry, index) < 0) {
        throw std::out_of_range("no control " + std::string(name) +
                                (index < 0 ? std::string() : "(" + std::to_string(index) + ")") +
                                " in the catalogue");
    }
    nameNumber_ = static_cast<int>(entry - catalogue().names.data());
}

std::string_view ControlId::name() const {
    return catalogue().names[static_cast<std::size_t>(nameNumber_)].name;
}

std::optional<ControlId> ControlId::parse(std::string_view text) {
    std::string_view name = text;
    int index = -1;
    if (const auto open = text.find('('); open != std::string_view::npos) {
        if (!text.ends_with(')')) return std::nullopt;
        const std::string_view digits = text.substr(open + 1, text.size() - open - 2);
        const auto* end = digits.data() + digits.size();
        const auto [ptr, error] = std::from_chars(digits.data(), end, index);
        if (digits.empty() || error != std::errc() || ptr != end || index < 0) return std::nullopt;
        name = text.substr(0, open);
    }
    if (!findControl(name, index)) return std::nullopt;
    return ControlId{name, index};
}

}  // namespace kxp40s
