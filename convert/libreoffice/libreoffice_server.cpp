#include "convert/libreoffice/libreoffice_server.h"

#include "convert/libreoffice/office_process.h"
#include "convert/libreoffice/uno_automation.h"
#include "convert/libreoffice/uno_connection.h"
#include "convert/libreoffice/watchdog_timer.h"
#include "convert/side_by_side.h"
#include "log/debug_log.h"
#include "log/log_scope.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const auto kConnectRetry = 50ms;
// An office that is starting is asked this often whether it accepts yet; a
// refused attempt costs well under a millisecond.
const auto kStartPoll = 5ms;
const int kReconnectAttempts = 5;
const auto kKillWait = 5s;
const int kDefaultMaxLanes = 4;

int DefaultLaneCount(int maxLanes)
{
    if (const char* configured = std::getenv("KORVANTA_OFFICE_LANES")) {
        const int lanes = std::atoi(configured);
        if (lanes >= 1 && lanes <= maxLanes)
            return lanes;
    }
    const int processors = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(processors, 1, kDefaultMaxLanes);
}

bool AwaitEnd(pid_t launcher, pid_t office, std::chrono::milliseconds bound)
{
    const auto deadline = Clock::now() + bound;
    while (!(office::HasEnded(launcher) && office::HasEnded(office))) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::string SharedPipe(int lane)
{
    return office::PipeName(office::OfficeSet{}, lane);
}

} // namespace

LibreOfficeServer& LibreOfficeServer::Instance()
{
    static LibreOfficeServer server;
    return server;
}

LibreOfficeServer::LibreOfficeServer() : lanes_(DefaultLaneCount(kMaxLanes)) {}

int LibreOfficeServer::LaneCount() const
{
    std::lock_guard lock(mutex_);
    return lanes_;
}

void LibreOfficeServer::SetLaneCount(int lanes)
{
    std::lock_guard lock(mutex_);
    lanes_ = std::clamp(lanes, 1, kMaxLanes);
}

OfficeTimeouts LibreOfficeServer::Timeouts() const
{
    std::lock_guard lock(mutex_);
    return timeouts_;
}

void LibreOfficeServer::SetTimeouts(const OfficeTimeouts& timeouts)
{
    std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
}

void LibreOfficeServer::SetRecycling(const OfficeRecycling& recycling)
{
    std::lock_guard lock(mutex_);
    recycling_ = recycling;
}

void LibreOfficeServer::UseSharedOffices(bool shared)
{
    std::lock_guard lock(mutex_);
    shared_ = shared;
}

LibreOfficeServer::Attached LibreOfficeServer::Current(int lane) const
{
    std::lock_guard lock(mutex_);
    return attached_.at(static_cast<std::size_t>(lane));
}

void LibreOfficeServer::Attach(int lane, const Attached& attached)
{
    Attached previous = attached;
    {
        std::lock_guard lock(mutex_);
        std::swap(previous, attached_.at(static_cast<std::size_t>(lane)));
    }
    // A watch let go here ends its watcher outside the lock.
}

office::OfficeSet LibreOfficeServer::OwnSet()
{
    std::lock_guard lock(mutex_);
    if (shared_)
        return office::OfficeSet{};
    if (!slot_.Claim())
        throw AutomationError("No free run slot for an office in the cache folder.");
    return office::OfficeSet{slot_.Number()};
}

std::string LibreOfficeServer::OwnPipeName(int lane)
{
    return office::PipeName(OwnSet(), lane);
}

// An office whose own process is not known (still starting, or not found
// in the process list) lives as long as its launcher.
bool LibreOfficeServer::Attached::IsAlive() const
{
    if (office != 0)
        return !office::HasEnded(office);
    return launcher != 0 && !office::HasEnded(launcher);
}

bool LibreOfficeServer::HasOwnOffice(int lane) const
{
    const Attached attached = Current(lane);
    return attached.own && attached.IsAlive();
}

