#include "editors/capcodes.h"

#include <stdexcept>
#include <string>

#include "image/message.h"
#include "image/pager_map.h"

namespace kxp40s {

namespace {

constexpr int kPasswordDigits = 4;

constexpr const char* kCapcodeNotNumeric = "Please insert a numeric!";
constexpr const char* kCapcodeOutOfRange = "Please insert a number between 0000007 to 2097151";
constexpr const char* kPasswordNotNumeric = "Please insert a decimal numeric!";

void checkSlot(int slot) {
    if (slot < 0 || slot >= kCapcodeSlots) throw std::out_of_range("no such capcode slot");
}

void checkBit(int bit) {
    if (bit < 0 || bit >= kFunctionBits) throw std::out_of_range("no such function bit");
}

void checkListIndex(int listIndex, std::size_t items) {
    if (listIndex < 0 || listIndex >= static_cast<int>(items))
        throw std::out_of_range("no such list item");
}

ControlId capcodeBox(int index) {
    return {"txtAddr", index};
}

int priorityAddress(int slot) {
    return pager::kPriorityBits + slot / 2;
}
int priorityBit(int slot, int bit) {
    return (slot % 2) * 4 + bit;
}

std::string zeroPadded(std::int32_t value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
    return text;
}

std::string hexDigits(unsigned value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kHex[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

// Four summary characters of slot `slot`, one per function bit.
template <class CharOf>
std::string summaryOf(int slot, CharOf charOf) {
    std::string text;
    for (int bit = 0; bit < kFunctionBits; ++bit)
        text += charOf(slot, bit);
    return text;
}

std::string typeChars(std::uint8_t messageType) {
    if (messageType == 0) return "P";
    if (messageType == kGroupCode) return "G";
    return hexDigits(messageType);
}

void refuseCapcode(Session& s, int index, const char* text) {
    s.refuse(warning(text), capcodeBox(index));
    read_capcode(s);
}

void refusePassword(Session& s, const char* text) {
    s.refuse(warning(text), {"txtPass"});
    read_pass(s);
}

void enterMovesFocusOn(Session& s, int keyAscii) {
    if (keyAscii == kEnterKey) s.focusOn({"picTabBack"});
}

}  // namespace

std::optional<DecimalText> parseDecimalText(std::string_view text) {
    DecimalText entry;
    if (text.starts_with('-')) {
        entry.negative = true;
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    constexpr std::int64_t kSaturated = std::int64_t{1} << 40;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (entry.magnitude < kSaturated) entry.magnitude = entry.magnitude * 10 + (c - '0');
    }
    return entry;
}

std::int32_t capcodeOf(const Image& image, int slot) {
    checkSlot(slot);
    const int a = pager::kCapcodeTable.address + 4 * slot;
    const std::int32_t b1 = image.at(a + 1);
    const std::int32_t address = (b1 & 3) << 16 | image.at(a + 2) << 8 | image.at(a + 3);
    return address << 3 | ((b1 >> 2) & 7);
}

void storeCapcode(Image& image, int slot, std::int32_t capcode) {
    checkSlot(slot);
    if (capcode < 0 || capcode > kCapcodeMax) throw std::out_of_range("capcode above 21 bits");
    const int a = pager::kCapcodeTable.address + 4 * slot;
    const int frame = capcode & 7;
    image.set(a + 1,
              static_cast<std::uint8_t>((image.at(a + 1) & 0xE0) | capcode >> 19 | frame << 2));
    image.set(a + 2, static_cast<std::uint8_t>((capcode >> 11) & 0xFF));
    image.set(a + 3, static_cast<std::uint8_t>((capcode >> 3) & 0xFF));
}

int displayTypeAddress(int slot, int bit) {
    checkSlot(slot);
    checkBit(bit);
    return pager::kDisplayTypeTable + 4 * slot + bit;
}

int messageTypeAddress(int slot, int bit) {
    checkSlot(slot);
    checkBit(bit);
    return pager::kMessageTypeTable + 4 * slot + bit;
}

std::uint8_t priorityOf(const Image& image, int slot, int bit) {
    checkSlot(slot);
    checkBit(bit);
    return GetField(image, priorityAddress(slot), priorityBit(slot, bit), 1);
}

std::optional<int> displayTypeIndex(const Image& image, int slot, int bit) {
    const int value = image.at(displayTypeAddress(slot, bit));
    if (value >= static_cast<int>(kDisplayTypeItems.size())) return std::nullopt;
    return value;
}

std::optional<int> messageTypeIndex(const Image& image, int slot, int bit) {
    const int value = image.at(messageTypeAddress(slot, bit));
    if (value == kGroupCode) return kGroupItem;
    if (value >= kGroupItem) return std::nullopt;
    return value;
}

void read_capcode(Session& s) {
    runLoader(s, 2, [&] {
        for (int slot = 0; slot < kCapcodeSlots; ++slot)
            s.controls.setText(capcodeBox(slot),
                               zeroPadded(capcodeOf(s.ConfigImage, slot), kCapcodeMaxLength));
    });
}

char DispChar(std::uint8_t displayType) {
    static constexpr char kChars[] = "NPAIT";
    return displayType < 5 ? kChars[displayType] : '-';
}

char PriChar(std::uint8_t priority) {
    return priority == 1 ? 'v' : '-';
}

void read_Disp(Session& s) {
    runLoader(s, 6, [&] {
        for (int slot = 0; slot < kCapcodeSlots; ++slot)
            s.controls.setText({"tlblDisp", slot}, summaryOf(slot, [&](int sl, int bit) {
                                   return std::string(
                                       1, DispChar(s.ConfigImage.at(displayTypeAddress(sl, bit))));
                               }));
    });
}

void read_Type(Session& s) {
    runLoader(s, 7, [&] {
        for (int slot = 0; slot < kCapcodeSlots; ++slot)
            s.controls.setText({"tlblType", slot}, summaryOf(slot, [&](int sl, int bit) {
                                   return typeChars(s.ConfigImage.at(messageTypeAddress(sl, bit)));
                               }));
    });
}

void read_Pri(Session& s) {
    runLoader(s, 8, [&] {
        for (int slot = 0; slot < kCapcodeSlots; ++slot)
            s.controls.setText({"tlblPri", slot}, summaryOf(slot, [&](int sl, int bit) {
                                   return std::string(1,
                                                      PriChar(priorityOf(s.ConfigImage, sl, bit)));
                               }));
    });
}

Effects txtAddr_GotFocus(Session& s, int index) {
    Operation op(s);
    checkSlot(index);
    s.controls.setText(capcodeBox(index), "");
    return op.done();
}

Effects txtAddr_KeyPress(Session& s, int index, int keyAscii) {
    Operation op(s);
    checkSlot(index);
    enterMovesFocusOn(s, keyAscii);
    return op.done();
}

Effects txtAddr_KeyUp(Session& s, int index, std::string_view text) {
    Operation op(s);
    checkSlot(index);
    s.controls.setText(capcodeBox(index), std::string(text));
    if (text.empty()) return op.done();
    const auto entry = parseDecimalText(text);
    if (!entry) {
        refuseCapcode(s, index, kCapcodeNotNumeric);
    } else if (entry->negative || entry->magnitude > kCapcodeMax) {
        refuseCapcode(s, index, kCapcodeOutOfRange);
    } else {
        // The box keeps the text as typed; leaving it shows the stored form.
        storeCapcode(s.ConfigImage, index, static_cast<std::int32_t>(entry->magnitude));
    }
    return op.done();
}

Effects txtAddr_LostFocus(Session& s, int index) {
    Operation op(s);
    checkSlot(index);
    read_capcode(s);
    return op.done();
}

// The stored capcode is counted up, not the box's text: a box that was
// just emptied by the focus would otherwise count up from 0.
Effects increaseCapcode(Session& s, int index) {
    Operation op(s);
    if (index != 0 && index != 1) throw std::out_of_range("only capcodes 1 and 2 count up");
    const std::int32_t capcode = capcodeOf(s.ConfigImage, index);
    if (capcode >= kCapcodeMax) {
        s.say(warning("Capcode " + std::to_string(index + 1) + " > 2097151 so can not be increase!",
                      kShortTitle));
        s.pending.refused = true;
        return op.done();
    }
    enterCapcode(s, index, capcode + 1);
    return op.done();
}

Effects enterCapcode(Session& s, int index, std::int32_t capcode) {
    Operation op(s);
    txtAddr_KeyUp(s, index, std::to_string(capcode));
    read_capcode(s);
    return op.done();
}

Effects cmdFunc_Click(Session& s, int index) {
    Operation op(s);
    checkSlot(index);
    s.CapSlot = index;
    Form5_Load(s);
    return op.done();
}

Effects Form5_Load(Session& s) {
    Operation op(s);
    const int slot = s.CapSlot;
    checkSlot(slot);
    s.controls.setText({"lblCapSlot"}, "#" + std::to_string(slot + 1));
    s.Form5Loading = true;
    for (int bit = 0; bit < kFunctionBits; ++bit) {
        s.controls.setValue({"cboDisp", bit},
                            displayTypeIndex(s.ConfigImage, slot, bit).value_or(-1));
        s.controls.setValue({"cboType", bit},
                            messageTypeIndex(s.ConfigImage, slot, bit).value_or(-1));
        chkPri_Click(s, bit, priorityOf(s.ConfigImage, slot, bit));
    }
    s.Form5Loading = false;
    return op.done();
}

Effects cboDisp_Click(Session& s, int bit, int listIndex) {
    Operation op(s);
    const int address = displayTypeAddress(s.CapSlot, bit);
    checkListIndex(listIndex, kDisplayTypeItems.size());
    s.controls.setValue({"cboDisp", bit}, listIndex);
    if (s.Form5Loading) return op.done();
    s.ConfigImage.set(address, static_cast<std::uint8_t>(listIndex));
    read_Disp(s);
    return op.done();
}

Effects cboType_Click(Session& s, int bit, int listIndex) {
    Operation op(s);
    const int address = messageTypeAddress(s.CapSlot, bit);
    checkListIndex(listIndex, kMessageTypeItems.size());
    s.controls.setValue({"cboType", bit}, listIndex);
    if (s.Form5Loading) return op.done();
    s.ConfigImage.set(address,
                      listIndex == kGroupItem ? kGroupCode : static_cast<std::uint8_t>(listIndex));
    read_Type(s);
    return op.done();
}

// Not guarded by the loading flag: while the dialog loads it stores the
// value it was just given.
Effects chkPri_Click(Session& s, int bit, int value) {
    Operation op(s);
    const int slot = s.CapSlot;
    checkSlot(slot);
    checkBit(bit);
    if (value != 0 && value != 1) throw std::out_of_range("a check box is 0 or 1");
    s.controls.setValue({"chkPri", bit}, value);
    SetField(s.ConfigImage, priorityAddress(slot), priorityBit(slot, bit), value, 1);
    read_Pri(s);
    return op.done();
}

Effects optAuto1_Click(Session& s, int value) {
    Operation op(s);
    s.controls.setValue({"optAuto1"}, value);
    s.AutoIncCap1 = value == 1;
    return op.done();
}

Effects optAuto2_Click(Session& s, int value) {
    Operation op(s);
    s.controls.setValue({"optAuto2"}, value);
    s.AutoIncCap2 = value == 1;
    return op.done();
}

void read_pass(Session& s) {
    runLoader(s, 9, [&] {
        std::string text;
        for (int digit = kPasswordDigits - 1; digit >= 0; --digit)
            text += std::to_string(s.ConfigImage.at(pager::kPassword.address + digit));
        s.controls.setText({"txtPass"}, text);
    });
}

Effects txtPass_GotFocus(Session& s) {
    Operation op(s);
    s.controls.setText({"txtPass"}, "");
    return op.done();
}

Effects txtPass_KeyPress(Session& s, int keyAscii) {
    Operation op(s);
    enterMovesFocusOn(s, keyAscii);
    return op.done();
}

Effects txtPass_KeyUp(Session& s, std::string_view text) {
    Operation op(s);
    s.controls.setText({"txtPass"}, std::string(text));
    if (text.empty()) return op.done();
    const auto entry = parseDecimalText(text);
    if (!entry) {
        refusePassword(s, kPasswordNotNumeric);
    } else if (text.size() > kPasswordDigits || entry->negative ||
               entry->magnitude > kPasswordRange.max) {
        refusePassword(s, kPasswordOutOfRange);
    } else {
        // One decimal digit per byte, last digit at &H3B0; a short entry has leading zeros.
        auto value = entry->magnitude;
        for (int digit = 0; digit < kPasswordDigits; ++digit, value /= 10)
            s.ConfigImage.set(pager::kPassword.address + digit,
                              static_cast<std::uint8_t>(value % 10));
    }
    return op.done();
}

Effects txtPass_LostFocus(Session& s) {
    Operation op(s);
    read_pass(s);
    return op.done();
}

}  // namespace kxp40s
