#include "editors/settings_report.h"

#include "editors/quoted_text.h"

namespace kxp40s {

namespace {

std::string printedValue(const Session& s, const SettingDef& def,
                         const std::optional<std::string>& value) {
    if (!value) return "(" + noItemReason(s, def) + ")";
    return def.quoted ? quoteText(*value) : *value;
}

}  // namespace

std::vector<ShownSetting> describeSettings(const Session& s) {
    std::vector<ShownSetting> settings;
    for (const SettingDef& def : settingDefs()) {
        if (!def.show) continue;
        auto value = def.show(s);
        std::string text = printedValue(s, def, value);
        settings.push_back({&def, std::move(value), std::move(text)});
    }
    return settings;
}

std::string noItemReason(const Session& s, const SettingDef& def) {
    const BoundField* field = taggedField(def.key);
    if (!field) return "the window shows no item";
    const FieldTag& f = field->field;
    return "the stored value " +
           std::to_string(GetField(s.ConfigImage, f.address, f.firstBit, f.bitCount)) +
           " matches no list item";
}

const BoundField* taggedField(std::string_view key) {
    for (const auto& field : boundFields()) {
        if (field.key == key) return &field;
    }
    return nullptr;
}

std::string identityText(const Image& image) {
    std::string text;
    for (const auto byte : image.read(993, 14))
        text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
    return text;
}

}  // namespace kxp40s
