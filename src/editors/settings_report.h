#pragma once

#include <optional>
#include <string>
#include <vector>

#include "image/field_map.h"
#include "image/image.h"

namespace kxp40s {

// One setting as the window shows it, named by its command-line key.
struct Setting {
    std::string key;
    std::string caption;  // the label beside the control
    std::string control;  // "chkCtl(29)"
    std::string where;    // the Tag, or the record's address
    Page page;
    std::optional<std::string> value;  // the shown value; nullopt when no list item matches
    int stored = 0;                    // the stored field, for lists that match no item
    bool quoted = false;               // texts print quoted, so spaces at either end survive
};

std::vector<Setting> describeSettings(const Image& image);

// The pager's identity text at 993-1006 ("KXP40V1.0V5.12"), unprintable
// bytes shown as ".".
std::string identityText(const Image& image);

}  // namespace kxp40s
