#include "settings_text.h"

#include <sstream>

#include "cli.h"
#include "editors/settings.h"
#include "image/binding.h"
#include "image/field_map.h"
#include "report.h"

namespace kxp40s::cli {

namespace {

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

const BoundField* taggedField(const std::string& key) {
    for (const auto& field : boundFields()) {
        if (field.key == key) return &field;
    }
    return nullptr;
}

// " [chkCtl(29) &H31,3,1,chkN]" for a tagged control, empty otherwise.
std::string placeOf(const std::string& key) {
    const BoundField* field = taggedField(key);
    return field ? " [" + field->control.text() + " " + field->tag + "]" : "";
}

std::string noItemComment(const Session& s, const SettingDef& def) {
    std::string comment = "# " + def.key + ": ";
    if (const BoundField* field = taggedField(def.key)) {
        const FieldTag& f = field->field;
        return comment + "the stored value " +
               std::to_string(GetField(s.ConfigImage, f.address, f.firstBit, f.bitCount)) +
               " matches no list item\n";
    }
    return comment + "the window shows no item\n";
}

}  // namespace

std::string formatSettings(const Session& s) {
    std::ostringstream out;
    out << "# Identity: " << identityText(s.ConfigImage) << "\n";
    for (const SettingRow& row : settingRows(s)) {
        const SettingDef& def = *row.def;
        if (!def.caption.empty()) out << "# " << def.caption << placeOf(def.key) << "\n";
        if (!row.value) {
            out << noItemComment(s, def);
            continue;
        }
        if (row.refusal) out << "# set would refuse it: " << *row.refusal << "\n";
        out << (def.readOnly || row.refusal ? "# " : "") << def.key << " = "
            << (def.quoted ? quote(*row.value) : *row.value) << "\n";
    }
    return out.str();
}

nlohmann::json settingsJson(const Session& s) {
    nlohmann::json settings = nlohmann::json::object();
    nlohmann::json readouts = nlohmann::json::object();
    for (const SettingDef& def : settingDefs()) {
        if (!def.show) continue;
        const auto value = def.show(s);
        (def.readOnly ? readouts : settings)[def.key] =
            value ? nlohmann::json(*value) : nlohmann::json();
    }
    return {
        {"identity", identityText(s.ConfigImage)}, {"settings", settings}, {"readouts", readouts}};
}

std::vector<Assignment> parseSettingsText(std::istream& in, const std::string& name) {
    std::vector<Assignment> assignments;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string content = trim(line);
        if (content.empty() || content[0] == '#') continue;
        const std::string origin = "line " + std::to_string(number) + " of " + name;
        const auto equals = content.find('=');
        if (equals == std::string::npos) throw Refusal(origin + " is not KEY = VALUE: " + content);
        std::string value = trim(content.substr(equals + 1));
        if (!value.empty() && value[0] == '"') {
            try {
                value = nlohmann::json::parse(value).get<std::string>();
            } catch (const nlohmann::json::exception&) {
                throw Refusal(origin + " has a quoted value that does not end well: " + value);
            }
        }
        assignments.push_back({trim(content.substr(0, equals)), value, origin});
    }
    return assignments;
}

Assignment parseAssignment(const std::string& argument, int position) {
    const std::string origin = "argument " + std::to_string(position);
    const auto equals = argument.find('=');
    if (equals == std::string::npos) throw Refusal(origin + " is not KEY=VALUE: " + argument);
    return {argument.substr(0, equals), argument.substr(equals + 1), origin};
}

}  // namespace kxp40s::cli