bool LibreOfficeServer::IsWorn(int lane) const
{
    const Attached attached = Current(lane);
    const OfficeRecycling limits = [this] {
        std::lock_guard lock(mutex_);
        return recycling_;
    }();
    return attached.documents >= limits.documents ||
           office::ResidentBytes(attached.office) > limits.residentBytes;
}

bool LibreOfficeServer::IsRunning(int lane)
{
    std::lock_guard use(laneUse_.at(static_cast<std::size_t>(lane)));
    return HasOwnOffice(lane) || office::FindOfficeProcess(SharedPipe(lane)) != 0;
}

pid_t LibreOfficeServer::OfficeProcess(int lane) const
{
    return Current(lane).office;
}

void LibreOfficeServer::CountDocument(int lane)
{
    std::lock_guard lock(mutex_);
    ++attached_.at(static_cast<std::size_t>(lane)).documents;
}

std::unique_ptr<ApplicationDispatch> LibreOfficeServer::CreateApplication(int lane)
{
    std::lock_guard use(laneUse_.at(static_cast<std::size_t>(lane)));
    const Attached attached = Current(lane);
    const bool alive = attached.IsAlive();
    if (alive && attached.own && IsWorn(lane)) {
        LogInfo("LibreOfficeServer::CreateApplication",
                "Office(PID: %d) replaced after %d documents.", static_cast<int>(attached.office),
                attached.documents);
        QuitLane(lane);
    } else if (alive) {
        // A refused connection may pass; one that never comes means a deaf
        // office, which makes way for a fresh one.
        for (int attempt = 0; attempt < kReconnectAttempts; ++attempt) {
            auto application = attached.own ? Connect(lane, OwnPipeName(lane), attached.launcher)
                                            : Connect(lane, SharedPipe(lane), attached.office);
            if (application)
                return application;
            std::this_thread::sleep_for(kConnectRetry);
        }
        LogInfo("LibreOfficeServer::CreateApplication", "Office(PID: %d) does not answer.",
                static_cast<int>(attached.office));
    }
    if (Current(lane).own)
        KillOffice(lane); // gone, or deaf: reap what is left
    if (auto application = ConnectShared(lane))
        return application;
    return StartAndConnect(lane);
}

// One attempt to reach an office over its pipe. An office that takes the
// connection but never answers is hung: the watchdog kills the group of
// member, and the attempt fails as an automation error.
std::unique_ptr<ApplicationDispatch> LibreOfficeServer::Connect(int lane, const std::string& pipe,
                                                                pid_t member)
{
    const auto bound = Timeouts().connect;
    WatchdogTimer watchdog(bound, [member] { office::KillOfficeGroup(member); });
    auto context = ConnectToOffice(pipe);
    if (watchdog.Expired()) {
        KillOffice(lane);
        throw AutomationError("Connecting to the office took longer than " +
                              std::to_string(bound.count()) + " ms; the office was stopped.");
    }
    if (!context.is())
        return nullptr;
    return MakeUnoApplication(*this, lane, context);
}

// Asks an office that is starting until it accepts. Null once member has
// ended or the start bound has passed.
std::unique_ptr<ApplicationDispatch>
LibreOfficeServer::AwaitAccepting(int lane, const std::string& pipe, pid_t member)
{
    const auto deadline = Clock::now() + Timeouts().start;
    for (;;) {
        if (auto application = Connect(lane, pipe, member))
            return application;
        if (office::HasEnded(member) || Clock::now() > deadline)
            return nullptr;
        std::this_thread::sleep_for(kStartPoll);
    }
}

// The shared office of the lane, when one runs; waits while it is starting.
std::unique_ptr<ApplicationDispatch> LibreOfficeServer::ConnectShared(int lane)
{
    const std::string pipe = SharedPipe(lane);
    const pid_t shared = office::FindOfficeProcess(pipe);
    if (shared == 0)
        return nullptr;
    Attach(lane, {false, 0, shared, 0, nullptr});
    if (auto application = AwaitAccepting(lane, pipe, shared))
        return application;
    Attach(lane, {});
    return nullptr;
}

