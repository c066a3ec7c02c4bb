#include "editors/settings_text.h"

#include <sstream>

#include "editors/quoted_text.h"
#include "editors/settings.h"
#include "editors/settings_report.h"

namespace kxp40s {

namespace {

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// " [chkCtl(29) &H31,3,1,chkN]" for a tagged control, empty otherwise.
std::string placeOf(const std::string& key) {
    const BoundField* field = taggedField(key);
    return field ? " [" + field->control.text() + " " + field->tag + "]" : "";
}

AssignmentsRead failed(std::string error) {
    return {{}, std::move(error)};
}

}  // namespace

std::string formatSettings(const Session& s) {
    std::ostringstream out;
    out << "# Identity: " << identityText(s.ConfigImage) << "\n";
    for (const SettingRow& row : settingRows(s)) {
        const SettingDef& def = *row.def;
        if (!def.caption.empty()) out << "# " << def.caption << placeOf(def.key) << "\n";
        if (!row.value) {
            out << "# " << def.key << ": " << noItemReason(s, def) << "\n";
            continue;
        }
        if (row.refusal) out << "# set would refuse it: " << *row.refusal << "\n";
        out << (def.readOnly || row.refusal ? "# " : "") << def.key << " = "
            << (def.quoted ? quoteText(*row.value) : *row.value) << "\n";
    }
    return out.str();
}

AssignmentsRead parseSettingsText(std::istream& in, const std::string& name) {
    AssignmentsRead read;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string content = trim(line);
        if (content.empty() || content[0] == '#') continue;
        const std::string origin = "line " + std::to_string(number) + " of " + name;
        const auto equals = content.find('=');
        if (equals == std::string::npos) return failed(origin + " is not KEY = VALUE: " + content);
        std::string value = trim(content.substr(equals + 1));
        if (!value.empty() && value[0] == '"') {
            const auto text = unquoteText(value);
            if (!text)
                return failed(origin + " has a quoted value that does not end well: " + value);
            value = *text;
        }
        read.assignments.push_back({trim(content.substr(0, equals)), value, origin});
    }
    return read;
}

AssignmentsRead parseArguments(std::span<const std::string> arguments) {
    AssignmentsRead read;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string origin = "argument " + std::to_string(i + 1);
        const auto equals = argument.find('=');
        if (equals == std::string::npos) return failed(origin + " is not KEY=VALUE: " + argument);
        read.assignments.push_back(
            {argument.substr(0, equals), argument.substr(equals + 1), origin});
    }
    return read;
}

}  // namespace kxp40s
