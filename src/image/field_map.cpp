#include "image/field_map.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <stdexcept>

namespace kxp40s {

std::string_view pageCaption(Page page) {
    switch (page) {
        case Page::FreqCodes:
            return "Freq. && Codes";
        case Page::AlertsStatus:
            return "Alerts && Status";
        case Page::PromptsEdit:
            return "Prompts Edit";
        case Page::SourcePrompts:
            return "Source Prompts";
    }
    return "";
}

namespace {

std::vector<std::string_view> split(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) return parts;
        start = comma + 1;
    }
}

std::optional<int> parseNumber(std::string_view text, int base) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

std::optional<int> parseAddress(std::string_view text) {
    if (text.starts_with("&H") || text.starts_with("&h")) return parseNumber(text.substr(2), 16);
    return parseNumber(text, 10);
}

std::optional<FieldKind> parseKind(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, FieldKind>, 6> kKinds = {{
        {"chk", FieldKind::chk},
        {"chkN", FieldKind::chkN},
        {"chkSource", FieldKind::chkSource},
        {"cbo", FieldKind::cbo},
        {"cboBaud", FieldKind::cboBaud},
        {"Lng", FieldKind::Lng},
    }};
    for (const auto& [name, kind] : kKinds) {
        if (name == text) return kind;
    }
    return std::nullopt;
}

}  // namespace

std::optional<FieldTag> parseFieldTag(std::string_view tag) {
    const auto parts = split(tag);
    if (parts.size() < 2) return std::nullopt;
    const auto address = parseAddress(parts[0]);
    if (!address) return std::nullopt;
    FieldTag field;
    field.address = *address;
    if (parts.size() < 4) {
        const auto flag = parseNumber(parts[1], 10);
        if (!flag) return std::nullopt;
        field.flag = *flag;
        return field;
    }
    const auto firstBit = parseNumber(parts[1], 10);
    const auto bitCount = parseNumber(parts[2], 10);
    field.kind = parseKind(parts[3]);
    if (!firstBit || !bitCount || !field.kind || *firstBit < 0 || *firstBit > 7 || *bitCount < 1 ||
        *bitCount > 8) {
        return std::nullopt;
    }
    field.firstBit = *firstBit;
    field.bitCount = *bitCount;
    return field;
}

