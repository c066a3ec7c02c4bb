#pragma once

#include <cstdint>

namespace kxp40s {

// Time as the link sees it: a millisecond counter, a plain sleep, and the
// event pump of the face (the window runs its events there; the command line
// does nothing). Tests hand in a clock that moves only when told to.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
    virtual void pumpEvents() {}
};

class SteadyClock : public Clock {
  public:
    std::int64_t nowMs() override;
    void sleepMs(int ms) override;
};

// Returns after ms milliseconds, letting events run in between.
void DelayMs(Clock& clock, int ms);

// One turn of a polling wait: events run, then a short pause so that a wait
// for the board does not keep a core busy.
void pollPause(Clock& clock);

}  // namespace kxp40s
