#include "link/system_port_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "link/ppdev_port_io.h"
#include "link/socket_port_io.h"

namespace kxp40s {
namespace {

TEST(SystemPortIo, KXP40S_LPTNamesTheSimulatedBoard) {
    struct Case {
        std::optional<std::string> variable;
        bool simulated;
    };
    const char* before = std::getenv(kLptSocketVariable);
    const std::optional<std::string> kept =
        before ? std::optional<std::string>(before) : std::nullopt;
    for (const Case& c : {Case{std::nullopt, false}, Case{"", false}, Case{"/tmp/board", true}}) {
        SCOPED_TRACE(c.variable.value_or("(unset)"));
        if (c.variable) {
            ::setenv(kLptSocketVariable, c.variable->c_str(), 1);
        } else {
            ::unsetenv(kLptSocketVariable);
        }
        const std::unique_ptr<PortIo> io = makeSystemPortIo();
        const auto* socket = dynamic_cast<const SocketPortIo*>(io.get());
        EXPECT_EQ(socket != nullptr, c.simulated);
        EXPECT_EQ(dynamic_cast<const PpdevPortIo*>(io.get()) != nullptr, !c.simulated);
        if (socket != nullptr) {
            EXPECT_EQ(socket->path(), *c.variable);
        }
    }
    if (kept) {
        ::setenv(kLptSocketVariable, kept->c_str(), 1);
    } else {
        ::unsetenv(kLptSocketVariable);
    }
}

}  // namespace
}  // namespace kxp40s
