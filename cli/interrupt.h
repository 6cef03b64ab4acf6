#pragma once

#include <atomic>

// Ctrl-C asks the running conversion to stop at the next slide instead of
// killing the program, so that it can clean up after itself.
class InterruptCancels
{
public:
    InterruptCancels();
    ~InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

    // The cancel flag of the conversion running now, or null between two.
    static void Watch(std::atomic<int>* cancel);
    static bool Interrupted();
};
