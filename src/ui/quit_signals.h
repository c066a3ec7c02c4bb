#pragma once

#include <functional>

namespace kxp40s::ui {

// SIGTERM, SIGINT and SIGHUP reach the window as events: `onSignal` runs in
// the event loop, where it may release the board and close the windows as
// File > Exit does. A second signal before the program has ended ends it at
// once. Installed once, for the program's life.
void quitOnSignals(std::function<void(int signal)> onSignal);

}  // namespace kxp40s::ui
