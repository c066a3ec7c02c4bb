#include "link/termios_serial_port.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace kxp40s {
namespace {

// A pseudo-terminal as a serial device: the test keeps the master and one
// plain descriptor of the slave (a terminal someone else has open), through
// which it looks at the settings and the exclusive mode.
class PseudoTerminal {
  public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        slavePath_ = ::ptsname(master_);
        other_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal() {
        if (other_ >= 0) ::close(other_);
        if (master_ >= 0) ::close(master_);
    }

    bool ready() const { return other_ >= 0; }
    const std::string& path() const { return slavePath_; }
    termios settings() const {
        termios t{};
        tcgetattr(other_, &t);
        return t;
    }
    bool exclusive() const {
        int on = 0;
        ::ioctl(other_, TIOCGEXCL, &on);
        return on != 0;
    }

  private:
    int master_ = -1;
    int other_ = -1;
    std::string slavePath_;
};

bool sameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

TEST(TermiosSerialPort, APortInUseIsRefusedAtOnceUntilItsHolderClosesIt) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    TermiosSerialPort first;
    TermiosSerialPort second;
    ASSERT_EQ(first.open(pty.path()), SerialPort::kOk);
    EXPECT_TRUE(pty.exclusive());
    EXPECT_EQ(second.open(pty.path()), SerialPort::kPortBusy);
    EXPECT_LT(second.lineStatus(), 0);

    EXPECT_EQ(first.close(), SerialPort::kOk);
    EXPECT_FALSE(pty.exclusive());  // the terminal stays open elsewhere: its mode is cleared
    EXPECT_EQ(second.open(pty.path()), SerialPort::kOk);
}

// A terminal listed among the ports that does not answer as the board is
// given back with the settings it had, not raw and without echo.
TEST(TermiosSerialPort, ClosingRestoresTheSettingsThePortHadWhenOpened) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    const termios found = pty.settings();
    ASSERT_NE(found.c_lflag & ECHO, 0u);
    TermiosSerialPort port;
    ASSERT_EQ(port.open(pty.path()), SerialPort::kOk);
    ASSERT_EQ(port.setup9600(), SerialPort::kOk);
    EXPECT_EQ(pty.settings().c_lflag & (ECHO | ICANON), 0u);

    port.close();
    EXPECT_TRUE(sameSettings(pty.settings(), found));
}

}  // namespace
}  // namespace kxp40s
