#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/control_catalogue.h"

namespace kxp40s {

// How a bound control shows and stores its field.
enum class FieldKind {
    chk,        // check box: the field is the box's value
    chkN,       // inverted check box: a field of 0 shows checked
    chkSource,  // source-prompt enable: checked when the byte is 1; enables the prompt box
    cbo,        // list: the field is the list index
    cboBaud,    // the baud list: list index, then three dependent settings
    Lng,        // the logo list: its own mapping of codes to items
};

// A control's Tag: either a bit field ("&H5C,0,1,chk") or a prompt record
// ("&H540,0"). Addresses are "&H" hexadecimal or plain decimal.
struct FieldTag {
    int address = 0;
    int firstBit = 0;
    int bitCount = 0;
    std::optional<FieldKind> kind;  // none for a prompt tag
    int flag = 0;                   // prompt tags: 1 on the power-on prompt

    bool isBitField() const { return kind.has_value(); }
};

// Nullopt when the text is not a bound tag: fewer than two fields, an address
// that is not a number, an unknown kind. Fields past the fourth (bit field) or
// second (prompt) are ignored, so a Tag that carries layout data still parses.
std::optional<FieldTag> parseFieldTag(std::string_view tag);

// A tagged control and the field it shows; the page and texts are the
// control's in the catalogue.
struct BoundField {
    std::string key;  // the setting's name in the command-line tool ("baud", "capcode1.on")
    std::string tag;
    FieldTag field;
    ControlId control;
    Page page;
    std::string_view caption;
    std::vector<std::string_view> items;  // list items, index 0 first; empty for check boxes
    std::string_view toolTip;

    bool isList() const { return !items.empty(); }
};

// Every tagged check box and list of the window, in the order the window
// loads them: the capcode enables, the options of the Alerts page, the
// source-prompt enables.
std::span<const BoundField> boundFields();
const BoundField& boundField(ControlId control);  // throws std::out_of_range

// The prompt text boxes: `txtPrompt`(0 ... 65, 68), each over a 20-byte
// record, with the label beside it (`lblPrompt`; the power-on prompt's own).
struct PromptBox {
    int index;
    std::string tag;
    int address;
    std::string label;
    Page page;
};

std::span<const PromptBox> promptBoxes();
const PromptBox& promptBox(int index);  // throws std::out_of_range for 66, 67 and others

}  // namespace kxp40s
