#include "editors/settings_report.h"

#include <cstdio>

#include "image/binding.h"
#include "image/prompt_record.h"
#include "image/text.h"

namespace kxp40s {

namespace {

std::string addressText(int address) {
    char text[16];
    std::snprintf(text, sizeof text, "&H%03X", address);
    return text;
}

Setting describeField(const Image& image, const BoundField& field) {
    Setting s{
        field.key, std::string(field.caption), field.control.text(), field.tag, field.page, {}, 0,
        false};
    if (s.caption.empty()) s.caption = "Enable " + promptBox(field.control.index()).label;
    const FieldTag& f = field.field;
    s.stored = GetField(image, f.address, f.firstBit, f.bitCount);
    if (field.isList()) {
        if (const auto index = listIndexOf(image, field))
            s.value = std::string(field.items[*index]);
    } else {
        s.value = std::to_string(checkValueOf(image, field));
    }
    return s;
}

Setting describePrompt(const Image& image, const PromptBox& box) {
    return Setting{"prompt" + std::to_string(box.index),
                   box.label,
                   ControlId{"txtPrompt", box.index}.text(),
                   addressText(box.address),
                   box.page,
                   windows1252ToUtf8(shownPromptText(image, box.address)),
                   0,
                   true};
}

}  // namespace

std::vector<Setting> describeSettings(const Image& image) {
    std::vector<Setting> settings;
    for (const auto& field : boundFields())
        settings.push_back(describeField(image, field));
    for (const auto& box : promptBoxes())
        settings.push_back(describePrompt(image, box));
    return settings;
}

std::string identityText(const Image& image) {
    std::string text;
    for (const auto byte : image.read(993, 14))
        text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
    return text;
}

}  // namespace kxp40s
