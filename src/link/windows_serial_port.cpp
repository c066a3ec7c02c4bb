#include <windows.h>

#include <optional>

#include "files/system.h"
#include "link/serial_port.h"

namespace kxp40s {

namespace {

// A write waits this long for each frame before it reports an error: a
// 145-byte frame at 9600 baud needs about 150 ms.
constexpr DWORD kWriteTimeoutMs = 1000;
constexpr DWORD kWriteMsPerByte = 2;

// What a USB-serial port answers once its adapter was pulled out.
bool isGoneError(DWORD error) {
    switch (error) {
        case ERROR_BAD_COMMAND:
        case ERROR_DEVICE_REMOVED:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_GEN_FAILURE:
        case ERROR_OPERATION_ABORTED:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_HANDLE:
            return true;
        default:
            return false;
    }
}

// COM1-COM9 open by their names; COM10 and above only through the device
// namespace, which takes every port.
std::wstring devicePath(const std::string& name) {
    const std::wstring wide = pathFromUtf8(name).wstring();
    return wide.starts_with(L"\\\\") ? wide : L"\\\\.\\" + wide;
}

// A COM port of Windows. It is opened without sharing, so that two programs
// never talk to one board at once; reads never wait (the link polls), writes
// wait for the frame to leave. Closing gives the port back with the settings
// and time-outs it had when it was opened.
class WindowsSerialPort : public SerialPort {
  public:
    WindowsSerialPort() = default;
    WindowsSerialPort(const WindowsSerialPort&) = delete;
    WindowsSerialPort& operator=(const WindowsSerialPort&) = delete;
    ~WindowsSerialPort() override { close(); }

    int open(const std::string& name) override {
        close();
        const HANDLE handle = ::CreateFileW(devicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                            0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return ::GetLastError() == ERROR_ACCESS_DENIED ? kPortBusy : kPortError;
        handle_ = handle;
        gone_ = false;
        Found found{};
        found.dcb.DCBlength = sizeof found.dcb;
        if (::GetCommState(handle_, &found.dcb) && ::GetCommTimeouts(handle_, &found.timeouts))
            found_ = found;
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;  // with no totals: return what is there
        timeouts.WriteTotalTimeoutMultiplier = kWriteMsPerByte;
        timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
        if (!::SetCommTimeouts(handle_, &timeouts)) {
            close();
            return kPortError;
        }
        return kOk;
    }

    int close() override {
        if (!isOpen()) return kNotOpen;
        if (found_ && !gone_) {
            ::SetCommState(handle_, &found_->dcb);
            ::SetCommTimeouts(handle_, &found_->timeouts);
        }
        ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        gone_ = false;
        found_.reset();
        return kOk;
    }

    int setup9600() override {
        if (!isOpen()) return kNotOpen;
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(handle_, &dcb)) return failure();
        dcb.BaudRate = CBR_9600;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fNull = FALSE;
        dcb.fAbortOnError = FALSE;
        if (!::SetCommState(handle_, &dcb)) return failure();
        return kOk;
    }

    int flush() override {
        if (int refused = notUsable()) return refused;
        if (!::PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR))
            return failure();
        return kOk;
    }

    int write(std::span<const std::uint8_t> bytes) override {
        if (int refused = notUsable()) return refused;
        DWORD written = 0;
        if (!::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr))
            return failure();
        if (written < bytes.size()) return kPortError;  // the time-out passed
        return static_cast<int>(written);
    }

    int read(std::span<std::uint8_t> bytes) override {
        if (int refused = notUsable()) return refused;
        DWORD got = 0;
        if (!::ReadFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
            return failure();
        return static_cast<int>(got);
    }

    int getch() override {
        std::uint8_t byte = 0;
        const int n = read(std::span(&byte, 1));
        if (n < 0) return n;
        return n == 0 ? kNoByte : byte;
    }

    int bytesWaiting() override {
        if (int refused = notUsable()) return refused;
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(handle_, &errors, &status)) return failure();
        return static_cast<int>(status.cbInQue);
    }

    int lineStatus() override { return isOpen() ? kOk : kNotOpen; }

  private:
    struct Found {
        DCB dcb;
        COMMTIMEOUTS timeouts;
    };

    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

    int notUsable() const {
        if (!isOpen()) return kNotOpen;
        return gone_ ? kPortGone : kOk;
    }

    int failure() {
        if (isGoneError(::GetLastError())) {
            gone_ = true;
            return kPortGone;
        }
        return kPortError;
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool gone_ = false;
    std::optional<Found> found_;  // the settings the port had when it was opened
};

}  // namespace

std::unique_ptr<SerialPort> makeSystemSerialPort() {
    return std::make_unique<WindowsSerialPort>();
}

}  // namespace kxp40s
