#pragma once

namespace kxp40s {

// Ctrl-C (SIGINT), SIGTERM and SIGHUP while the program runs: the first one
// is noted, so that the program can stop at the next safe point (after the
// frame under way), release the board and say what state the pager is in;
// a second one ends the program at once. Installed for the program's life.
class StopSignals {
  public:
    static void install();
    // The signal received, 0 when none.
    static int received();
    // Becomes readable when the first signal arrives, for an event loop to
    // watch; -1 when it could not be made.
    static int wakeFd();
};

// Thrown by a face at a safe point once a stop signal was received.
struct StopRequest {
    int signal;
};

// The exit status of a program stopped by `signal`: 130 for Ctrl-C, else 1.
int stoppedExitStatus(int signal);

}  // namespace kxp40s
