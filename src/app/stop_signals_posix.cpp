#include "app/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <initializer_list>

namespace kxp40s {

namespace {

// The only state the signal handler touches: the signal received, the
// application to tell, and a pipe that wakes an event loop.
struct SignalState {
    volatile sig_atomic_t received = 0;
    std::atomic<Application*> app{nullptr};
    int wake[2] = {-1, -1};
};
SignalState state;

void onStopSignal(int signal) {
    if (state.received != 0) _exit(stoppedExitStatus(signal));
    state.received = signal;
    requestStopOf(state.app.load(), signal);
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
    // No SA_RESTART: a wait for the terminal (a question, the next pager's
    // Enter) ends at once.
    action.sa_flags = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void StopSignals::forwardTo(Application* app) {
    static_assert(std::atomic<Application*>::is_always_lock_free);
    state.app.store(app);
    if (state.received != 0) requestStopOf(app, state.received);
}

int StopSignals::received() {
    return state.received;
}

int StopSignals::wakeFd() {
    return state.wake[0];
}

}  // namespace kxp40s
