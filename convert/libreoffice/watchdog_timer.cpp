#include "convert/libreoffice/watchdog_timer.h"

WatchdogTimer::WatchdogTimer(std::chrono::milliseconds bound, std::function<void()> onExpiry)
{
    thread_ = std::thread([this, bound, onExpiry = std::move(onExpiry)] {
        std::unique_lock lock(mutex_);
        if (stopped_.wait_for(lock, bound, [this] { return stopping_; }))
            return;
        expired_ = true;
        lock.unlock();
        onExpiry();
    });
}

WatchdogTimer::~WatchdogTimer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_one();
    thread_.join();
}
