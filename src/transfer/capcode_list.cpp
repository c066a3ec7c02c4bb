#include "transfer/capcode_list.h"

#include <istream>

#include "editors/capcodes.h"

namespace kxp40s {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A capcode as the capcode boxes take it: decimal digits, 0..2097151.
std::optional<std::int32_t> capcodeIn(const std::string& field) {
    const std::string text = trimmed(field);
    if (text.empty() || text.size() > static_cast<std::size_t>(kCapcodeBoxLength) ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::int32_t value = std::stoi(text);
    if (value > kCapcodeMax) return std::nullopt;
    return value;
}

}  // namespace

CapcodeListRead parseCapcodeList(std::istream& in, const std::string& name) {
    CapcodeListRead read;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string text = trimmed(line);
        if (text.empty() || text.front() == '#') continue;
        const auto comma = text.find(',');
        const auto capcode1 = capcodeIn(text.substr(0, comma));
        const auto capcode2 =
            comma == std::string::npos ? std::nullopt : capcodeIn(text.substr(comma + 1));
        if (!capcode1 || (comma != std::string::npos && !capcode2)) {
            return {{},
                    name + ":" + std::to_string(number) + ": \"" + text +
                        "\" is not a capcode (0 to 2097151) or two of them, cap1,cap2"};
        }
        read.pagers.push_back({*capcode1, capcode2});
    }
    return read;
}

}  // namespace kxp40s
