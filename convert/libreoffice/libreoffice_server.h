#pragma once

#include "convert/automation_dispatch.h"
#include "convert/libreoffice/office_identity.h"
#include "convert/libreoffice/owner_watch.h"
#include "convert/libreoffice/run_slot.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>

// How long each kind of office call may take before the office counts as
// hung and is killed.
struct OfficeTimeouts
{
    std::chrono::milliseconds start{60000};   // until a new office accepts us
    std::chrono::milliseconds connect{10000}; // one attempt to reach an office
    std::chrono::milliseconds load{120000};   // opening a presentation
    std::chrono::milliseconds slide{60000};   // fetching and exporting one slide
    std::chrono::milliseconds call{30000};    // any other call
    std::chrono::milliseconds quit{10000};    // until a terminated office is gone
};

// When an office of this run has served enough and is replaced.
struct OfficeRecycling
{
    int documents = 50;
    std::size_t residentBytes = std::size_t{1} << 30;
};

// Our LibreOffice offices, reached over their pipes through UNO, one per
// lane. One server per process.
//
// A run uses the shared offices when "korvanta-cli office start" left them
// running; otherwise it starts offices of its own, under its run slot, which
// end with it even when it is killed. In shared mode (the office command
// itself) it starts and stops the shared ones.
class LibreOfficeServer : public OfficeServer
{
public:
    static LibreOfficeServer& Instance();

    // One lane per processor, at most four, unless KORVANTA_OFFICE_LANES
    // (1 to 8) says otherwise.
    int LaneCount() const override;
    void SetLaneCount(int lanes);
    // True when the lane has an office: one of this run's, or a shared one.
    // Waits while the lane's office is being started.
    bool IsRunning(int lane) override;
    std::unique_ptr<ApplicationDispatch> CreateApplication(int lane) override;

    OfficeTimeouts Timeouts() const;
    void SetTimeouts(const OfficeTimeouts& timeouts);
    void SetRecycling(const OfficeRecycling& recycling);
    void UseSharedOffices(bool shared);

    // Starts, side by side, the office of every lane that has none. True
    // when this started any.
    bool StartOffices();
    // Quits, side by side, the offices this run started.
    void QuitOwnOffices();
    // Kills the offices this run started, at once, without waiting on them.
    void KillOwnOffices();

    // The office process a lane is attached to, or 0.
    pid_t OfficeProcess(int lane) const;
    // A lane's pipe in the set this run starts its offices in.
    std::string OwnPipeName(int lane);

    // Kills a lane's office and everything it started, at once.
    void KillOffice(int lane);
    // Waits for a lane's office to end after it was told to terminate; kills
    // it when it is still there after the quit bound.
    void AwaitOfficeEnd(int lane);
    // Counts a presentation opened in a lane's office.
    void CountDocument(int lane);

private:
    static constexpr int kMaxLanes = 8;

    // The office a lane is attached to. Only one started by this run has a
    // launcher (our child) and a watch.
    struct Attached
    {
        bool own = false;
        pid_t launcher = 0;
        pid_t office = 0;
        int documents = 0;
        std::shared_ptr<OwnerWatch> watch;

        bool IsAlive() const;
    };

    LibreOfficeServer();
    office::OfficeSet OwnSet();
    bool HasOwnOffice(int lane) const;
    bool IsWorn(int lane) const;
    std::unique_ptr<ApplicationDispatch> Connect(int lane, const std::string& pipe, pid_t office);
    std::unique_ptr<ApplicationDispatch> AwaitAccepting(int lane, const std::string& pipe,
                                                        pid_t member);
    std::unique_ptr<ApplicationDispatch> ConnectShared(int lane);
    std::unique_ptr<ApplicationDispatch> StartAndConnect(int lane);
    void QuitLane(int lane);
    Attached Current(int lane) const;
    void Attach(int lane, const Attached& attached);

    mutable std::mutex mutex_;
    OfficeTimeouts timeouts_;
    OfficeRecycling recycling_;
    bool shared_ = false;
    int lanes_;
    RunSlot slot_;
    std::array<Attached, kMaxLanes> attached_;
    // Held while a lane's office is reached, started or quit.
    std::array<std::mutex, kMaxLanes> laneUse_;
};

// 1 when our office is running, else 0.
int actCheckPptRunning();
