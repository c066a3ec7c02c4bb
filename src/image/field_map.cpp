#include "image/field_map.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <stdexcept>

#include "image/control_catalogue.h"
#include "image/pager_map.h"

namespace kxp40s {

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

// A tagged control: its Tag and, where it is not made from the caption, its
// key in the command-line tool.
struct Row {
    std::string_view tag;
    ControlId control;
    std::string_view key = {};
};

// One row per tagged control, as the window's Tags name them, in the order
// the window loads them.
std::vector<Row> fixedRows() {
    return {
        {"&H40,0,1,chk", {"chkCtl", 30}},
        {"&H44,0,1,chk", {"chkCtl", 31}},
        {"&H48,0,1,chk", {"chkCtl", 32}},
        {"&H4C,0,1,chk", {"chkCtl", 33}},
        {"&H50,0,1,chk", {"chkCtl", 34}},
        {"&H54,0,1,chk", {"chkCtl", 35}},
        {"&H58,0,1,chk", {"chkCtl", 36}},
        {"&H5C,0,1,chk", {"chkCtl", 37}},
        {"&H61,3,2,cboBaud", {"cboCtl", 9}, "baud"},
        {"&H457,6,1,cbo", {"cboCtl", 0}},
        {"&H31,3,1,chkN", {"chkCtl", 29}},
        {"&H36,0,1,chkN", {"chkCtl", 4}},
        {"&H36,1,1,chk", {"chkCtl", 5}},
        {"&H36,2,1,chk", {"chkCtl", 7}},
        {"&H36,3,1,chk", {"chkCtl", 8}},
        {"&H36,5,1,chk", {"chkCtl", 18}},
        {"&H36,6,1,chk", {"chkCtl", 19}},
        {"&H36,7,1,chk", {"chkCtl", 17}},
        {"&H39,0,2,cbo", {"cboCtl", 2}},
        {"&H39,3,1,chkN", {"chkCtl", 54}},
        {"&H39,4,1,chkN", {"chkCtl", 2}},
        {"&H39,5,1,chk", {"chkCtl", 20}},
        {"&H39,6,1,chk", {"chkCtl", 6}},
        {"&H39,7,1,chk", {"chkCtl", 0}},
        {"&H3B,2,1,chk", {"chkCtl", 1}},
        {"&H3B,3,1,cbo", {"cboCtl", 6}},
        {"&H3B,4,1,cbo", {"cboCtl", 3}},
        // The key keeps the name settings texts already use for this list.
        {"&H3C,6,2,cbo", {"cboCtl", 4}, "auto-off-time"},
        {"&H3D,4,1,chkN", {"chkCtl", 16}},
        {"&H3D,6,1,chk", {"chkCtl", 21}},
        {"&H3D,7,1,chk", {"chkCtl", 3}},
        {"&H3F,0,4,Lng", {"cboLogo"}, "logo"},
        {"&H61,2,1,cbo", {"cboCtl", 5}},
        {"&H7F,0,8,chkN", {"chkCtl", 15}},
        {"&H7E0,0,8,chkN", {"chkCtl", 11}},
        {"&H7E1,0,8,chkN", {"chkCtl", 12}},
        {"&H7E2,0,8,chkN", {"chkCtl", 13}},
        {"&H7E3,0,8,chkN", {"chkCtl", 14}},
    };
}

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
    if (control.name() == "chkCtl" && control.index() >= 30 && control.index() <= 37) {
        return "capcode" + std::to_string(control.index() - 29) + ".on";
    }
    if (control.name() == "chkSource") return "source" + std::to_string(control.index());
    return keyFromCaption(caption);
}

// The texts and the page come from the control's row of the catalogue.
BoundField bind(std::string tag, ControlId control, std::string_view key) {
    const auto field = parseFieldTag(tag);
    if (!field || !field->isBitField()) throw std::logic_error("bad tag " + tag);
    const ControlInfo& info = controlInfo(control);
    return BoundField{key.empty() ? keyOf(control, info.caption) : std::string(key),
                      std::move(tag),
                      *field,
                      control,
                      info.page.value_or(Page::FreqCodes),
                      info.caption,
                      {info.items.begin(), info.items.end()},
                      info.toolTip};
}

std::vector<BoundField> buildBoundFields() {
    std::vector<BoundField> fields;
    for (const auto& row : fixedRows())
        fields.push_back(bind(std::string(row.tag), row.control, row.key));
    for (int n = kFirstSourcePrompt; n <= kLastSourcePrompt; ++n) {
        const std::string tag =
            hexAddress(pager::kSourceEnable + n - kFirstSourcePrompt) + ",0,8,chkSource";
        fields.push_back(bind(tag, {"chkSource", n}, {}));
    }
    return fields;
}

// The label beside the box: the power-on prompt's own, `lblPrompt` for the others.
PromptBox makePromptBox(int index, std::string tag) {
    const auto field = parseFieldTag(tag);
    if (!field || field->isBitField()) throw std::logic_error("bad prompt tag " + tag);
    const ControlInfo& box = controlInfo({"txtPrompt", index});
    const ControlInfo& label = index == 0 ? box : controlInfo({"lblPrompt", index});
    return PromptBox{index, std::move(tag), field->address, label.caption,
                     box.page.value_or(Page::PromptsEdit)};
}

std::vector<PromptBox> buildPromptBoxes() {
    std::vector<PromptBox> boxes;
    boxes.push_back(makePromptBox(0, "&H100,1"));
    for (int n = 1; n <= 30; ++n)
        boxes.push_back(makePromptBox(n, std::to_string(276 + 20 * (n - 1)) + ",0"));
    boxes.push_back(makePromptBox(31, "&H3B8,0"));
    boxes.push_back(makePromptBox(32, "&H3CC,0"));
    for (int n = kFirstSourcePrompt; n <= kLastSourcePrompt; ++n)
        boxes.push_back(makePromptBox(n, hexAddress(0x540 + 20 * (n - kFirstSourcePrompt)) + ",0"));
    boxes.push_back(makePromptBox(65, "&HA0,0"));
    boxes.push_back(makePromptBox(68, "&H428,0"));
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
