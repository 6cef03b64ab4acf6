#pragma once

#include "convert/automation_dispatch.h"

#include <chrono>
#include <mutex>
#include <sys/types.h>
#include <vector>

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

// Our LibreOffice offices, reached over their pipes through UNO, one per
// lane. One server per process.
class LibreOfficeServer : public OfficeServer
{
public:
    static LibreOfficeServer& Instance();

    // One lane per processor, at most four, unless KORVANTA_OFFICE_LANES
    // (1 to 8) says otherwise.
    int LaneCount() const override;
    void SetLaneCount(int lanes);
    bool IsRunning(int lane) override;
    std::unique_ptr<ApplicationDispatch> CreateApplication(int lane) override;

    OfficeTimeouts Timeouts() const;
    void SetTimeouts(const OfficeTimeouts& timeouts);

    // Kills a lane's office and everything it started, at once.
    void KillOffice(int lane);
    // Waits for a lane's office to end after it was told to terminate; kills
    // it when it is still there after the quit bound.
    void AwaitOfficeEnd(int lane);

private:
    struct Processes
    {
        pid_t launcher = 0; // our child, when this process started the office
        pid_t office = 0;   // the office process we are connected to
    };

    LibreOfficeServer();
    std::unique_ptr<ApplicationDispatch> StartAndConnect(int lane);
    Processes Tracked(int lane) const;
    void Track(int lane, const Processes& processes);

    mutable std::mutex mutex_;
    OfficeTimeouts timeouts_;
    int lanes_;
    std::vector<Processes> processes_;
};
