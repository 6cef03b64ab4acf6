#pragma once

#include <chrono>
#include <thread>

// Polls condition every 20 ms until it holds or bound has passed. True when
// it held.
template <class Condition> bool WaitUntil(Condition condition, std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
