#pragma once

#include <string_view>

#include "editors/session.h"

namespace kxp40s::testing {

// What control `name`(index) shows; a function rather than `controls[{...}]`
// because a braced list inside a test macro splits at its comma.
inline const ControlState& at(const Session& s, std::string_view name, int index = -1) {
    return s.controls[ControlId{name, index}];
}

}  // namespace kxp40s::testing
