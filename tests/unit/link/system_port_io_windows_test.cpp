#include "link/system_port_io.h"

#include <gtest/gtest.h>

namespace kxp40s {
namespace {

// Without a port driver no register can be reached: the bus sees nothing
// attached, and the search has a reason to give.
TEST(SystemPortIo, TheParallelPortSaysItNeedsADriverAndFindsNoBoard) {
    const std::unique_ptr<PortIo> io = makeSystemPortIo();
    for (const std::uint16_t base : kLptBases) {
        SCOPED_TRACE(base);
        io->Out32(base, 0x00);
        EXPECT_EQ(io->Inp32(base), 0xFF);
        EXPECT_EQ(io->Inp32(static_cast<std::uint16_t>(base + 1)), 0xFF);
    }
    EXPECT_NE(io->problem().find("needs a port driver"), std::string::npos) << io->problem();
    EXPECT_FALSE(io->failed());
}

TEST(SystemPortIo, TheLegacyAddressesAreNamedLikeWindowsPorts) {
    EXPECT_EQ(lptDeviceName(0x378), "LPT1");
    EXPECT_EQ(lptDeviceName(0x278), "LPT2");
    EXPECT_EQ(lptDeviceName(0x3BC), "LPT3");
    EXPECT_EQ(lptDeviceName(0x3F8), "");
}

}  // namespace
}  // namespace kxp40s
