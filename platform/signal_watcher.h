#pragma once

#include <functional>
#include <thread>

// Turns SIGINT, SIGTERM and SIGHUP into calls of onSignal on a thread of its
// own, where anything may be done: a signal handler itself may do almost
// nothing. One watcher per process; the signals get their old handling back
// when it goes.
class SignalWatcher
{
public:
    explicit SignalWatcher(std::function<void(int signal)> onSignal);
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

private:
    std::thread thread_;
};
