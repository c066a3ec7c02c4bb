#include "transfer/local_time.h"

#include <ctime>

#include "files/system.h"

namespace kxp40s {

std::string localTimeText(std::chrono::system_clock::time_point when, const char* format) {
    const std::tm local = localTime(std::chrono::system_clock::to_time_t(when));
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

}  // namespace kxp40s