namespace {

struct Row {
    std::string_view tag;
    ControlId control;
    Page page;
    std::string_view caption;
    std::vector<std::string_view> items = {};
    std::string_view toolTip = {};
};

constexpr std::string_view kChkCtl = "chkCtl";
constexpr std::string_view kCboCtl = "cboCtl";

// One row per tagged control, as the window's Tags name them.
// clang-format off
std::vector<Row> fixedRows() {
    using enum Page;
    return {
        {"&H40,0,1,chk", {kChkCtl, 30}, FreqCodes, "ON", {}, "Enable or disable the 1st Capcode( address )"},
        {"&H44,0,1,chk", {kChkCtl, 31}, FreqCodes, "ON", {}, "Enable or disable the 2nd Capcode( address )"},
        {"&H48,0,1,chk", {kChkCtl, 32}, FreqCodes, "ON", {}, "Enable or disable the 3rd Capcode( address )"},
        {"&H4C,0,1,chk", {kChkCtl, 33}, FreqCodes, "ON", {}, "Enable or disable the 4th Capcode( address )"},
        {"&H50,0,1,chk", {kChkCtl, 34}, FreqCodes, "ON", {}, "Enable or disable the 5th Capcode( address )"},
        {"&H54,0,1,chk", {kChkCtl, 35}, FreqCodes, "ON", {}, "Enable or disable the 6th Capcode( address )"},
        {"&H58,0,1,chk", {kChkCtl, 36}, FreqCodes, "ON"},
        {"&H5C,0,1,chk", {kChkCtl, 37}, FreqCodes, "ON"},
        {"&H61,3,2,cboBaud", {kCboCtl, 9}, FreqCodes, "POCSAG Signal Baud Rate", {"512 bps", "1200 bps", "2400 bps"}},
        {"&H457,6,1,cbo", {kCboCtl, 0}, FreqCodes, "Bandwidth", {"WB", "NB"}},
        {"&H31,3,1,chkN", {kChkCtl, 29}, AlertsStatus, "Ext. Charger's Beeper"},
        {"&H36,0,1,chkN", {kChkCtl, 4}, AlertsStatus, "Frequency Modification Enable"},
        {"&H36,1,1,chk", {kChkCtl, 5}, AlertsStatus, "Password Required Enable"},
        {"&H36,2,1,chk", {kChkCtl, 7}, AlertsStatus, "Password Modification Enable"},
        {"&H36,3,1,chk", {kChkCtl, 8}, AlertsStatus, "Beep And Vibration"},
        {"&H36,5,1,chk", {kChkCtl, 18}, AlertsStatus, "Discard Error Msg"},
        {"&H36,6,1,chk", {kChkCtl, 19}, AlertsStatus, "Air Program Enable"},
        {"&H36,7,1,chk", {kChkCtl, 17}, AlertsStatus, "Push Key Lamp On Enable"},
        {"&H39,0,2,cbo", {kCboCtl, 2}, AlertsStatus, "Lamp Time", {"8 sec", "12 sec", "20 sec", "30 sec"}},
        {"&H39,3,1,chkN", {kChkCtl, 54}, AlertsStatus, "Duplicate Msg Detect"},
        {"&H39,4,1,chkN", {kChkCtl, 2}, AlertsStatus, "Counter Out Enable"},
        {"&H39,5,1,chk", {kChkCtl, 20}, AlertsStatus, "Direct Show Lamp On"},
        {"&H39,6,1,chk", {kChkCtl, 6}, AlertsStatus, "Lowcell Alert ON", {},
         "The pager emits an alert when it enters a low-battery contion."},
        {"&H39,7,1,chk", {kChkCtl, 0}, AlertsStatus, "Disp Source Addr ON"},
        {"&H3B,2,1,chk", {kChkCtl, 1}, AlertsStatus, "Long Message Control Enable", {},
         "Enable : 2000words   Disable:300 words"},
        {"&H3B,3,1,cbo", {kCboCtl, 6}, AlertsStatus, "Date Format", {"dd-mm-yy", "mm-dd-yy"}},
        {"&H3B,4,1,cbo", {kCboCtl, 3}, AlertsStatus, "Message Display", {"Page Count", "Direct"}},
        {"&H3C,6,2,cbo", {kCboCtl, 4}, AlertsStatus, "Auto Off Time",
         {"Disable", "2 minutes", "10 minutes", "60 minutes"}},
        {"&H3D,4,1,chkN", {kChkCtl, 16}, AlertsStatus, "Manual Write Enable"},
        {"&H3D,6,1,chk", {kChkCtl, 21}, AlertsStatus, "RD Key Pager Off"},
        {"&H3D,7,1,chk", {kChkCtl, 3}, AlertsStatus, "RD Key Delete Enable"},
        {"&H3F,0,4,Lng", {"cboLogo"}, AlertsStatus, "Logo Font",
         {"English(Large)", "English(Small)", "Spainish", "French", "German", "Danish", "Swedish"}},
        {"&H61,2,1,cbo", {kCboCtl, 5}, AlertsStatus, "Display", {"Normal", "Invert"}},
        {"&H7F,0,8,chkN", {kChkCtl, 15}, AlertsStatus, "History Disable"},
        {"&H7E0,0,8,chkN", {kChkCtl, 11}, AlertsStatus, "Lock/Unlock Disable"},
        {"&H7E1,0,8,chkN", {kChkCtl, 12}, AlertsStatus, "Delete Disable"},
        {"&H7E2,0,8,chkN", {kChkCtl, 13}, AlertsStatus, "Del. All Disable"},
        {"&H7E3,0,8,chkN", {kChkCtl, 14}, AlertsStatus, "Move To Memo Disable"},
    };
}
// clang-format on

std::string hexAddress(int address) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[address % 16]);
        address /= 16;
    } while (address > 0);
    return "&H" + digits;
}

// "Ext. Charger's Beeper" -> "ext-chargers-beeper".
std::string keyFromCaption(std::string_view caption) {
    std::string key;
    for (const char c : caption) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (c != '\'' && !key.empty() && key.back() != '-') {
            key += '-';
        }
    }
    while (!key.empty() && key.back() == '-')
        key.pop_back();
    return key;
}

std::string keyOf(ControlId control, std::string_view caption) {
    if (control.name == kChkCtl && control.index >= 30 && control.index <= 37) {
        return "capcode" + std::to_string(control.index - 29) + ".on";
    }
    if (control == ControlId{kCboCtl, 9}) return "baud";
    if (control.name == "cboLogo") return "logo";
    if (control.name == "chkSource") return "source" + std::to_string(control.index);
    return keyFromCaption(caption);
}

