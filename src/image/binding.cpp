#include "image/binding.h"

#include <array>
#include <stdexcept>

namespace kxp40s {

namespace {

constexpr std::array<int, 7> kLogoCodes = {0, 2, 5, 6, 8, 11, 15};

// "Push Key Lamp On Enable" shows the two RD key options and marks the first
// character of the "CHIRP OFF" prompt, which the pager reads as the lamp flag.
constexpr int kPushKeyLampBox = 17;
constexpr int kChirpOffFirstChar = 0x35A;
constexpr int kMessageDisplayList = 3;
constexpr int kDirectShowLampBox = 20;

int storedCheckValue(const BoundField& field, int value) {
    return *field.field.kind == FieldKind::chkN ? (value == 1 ? 0 : 1) : value;
}

void storeField(Image& image, const BoundField& field, int value) {
    SetField(image, field.field.address, field.field.firstBit, value, field.field.bitCount);
}

void showRdKeyOptions(Controls& controls, bool pushKeyLampOn) {
    controls.setVisible({"chkCtl", 3}, pushKeyLampOn);
    controls.setVisible({"chkCtl", 21}, pushKeyLampOn);
}

void showDirectShowLamp(Controls& controls, int messageDisplayIndex) {
    controls.setVisible({"chkCtl", kDirectShowLampBox}, messageDisplayIndex != 0);
}

void enableSourcePrompt(Controls& controls, int index, bool enabled) {
    controls.setEnabled({"txtPrompt", index}, enabled);
}

}  // namespace

int checkValueOf(const Image& image, const BoundField& field) {
    const FieldTag& f = field.field;
    const int stored = GetField(image, f.address, f.firstBit, f.bitCount);
    switch (*f.kind) {
        case FieldKind::chkN:
            return stored == 0 ? 1 : 0;
        case FieldKind::chkSource:
            return stored == 1 ? 1 : 0;
        default:
            return stored;
    }
}

std::optional<int> logoIndexOfCode(int code) {
    if (code == 1) return 0;
    for (std::size_t i = 0; i < kLogoCodes.size(); ++i) {
        if (kLogoCodes[i] == code) return static_cast<int>(i);
    }
    return std::nullopt;
}

int logoCodeOfIndex(int index) {
    return kLogoCodes.at(static_cast<std::size_t>(index));
}

std::optional<int> listIndexOf(const Image& image, const BoundField& field) {
    const FieldTag& f = field.field;
    const int stored = GetField(image, f.address, f.firstBit, f.bitCount);
    if (*f.kind == FieldKind::Lng) return logoIndexOfCode(stored);
    if (stored >= static_cast<int>(field.items.size())) return std::nullopt;
    return stored;
}

void applyBaudSettings(Image& image, int listIndex) {
    struct Dependents {
        int rateBits, clockByte, filterBits;
    };
    static constexpr std::array<Dependents, 3> kByBaud = {
        {{1, 0x01, 0}, {2, 0x41, 2}, {3, 0xF3, 1}}};
    if (listIndex < 0 || listIndex > 2) return;
    const Dependents& d = kByBaud[static_cast<std::size_t>(listIndex)];
    SetField(image, 0x61, 0, d.rateBits, 2);
    SetField(image, 0x62, 0, d.clockByte, 8);
    SetField(image, 0x63, 6, d.filterBits, 2);
}

void storeCheckBox(Image& image, Controls& controls, int index, int value) {
    const BoundField& field = boundField({"chkCtl", index});
    storeField(image, field, storedCheckValue(field, value));
    controls.setValue(field.control, value);
    if (index == kPushKeyLampBox) {
        showRdKeyOptions(controls, value == 1);
        image.set(kChirpOffFirstChar, value == 1 ? 16 : 32);
    }
}

void storeList(Image& image, Controls& controls, int index, int listIndex) {
    const BoundField& field = boundField({"cboCtl", index});
    if (listIndex < 0 || listIndex >= static_cast<int>(field.items.size())) {
        throw std::out_of_range("no such item in " + field.control.text());
    }
    storeField(image, field, listIndex);
    controls.setValue(field.control, listIndex);
    if (*field.field.kind == FieldKind::cboBaud) applyBaudSettings(image, listIndex);
    if (index == kMessageDisplayList) showDirectShowLamp(controls, listIndex);
}

void storeSourceEnable(Image& image, Controls& controls, int index, int value) {
    const BoundField& field = boundField({"chkSource", index});
    storeField(image, field, value == 1 ? 1 : 0);
    controls.setValue(field.control, value);
    enableSourcePrompt(controls, index, value == 1);
}

int loadTaggedControls(Image& image, Controls& controls) {
    int errorCode = 0;
    for (const BoundField& field : boundFields()) {
        switch (*field.field.kind) {
            case FieldKind::chk:
            case FieldKind::chkN:
                controls.setValue(field.control, checkValueOf(image, field));
                break;
            case FieldKind::chkSource: {
                const int value = checkValueOf(image, field);
                controls.setValue(field.control, value);
                enableSourcePrompt(controls, field.control.index(), value != 0);
                break;
            }
            case FieldKind::cbo:
            case FieldKind::cboBaud: {
                const auto index = listIndexOf(image, field);
                controls.setValue(field.control, index.value_or(-1));
                if (!index) {
                    errorCode = 1;
                    break;
                }
                if (*field.field.kind == FieldKind::cboBaud) applyBaudSettings(image, *index);
                if (field.control == ControlId{"cboCtl", kMessageDisplayList}) {
                    showDirectShowLamp(controls, *index);
                }
                break;
            }
            case FieldKind::Lng:
                break;  // the logo list has its own loader
        }
    }
    showRdKeyOptions(controls, controls[{"chkCtl", kPushKeyLampBox}].value == 1);
    return errorCode;
}

}  // namespace kxp40s
