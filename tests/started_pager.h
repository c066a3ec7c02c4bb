#pragma once

// The pager the simulated boards carry in tests: the program's start-up
// image with an identity, a firmware byte and a checksum.

#include <cstdint>
#include <string_view>

#include "app/startup.h"
#include "sim/pager_board.h"

namespace kxp40s::testing {

inline Image startedPager(std::string_view identity = sim::kDefaultIdentity,
                          std::uint8_t firmware = 50) {
    return sim::pagerImage(startedImage(), identity, firmware);
}

}  // namespace kxp40s::testing
