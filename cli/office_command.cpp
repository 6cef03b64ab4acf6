#include "cli/office_command.h"

#include "cli/cli_output.h"
#include "convert/automation.h"
#include "convert/com_apartment_guard.h"
#include "convert/libreoffice/libreoffice_server.h"
#include "convert/libreoffice/office_process.h"

#include "platform/app_folders.h"
#include "platform/file_lock.h"

#include <filesystem>
#include <thread>
#include <vector>

namespace {

// Starts the shared offices that do not run, and leaves them running: later
// conversions find them and do not pay for the start.
int Start()
{
    LibreOfficeServer& server = LibreOfficeServer::Instance();
    server.StartOffices();
    bool failed = false;
    for (int lane = 0; lane < server.LaneCount(); ++lane)
        failed = failed || !server.IsRunning(lane);
    if (failed)
        PrintError("office start: an office did not start");
    return failed ? 1 : 0;
}

int Stop()
{
    LibreOfficeServer& server = LibreOfficeServer::Instance();
    std::vector<std::thread> stops;
    for (int lane = 0; lane < server.LaneCount(); ++lane) {
        stops.emplace_back([&server, lane] {
            if (!server.IsRunning(lane))
                return;
            Application office(server, lane);
            try {
                if (office.CreateDispatch())
                    office.Quit();
            } catch (const AutomationError&) {
                server.KillOffice(lane); // hung: it goes all the same
            }
        });
    }
    for (auto& stop : stops)
        stop.join();
    return 0;
}

int Status()
{
    for (int lane = 0; lane < LibreOfficeServer::Instance().LaneCount(); ++lane) {
        const pid_t pid = office::FindOfficeProcess(office::PipeName(office::OfficeSet{}, lane));
        PrintResult(QString("%1\t%2").arg(lane).arg(pid ? QString::number(pid) : "stopped"));
    }
    return 0;
}

} // namespace

QString OfficeCommand::Description() const
{
    return "Start, stop or list the shared background offices that render the slides.";
}

int OfficeCommand::Execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("action", "start, stop or status.", "start|stop|status");
    int status = 0;
    if (!Parse(parser, arguments, status))
        return status;
    const auto guard = ComApartmentGuard::Create();
    LibreOfficeServer::Instance().UseSharedOffices(true);
    // Start and stop of the shared offices take turns between processes.
    std::error_code error;
    std::filesystem::create_directories(platform::AppCacheFolder(), error);
    FileLock lock;
    lock.Lock(platform::AppCacheFolder() / "office-shared.lock", true);
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
