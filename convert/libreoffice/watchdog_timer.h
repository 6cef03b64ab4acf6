#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Runs onExpiry on its own thread when it is still alive after bound. Its
// owner wraps one blocking call in it.
class WatchdogTimer
{
public:
    WatchdogTimer(std::chrono::milliseconds bound, std::function<void()> onExpiry);
    ~WatchdogTimer();
    WatchdogTimer(const WatchdogTimer&) = delete;
    WatchdogTimer& operator=(const WatchdogTimer&) = delete;

    bool Expired() const { return expired_.load(); }

private:
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::atomic<bool> expired_{false};
    std::thread thread_;
};