BoundField bind(std::string tag, ControlId control, Page page, std::string_view caption,
                std::vector<std::string_view> items, std::string_view toolTip) {
    const auto field = parseFieldTag(tag);
    if (!field || !field->isBitField()) throw std::logic_error("bad tag " + tag);
    return BoundField{keyOf(control, caption), std::move(tag), *field, control, page, caption,
                      std::move(items),        toolTip};
}

std::vector<BoundField> buildBoundFields() {
    std::vector<BoundField> fields;
    for (auto& row : fixedRows()) {
        fields.push_back(bind(std::string(row.tag), row.control, row.page, row.caption,
                              std::move(row.items), row.toolTip));
    }
    for (int n = kFirstSourcePrompt; n <= kLastSourcePrompt; ++n) {
        const std::string tag =
            hexAddress(kSourceEnableAddress + n - kFirstSourcePrompt) + ",0,8,chkSource";
        fields.push_back(bind(tag, {"chkSource", n}, Page::SourcePrompts, "", {}, ""));
    }
    return fields;
}

constexpr std::array<std::string_view, 30> kGeneralPromptLabels = {
    "NO PAGES",         "ESCAPE",         "MESSAGE LOCK", "MESSAGE UNLOCK", "DELETE",
    "DELETE ALL",       "MOVE TO MEMO",   "SET SCROLL",   "SET TIME",       "SET ALARM",
    "SET ALERT",        "PAGER OFF",      "TONE ONLY",    "SLEEP",          "SILENT",
    "PAGER OFF ?",      "DELETE?",        "DELETE ALL ?", "TIME SET",       "ALARM SET",
    "SCROLL SET",       "AUTO SLEEP SET", "START END",    "MESSAGE AREA",   "MAIL DROP AREA",
    "SILENT THEN BEEP", "ZOOM IN",        "ZOOM OUT",     "CHIRP ON",       "CHIRP OFF"};

PromptBox makePromptBox(int index, std::string tag, std::string label, Page page) {
    const auto field = parseFieldTag(tag);
    if (!field || field->isBitField()) throw std::logic_error("bad prompt tag " + tag);
    return PromptBox{index, std::move(tag), field->address, std::move(label), page};
}

std::vector<PromptBox> buildPromptBoxes() {
    std::vector<PromptBox> boxes;
    boxes.push_back(makePromptBox(0, "&H100,1", "Power Up Logo", Page::AlertsStatus));
    for (int n = 1; n <= 30; ++n) {
        // Four of the general prompts stand on the Alerts page beside the options they name.
        const bool onAlerts = n == 24 || n == 25 || n == 29 || n == 30;
        boxes.push_back(makePromptBox(n, std::to_string(276 + 20 * (n - 1)) + ",0",
                                      std::string(kGeneralPromptLabels[n - 1]),
                                      onAlerts ? Page::AlertsStatus : Page::PromptsEdit));
    }
    boxes.push_back(makePromptBox(31, "&H3B8,0", "SET HISTORY", Page::PromptsEdit));
    boxes.push_back(makePromptBox(32, "&H3CC,0", "HISTORY SET", Page::PromptsEdit));
    for (int n = kFirstSourcePrompt; n <= kLastSourcePrompt; ++n) {
        const int capcode = 1 + (n - kFirstSourcePrompt) / 4;
        const char bit = static_cast<char>('A' + (n - kFirstSourcePrompt) % 4);
        boxes.push_back(makePromptBox(n, hexAddress(0x540 + 20 * (n - kFirstSourcePrompt)) + ",0",
                                      "Cap#" + std::to_string(capcode) + " Fun.Bit " + bit,
                                      Page::SourcePrompts));
    }
    boxes.push_back(makePromptBox(65, "&HA0,0", "FLASH ONLY", Page::PromptsEdit));
    boxes.push_back(makePromptBox(68, "&H428,0", "CHARGING", Page::PromptsEdit));
    return boxes;
}

}  // namespace

std::span<const BoundField> boundFields() {
    static const std::vector<BoundField> fields = buildBoundFields();
    return fields;
}

const BoundField& boundField(ControlId control) {
    for (const auto& field : boundFields()) {
        if (field.control == control) return field;
    }
    throw std::out_of_range("no bound control " + control.text());
}

std::span<const PromptBox> promptBoxes() {
    static const std::vector<PromptBox> boxes = buildPromptBoxes();
    return boxes;
}

const PromptBox& promptBox(int index) {
    const auto boxes = promptBoxes();
    const auto it =
        std::find_if(boxes.begin(), boxes.end(), [&](const auto& b) { return b.index == index; });
    if (it == boxes.end()) throw std::out_of_range("no prompt box " + std::to_string(index));
    return *it;
}

}  // namespace kxp40s
