#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link/serial_port.h"

namespace kxp40s {
namespace {

// A port that is not there fails to open, and every call on a port that is
// not open says so instead of touching a stale handle.
TEST(WindowsSerialPort, ClosedOrMissingPortsRefuseEveryCall) {
    const std::unique_ptr<SerialPort> port = makeSystemSerialPort();
    for (const char* name : {"COM250", "\\\\.\\COM251", "NOSUCHPORT"}) {
        SCOPED_TRACE(name);
        EXPECT_LT(port->open(name), 0);
        EXPECT_EQ(port->lineStatus(), SerialPort::kNotOpen);
    }
    std::vector<std::uint8_t> bytes(4);
    EXPECT_EQ(port->setup9600(), SerialPort::kNotOpen);
    EXPECT_EQ(port->flush(), SerialPort::kNotOpen);
    EXPECT_EQ(port->write(bytes), SerialPort::kNotOpen);
    EXPECT_EQ(port->read(bytes), SerialPort::kNotOpen);
    EXPECT_EQ(port->getch(), SerialPort::kNotOpen);
    EXPECT_EQ(port->bytesWaiting(), SerialPort::kNotOpen);
    EXPECT_EQ(port->close(), SerialPort::kNotOpen);
}

}  // namespace
}  // namespace kxp40s
