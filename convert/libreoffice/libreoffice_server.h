#pragma once

#include "convert/automation_dispatch.h"

#include <chrono>
#include <mutex>
#include <sys/types.h>

// How long each kind of office call may take before the office counts as
// hung and is killed.
struct OfficeTimeouts
{
    std::chrono::milliseconds start{60000}; // until a new office accepts us
    std::chrono::milliseconds load{120000}; // opening a presentation
    std::chrono::milliseconds slide{60000}; // fetching and exporting one slide
    std::chrono::milliseconds call{30000};  // any other call
    std::chrono::milliseconds quit{10000};  // until a terminated office is gone
};

// Our LibreOffice, reached over its pipe through UNO. One per process.
class LibreOfficeServer : public OfficeServer
{
public:
    static LibreOfficeServer& Instance();

    bool IsRunning() override;
    std::unique_ptr<ApplicationDispatch> CreateApplication() override;

    OfficeTimeouts Timeouts() const;
    void SetTimeouts(const OfficeTimeouts& timeouts);

    // Kills our office and everything it started, at once.
    void KillOffice();
    // Waits for our office to end after it was told to terminate; kills it
    // when it is still there after the quit bound.
    void AwaitOfficeEnd();

private:
    struct Processes
    {
        pid_t launcher = 0; // our child, when this process started the office
        pid_t office = 0;   // the office process we are connected to
    };

    LibreOfficeServer() = default;
    std::unique_ptr<ApplicationDispatch> StartAndConnect();
    Processes Tracked() const;
    void Track(const Processes& processes);

    mutable std::mutex mutex_;
    OfficeTimeouts timeouts_;
    Processes processes_;
};
