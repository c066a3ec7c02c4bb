#pragma once

namespace kxp40s {

class Application;

// Ctrl-C (SIGINT), SIGTERM and SIGHUP while the program runs (on Windows the
// console's Ctrl-C as SIGINT, and Ctrl-Break or the console closing as
// SIGTERM): the first one asks the application to stop
// (Application::requestStop), so that it stops at the next safe point,
// releases the board and says what state the pager is in; a second one ends
// the program at once. Installed for the program's life.
class StopSignals {
  public:
    static void install();
    // The application the first signal goes to; nullptr while there is none
    // (a signal that came before is handed on when one is named).
    static void forwardTo(Application* app);
    // The signal received, 0 when none.
    static int received();
    // Becomes readable when the first signal arrives, for an event loop to
    // watch; -1 when it could not be made or the system has no such thing.
    static int wakeFd();
};

// The exit status of a program stopped by `signal`: 130 for Ctrl-C, else 1.
int stoppedExitStatus(int signal);

// Asks `app`, when there is one, to stop for `signal`; safe in a signal
// handler. The handlers of each system call it, so that they need not see
// the application beside the system's own headers.
void requestStopOf(Application* app, int signal);

}  // namespace kxp40s
