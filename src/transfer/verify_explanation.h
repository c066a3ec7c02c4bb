#pragma once

#include <string>
#include <string_view>

#include "editors/session.h"
#include "image/image.h"

namespace kxp40s {

// After "Verify Error!", for a face that can say more than the box: which
// settings and bytes of the pager differ from `expected` (named `name`),
// both in the PC's letters, and where the bytes a write adds come from.
std::string verifyExplanation(const Session& started, const Image& expected, const Image& pager,
                              std::string_view name);

}  // namespace kxp40s
