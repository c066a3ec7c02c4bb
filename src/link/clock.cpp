#include "link/clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kxp40s {

std::int64_t SteadyClock::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void DelayMs(Clock& clock, int ms) {
    const std::int64_t start = clock.nowMs();
    for (std::int64_t left = ms; left > 0; left = ms - (clock.nowMs() - start)) {
        clock.pumpEvents();
        clock.sleepMs(static_cast<int>(std::min<std::int64_t>(left, 10)));
    }
}

void pollPause(Clock& clock) {
    clock.pumpEvents();
    clock.sleepMs(1);
}

}  // namespace kxp40s
