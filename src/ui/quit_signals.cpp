#include "ui/quit_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <initializer_list>

namespace kxp40s::ui {

namespace {

// The only state the signal handler touches: a socket pair whose reading
// end the event loop watches, and whether a signal came already.
struct SignalPipe {
    int fds[2] = {-1, -1};
    volatile sig_atomic_t received = 0;
};
SignalPipe pipeState;

void onQuitSignal(int /*signal*/) {
    if (pipeState.received != 0) _exit(1);
    pipeState.received = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t sent = ::write(pipeState.fds[0], &byte, 1);
}

}  // namespace

void quitOnSignals(std::function<void()> onSignal) {
    if (pipeState.fds[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeState.fds) != 0) return;
    auto* notifier =
        new QSocketNotifier(pipeState.fds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [notifier, onSignal = std::move(onSignal)] {
                         char byte = 0;
                         [[maybe_unused]] const ssize_t got = ::read(pipeState.fds[1], &byte, 1);
                         notifier->setEnabled(false);
                         onSignal();
                     });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

}  // namespace kxp40s::ui
