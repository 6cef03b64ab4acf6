#include "convert/libreoffice/libreoffice_server.h"

#include "convert/libreoffice/office_process.h"
#include "convert/libreoffice/uno_automation.h"
#include "convert/libreoffice/uno_connection.h"
#include "log/debug_log.h"

#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const auto kConnectRetry = 50ms;
const auto kKillWait = 5s;

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

bool LibreOfficeServer::IsRunning()
{
    return actCheckPptRunning() == 1;
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

LibreOfficeServer::Processes LibreOfficeServer::Tracked() const
{
    std::lock_guard lock(mutex_);
    return processes_;
}

void LibreOfficeServer::Track(const Processes& processes)
{
    std::lock_guard lock(mutex_);
    processes_ = processes;
}

std::unique_ptr<ApplicationDispatch> LibreOfficeServer::CreateApplication()
{
    auto context = ConnectToOffice();
    if (!context.is())
        return StartAndConnect();
    Processes processes = Tracked();
    processes.office = office::FindOfficeProcess();
    Track(processes);
    return MakeUnoApplication(*this, context);
}

std::unique_ptr<ApplicationDispatch> LibreOfficeServer::StartAndConnect()
{
    // Nothing answers on our pipe: an office of ours that is still there is
    // hung or half dead, and makes way for a fresh one.
    if (office::FindOfficeProcess() != 0)
        KillOffice();
    const pid_t launcher = office::StartOffice();
    if (launcher == 0)
        return nullptr;
    LogInfo("LibreOfficeServer::CreateApplication", "Office(PID: %d) started.",
            static_cast<int>(launcher));
    Track({launcher, 0});
    const auto deadline = Clock::now() + Timeouts().start;
    auto context = ConnectToOffice();
    while (!context.is()) {
        if (Clock::now() > deadline || office::HasEnded(launcher)) {
            KillOffice();
            return nullptr;
        }
        std::this_thread::sleep_for(kConnectRetry);
        context = ConnectToOffice();
    }
    Track({launcher, office::FindOfficeProcess()});
    return MakeUnoApplication(*this, context);
}

void LibreOfficeServer::KillOffice()
{
    Processes processes = Tracked();
    if (processes.office == 0)
        processes.office = office::FindOfficeProcess();
    office::KillOfficeGroup(processes.office);
    office::KillOfficeGroup(processes.launcher);
    AwaitEnd(processes.launcher, processes.office, kKillWait);
    Track({});
}

void LibreOfficeServer::AwaitOfficeEnd()
{
    const Processes processes = Tracked();
    if (!AwaitEnd(processes.launcher, processes.office, Timeouts().quit)) {
        KillOffice();
        return;
    }
    Track({});
}
