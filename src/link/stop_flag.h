#pragma once

#include <atomic>

namespace kxp40s {

// A request to stop what is under way, seen at the next safe point (between
// two frames, two pages, two pagers). It may be set from a signal handler:
// setting and reading it are single lock-free operations.
class StopFlag {
  public:
    // The signal that asked for the stop; kNoSignal when the user did (the
    // window closed).
    static constexpr int kNoSignal = -1;

    void request(int signal = kNoSignal) noexcept {
        int none = 0;
        signal_.compare_exchange_strong(none, signal == 0 ? kNoSignal : signal);
    }
    bool requested() const noexcept { return signal_.load() != 0; }
    int signal() const noexcept { return signal_.load(); }

  private:
    static_assert(std::atomic<int>::is_always_lock_free);
    std::atomic<int> signal_{0};
};

}  // namespace kxp40s
