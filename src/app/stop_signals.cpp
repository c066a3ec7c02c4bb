#include "app/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <initializer_list>

namespace kxp40s {

namespace {

// The only state the signal handler touches: the signal received, and a
// pipe that wakes an event loop.
struct SignalState {
    volatile sig_atomic_t received = 0;
    int wake[2] = {-1, -1};
};
SignalState state;

void onStopSignal(int signal) {
    if (state.received != 0) _exit(stoppedExitStatus(signal));
    state.received = signal;
    if (state.wake[1] < 0) return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t sent = ::write(state.wake[1], &byte, 1);
}

}  // namespace

void StopSignals::install() {
    if (state.wake[0] < 0 && ::pipe2(state.wake, O_CLOEXEC | O_NONBLOCK) != 0)
        state.wake[0] = state.wake[1] = -1;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait for the next pager's Enter ends at once.
    action.sa_flags = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int StopSignals::received() {
    return state.received;
}

int StopSignals::wakeFd() {
    return state.wake[0];
}

int stoppedExitStatus(int signal) {
    return signal == SIGINT ? 130 : 1;
}

}  // namespace kxp40s
