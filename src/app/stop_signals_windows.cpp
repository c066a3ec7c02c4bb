#include <windows.h>

#include <atomic>
#include <csignal>

#include "app/stop_signals.h"

namespace kxp40s {

namespace {

// What the console's handler thread shares with the program.
struct StopState {
    std::atomic<int> received{0};
    std::atomic<Application*> app{nullptr};
};
StopState state;

// Windows ends the process once the handler returns from a closed console, a
// log-off or a shutdown; the handler holds on for most of the time Windows
// grants, so that the program can stop at its next safe point and release
// the board. A program that ends sooner ends this thread with it.
constexpr DWORD kGraceMs = 4500;

int signalFor(DWORD event) {
    return event == CTRL_C_EVENT ? SIGINT : SIGTERM;
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    const int signal = signalFor(event);
    int none = 0;
    if (!state.received.compare_exchange_strong(none, signal))
        ::ExitProcess(static_cast<UINT>(stoppedExitStatus(signal)));
    requestStopOf(state.app.load(), signal);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::Sleep(kGraceMs);
    return TRUE;
}

}  // namespace

// Ctrl-C and Ctrl-Break, and the console closing, come as console events.
void StopSignals::install() {
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void StopSignals::forwardTo(Application* app) {
    state.app.store(app);
    if (const int signal = state.received.load(); signal != 0) requestStopOf(app, signal);
}

int StopSignals::received() {
    return state.received.load();
}

// Nothing to watch: the console's events come on a thread of their own.
int StopSignals::wakeFd() {
    return -1;
}

}  // namespace kxp40s
