#pragma once

#include <string>
#include <string_view>

#include "editors/session.h"
#include "image/image.h"

namespace kxp40s {

// After "Verify Error!", for a face that can say more than the box: which
// settings and bytes of the pager differ from `expected` (named `name`, as a
// write would have put it on the pager), both in the PC's letters.
std::string verifyExplanation(const Session& started, const Image& expected, const Image& pager,
                              std::string_view name);

}  // namespace kxp40s
