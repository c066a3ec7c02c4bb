#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editors/session.h"
#include "editors/settings.h"
#include "image/field_map.h"
#include "image/image.h"

namespace kxp40s {

// A setting's value as `show` prints it for a session.
struct ShownSetting {
    const SettingDef* def;
    std::optional<std::string> value;  // as the window shows it; nullopt: no item
    std::string text;  // as printed: a free text quoted; no item: why not, in parentheses
};

// Every setting `show` prints, read-outs included, in its order.
std::vector<ShownSetting> describeSettings(const Session& s);

// Why the window shows no value for a setting: "the stored value 3 matches
// no list item" for a tagged list, "the window shows no item" otherwise.
std::string noItemReason(const Session& s, const SettingDef& def);

// The tagged check box or list a setting sets; nullptr for other settings.
const BoundField* taggedField(std::string_view key);

// The pager's identity text at 993-1006 ("KXP40V1.0V5.12"), unprintable
// bytes shown as ".".
std::string identityText(const Image& image);

}  // namespace kxp40s
