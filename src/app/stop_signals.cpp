#include "app/stop_signals.h"

#include <csignal>

#include "app/application.h"

namespace kxp40s {

int stoppedExitStatus(int signal) {
    return signal == SIGINT ? 130 : 1;
}

// requestStop only stores into a lock-free atomic.
void requestStopOf(Application* app, int signal) {
    if (app) app->requestStop(signal);
}

}  // namespace kxp40s
