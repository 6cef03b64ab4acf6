#pragma once

#include "platform/signal_watcher.h"

#include <atomic>

// Ctrl-C asks the running conversion to stop at the next slide instead of
// killing the program, so that it can clean up after itself; a second Ctrl-C
// ends the run at once, with its offices and working folder gone. SIGTERM
// and SIGHUP stop it like Ctrl-C, and at once after a short grace.
class InterruptCancels
{
public:
    InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

    // The cancel flag of the conversion running now, or null between two.
    static void Watch(std::atomic<int>* cancel);
    static bool Interrupted();

private:
    SignalWatcher watcher_;
};
