#include "cli/office_command.h"

#include "cli/cli_output.h"
#include "convert/automation.h"
#include "convert/com_apartment_guard.h"
#include "convert/libreoffice/libreoffice_server.h"
#include "convert/libreoffice/office_process.h"

#include <thread>
#include <vector>

namespace {

// Runs work(lane) for every lane at once.
template <class Work> void ForEveryLane(Work work)
{
    std::vector<std::thread> threads;
    for (int lane = 0; lane < LibreOfficeServer::Instance().LaneCount(); ++lane)
        threads.emplace_back(work, lane);
    for (auto& thread : threads)
        thread.join();
}

// Starts the offices that do not run, and leaves them running: later
// conversions find them and do not pay for the start.
int Start()
{
    std::atomic<bool> failed{false};
    ForEveryLane([&](int lane) {
        Application office(LibreOfficeServer::Instance(), lane);
        if (!LibreOfficeServer::Instance().IsRunning(lane) && !office.CreateDispatch())
            failed = true;
    });
    if (failed)
        PrintError("office start: an office did not start");
    return failed ? 1 : 0;
}

int Stop()
{
    ForEveryLane([](int lane) {
        if (!LibreOfficeServer::Instance().IsRunning(lane))
            return;
        Application office(LibreOfficeServer::Instance(), lane);
        if (office.CreateDispatch())
            office.Quit();
    });
    return 0;
}

int Status()
{
    for (int lane = 0; lane < LibreOfficeServer::Instance().LaneCount(); ++lane) {
        const pid_t pid = office::FindOfficeProcess(lane);
        PrintResult(QString("%1\t%2").arg(lane).arg(pid ? QString::number(pid) : "stopped"));
    }
    return 0;
}

} // namespace

QString OfficeCommand::Description() const
{
    return "Start, stop or list the background offices that render the slides.";
}

int OfficeCommand::Execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("action", "start, stop or status.", "start|stop|status");
    int status = 0;
    if (!Parse(parser, arguments, status))
        return status;
    const auto guard = ComApartmentGuard::Create();
    const QString action = parser.positionalArguments().value(0);
    if (action == "start")
        return Start();
    if (action == "stop")
        return Stop();
    if (action == "status")
        return Status();
    PrintError("office: the action is start, stop or status");
    return kUsageError;
}
