#include "convert/libreoffice/libreoffice_server.h"

#include "convert/libreoffice/office_process.h"
#include "convert/libreoffice/uno_automation.h"
#include "convert/libreoffice/uno_connection.h"
#include "log/debug_log.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const auto kConnectRetry = 50ms;
const auto kKillWait = 5s;
const int kMaxLanes = 8;
const int kDefaultMaxLanes = 4;

int DefaultLaneCount()
{
    if (const char* configured = std::getenv("KORVANTA_OFFICE_LANES")) {
        const int lanes = std::atoi(configured);
        if (lanes >= 1 && lanes <= kMaxLanes)
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

} // namespace

LibreOfficeServer& LibreOfficeServer::Instance()
{
    static LibreOfficeServer server;
    return server;
}

LibreOfficeServer::LibreOfficeServer() : lanes_(DefaultLaneCount()), processes_(kMaxLanes) {}

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

bool LibreOfficeServer::IsRunning(int lane)
{
    return lane == 0 ? actCheckPptRunning() == 1 : office::FindOfficeProcess(lane) != 0;
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

LibreOfficeServer::Processes LibreOfficeServer::Tracked(int lane) const
{
    std::lock_guard lock(mutex_);
    return processes_.at(static_cast<std::size_t>(lane));
}

void LibreOfficeServer::Track(int lane, const Processes& processes)
{
    std::lock_guard lock(mutex_);
    processes_.at(static_cast<std::size_t>(lane)) = processes;
}

std::unique_ptr<ApplicationDispatch> LibreOfficeServer::CreateApplication(int lane)
{
    auto context = ConnectToOffice(lane);
    if (!context.is())
        return StartAndConnect(lane);
    Processes processes = Tracked(lane);
    processes.office = office::FindOfficeProcess(lane);
    Track(lane, processes);
    return MakeUnoApplication(*this, lane, context);
}

std::unique_ptr<ApplicationDispatch> LibreOfficeServer::StartAndConnect(int lane)
{
    // Nothing answers on the pipe: an office of ours that is still there is
    // hung or half dead, and makes way for a fresh one.
    if (office::FindOfficeProcess(lane) != 0)
        KillOffice(lane);
    const pid_t launcher = office::StartOffice(lane);
    if (launcher == 0)
        return nullptr;
    LogInfo("LibreOfficeServer::CreateApplication", "Office(PID: %d) started.",
            static_cast<int>(launcher));
    Track(lane, {launcher, 0});
    const auto deadline = Clock::now() + Timeouts().start;
    auto context = ConnectToOffice(lane);
    while (!context.is()) {
        if (Clock::now() > deadline || office::HasEnded(launcher)) {
            KillOffice(lane);
            return nullptr;
        }
        std::this_thread::sleep_for(kConnectRetry);
        context = ConnectToOffice(lane);
    }
    Track(lane, {launcher, office::FindOfficeProcess(lane)});
    return MakeUnoApplication(*this, lane, context);
}

void LibreOfficeServer::KillOffice(int lane)
{
    Processes processes = Tracked(lane);
    if (processes.office == 0)
        processes.office = office::FindOfficeProcess(lane);
    office::KillOfficeGroup(processes.office);
    office::KillOfficeGroup(processes.launcher);
    AwaitEnd(processes.launcher, processes.office, kKillWait);
    Track(lane, {});
}

void LibreOfficeServer::AwaitOfficeEnd(int lane)
{
    const Processes processes = Tracked(lane);
    if (!AwaitEnd(processes.launcher, processes.office, Timeouts().quit)) {
        KillOffice(lane);
        return;
    }
    Track(lane, {});
}
