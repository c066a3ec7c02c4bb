#include "stop_signals.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

namespace kxp40s::cli {

namespace {

// The only state a signal handler may touch.
volatile sig_atomic_t receivedSignal = 0;

void onStopSignal(int signal) {
    if (receivedSignal != 0) _exit(stoppedExitStatus(signal));
    receivedSignal = signal;
}

}  // namespace

void StopSignals::install() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait for the next pager's Enter ends at once.
    action.sa_flags = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int StopSignals::received() {
    return receivedSignal;
}

int stoppedExitStatus(int signal) {
    return signal == SIGINT ? 130 : 1;
}

}  // namespace kxp40s::cli