std::unique_ptr<ApplicationDispatch> LibreOfficeServer::StartAndConnect(int lane)
{
    const office::OfficeSet set = OwnSet();
    const std::string pipe = office::PipeName(set, lane);
    // Our set is ours alone: whatever listens there is left over.
    if (const pid_t leftOver = office::FindOfficeProcess(pipe)) {
        office::KillOfficeGroup(leftOver);
        AwaitEnd(0, leftOver, kKillWait);
    }
    const office::StartedOffice started = office::StartOffice(set, lane);
    const pid_t launcher = started.launcher;
    if (launcher == 0)
        return nullptr;
    LogInfo("LibreOfficeServer::CreateApplication", "Office(PID: %d) started.",
            static_cast<int>(launcher));
    Attach(lane, {true, launcher, 0, 0, started.watch});
    auto application = AwaitAccepting(lane, pipe, launcher);
    if (!application) {
        KillOffice(lane);
        return nullptr;
    }
    Attached connected = Current(lane);
    connected.office = office::FindOfficeProcess(pipe);
    Attach(lane, connected);
    return application;
}

bool LibreOfficeServer::StartOffices()
{
    std::atomic<bool> started{false};
    SideBySide(static_cast<std::size_t>(LaneCount()), [&](std::size_t index) {
        const int lane = static_cast<int>(index);
        std::lock_guard use(laneUse_.at(static_cast<std::size_t>(lane)));
        if (HasOwnOffice(lane) || office::FindOfficeProcess(SharedPipe(lane)) != 0)
            return;
        try {
            if (StartAndConnect(lane))
                started = true;
        } catch (const AutomationError& error) {
            LogInfo("LibreOfficeServer::StartOffices", "Office:[%s].", error.what());
        }
    });
    return started;
}

void LibreOfficeServer::QuitLane(int lane)
{
    const Attached attached = Current(lane);
    if (!attached.own)
        return;
    try {
        if (auto application = Connect(lane, OwnPipeName(lane), attached.launcher)) {
            application->Quit();
            return;
        }
    } catch (const AutomationError&) {
    }
    KillOffice(lane);
}

void LibreOfficeServer::QuitOwnOffices()
{
    SideBySide(kMaxLanes, [this](std::size_t index) {
        const int lane = static_cast<int>(index);
        std::lock_guard use(laneUse_.at(static_cast<std::size_t>(lane)));
        if (Current(lane).own)
            QuitLane(lane);
    });
}

void LibreOfficeServer::KillOwnOffices()
{
    for (int lane = 0; lane < kMaxLanes; ++lane) {
        const Attached attached = Current(lane);
        if (!attached.own)
            continue;
        office::KillOfficeGroup(attached.office);
        office::KillOfficeGroup(attached.launcher);
    }
}

void LibreOfficeServer::KillOffice(int lane)
{
    Attached attached = Current(lane);
    if (attached.office == 0 && attached.own) {
        try {
            attached.office = office::FindOfficeProcess(OwnPipeName(lane));
        } catch (const AutomationError&) {
        }
    }
    office::KillOfficeGroup(attached.office);
    office::KillOfficeGroup(attached.launcher);
    AwaitEnd(attached.launcher, attached.office, kKillWait);
    Attach(lane, {});
}

void LibreOfficeServer::AwaitOfficeEnd(int lane)
{
    const Attached attached = Current(lane);
    if (!AwaitEnd(attached.launcher, attached.office, Timeouts().quit)) {
        KillOffice(lane);
        return;
    }
    Attach(lane, {});
}

int actCheckPptRunning()
{
    LogScope scope("actCheckPptRunning");
    return LibreOfficeServer::Instance().IsRunning(0) ? 1 : 0;
}
