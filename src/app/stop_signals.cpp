#include "app/stop_signals.h"

#include <csignal>

namespace kxp40s {

int stoppedExitStatus(int signal) {
    return signal == SIGINT ? 130 : 1;
}

}  // namespace kxp40s
