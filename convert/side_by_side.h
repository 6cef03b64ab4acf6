#pragma once

#include <cstddef>
#include <thread>
#include <vector>

// Runs work(index) for every index below count, side by side, and waits for
// all of them; index 0 runs on the calling thread.
template <class Work> void SideBySide(std::size_t count, Work work)
{
    std::vector<std::thread> threads;
    for (std::size_t index = 1; index < count; ++index)
        threads.emplace_back([&work, index] { work(index); });
    if (count > 0)
        work(std::size_t{0});
    for (auto& thread : threads)
        thread.join();
}
