#include "cli/convert_command.h"

#include "cli/cli_output.h"
#include "cli/destination_options.h"
#include "cli/interrupt.h"
#include "cli/progress_printer.h"
#include "convert/convert_controller.h"
#include "convert/local_folder_probe.h"
#include "convert/office_session.h"
#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "convert/source_checks.h"
#include "delivery/destination_type.h"
#include "delivery/ftp_url.h"
#include "log/log_switch.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

using Destinations = std::vector<Destination>;

// The checks the desktop program runs before it starts a conversion.
int CheckSource(const std::string& source)
{
    if (const int code = fnjgCheckPptExtension(source))
        return code;
    return fnjgCheckFileOpen(source);
}

// Where the folder went, as the user may see it: a server URL without the
// user name and password it may carry.
std::string DeliveredTo(const std::string& source, const Destination& destination)
{
    const std::string name = PresentationName(source);
    if (destination.local)
        return JoinPath(destination.localFolder, name);
    const std::string& server = destination.profile.destination;
    const char separator = server.starts_with("\\\\") ? '\\' : '/';
    return JoinPath(UrlsWithoutCredentials(server), name, separator);
}

// The destinations a conversion can go to: a local folder that takes no
// new folder is left out.
std::vector<std::size_t> UsableDestinations(const Destinations& destinations)
{
    std::vector<std::size_t> usable;
    for (std::size_t index = 0; index < destinations.size(); ++index) {
        const Destination& destination = destinations[index];
        if (!destination.local || ProbeLocalFolder(destination.localFolder))
            usable.push_back(index);
    }
    return usable;
}

// Exports source once and delivers it to each usable destination; codes
// gets the code of each.
void Convert(const std::string& source, const Destinations& destinations,
             const std::vector<std::size_t>& usable, std::vector<int>& codes,
             ProgressPrinter& progress)
{
    std::vector<ConvertController::Destination> targets;
    for (const std::size_t index : usable) {
        const Destination& destination = destinations[index];
        targets.push_back({destination.local ? SAVE_TO_LOCAL_PC : SAVE_TO_SERVER,
                           destination.localFolder,
                           destination.local ? nullptr : &destination.profile});
    }
    ConvertData request;
    request.filePath = source;
    request.progress = &progress;
    std::vector<int> delivered;
    InterruptCancels::Watch(&request.cancel);
    const int code = ConvertController().ConvertionStart(&request, targets, delivered);
    InterruptCancels::Watch(nullptr);
    for (std::size_t at = 0; at < usable.size(); ++at)
        codes[usable[at]] = delivered.empty() ? code : delivered[at];
}

// The code of one source at each destination: its checks, then its
// conversion and deliveries. Not started once Ctrl-C was pressed.
std::vector<int> ConvertOne(const std::string& source, const Destinations& destinations,
                            OfficeSession& office, ProgressPrinter& progress)
{
    const int checked = CheckSource(source);
    if (checked != RESULT_SUCCESS)
        return std::vector<int>(destinations.size(), checked);
    std::vector<int> codes(destinations.size(), RESULT_FOLDER_NOT_CREATED);
    const std::vector<std::size_t> usable = UsableDestinations(destinations);
    if (usable.empty())
        return codes;
    if (InterruptCancels::Interrupted())
        return std::vector<int>(destinations.size(), RESULT_CANCELLED);
    office.EnsureRunning();
    Convert(source, destinations, usable, codes, progress);
    return codes;
}

} // namespace

QString ConvertCommand::Description() const
{
    return "Convert presentations into one 1280 x 800 JPEG per slide and deliver each as a "
           "folder named after it.";
}

int ConvertCommand::Execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption log("log", "Write the debug log.");
    parser.addOption(log);
    DestinationOptions destinationOptions(parser);
    parser.addPositionalArgument(
        "SOURCE", "A presentation: .ppt, .pptx, .pptm, .pps, .ppsx, .pot, .potx, .potm or .odp.",
        "SOURCE...");
    int status = 0;
    if (!Parse(parser, arguments, status))
        return status;
    if (parser.isSet(log))
        StartDebugLog(3);
    const QStringList sources = parser.positionalArguments();
    QString error;
    const auto destinations = destinationOptions.ReadAll(error);
    if (sources.isEmpty() || !destinations) {
        PrintError(sources.isEmpty() ? "convert: name at least one SOURCE" : error);
        return kUsageError;
    }

    InterruptCancels interrupts;
    OfficeSession office;
    ProgressPrinter progress;
    int firstFailure = RESULT_SUCCESS;
    for (int index = 0; index < sources.size(); ++index) {
        const std::string source = std::filesystem::absolute(sources[index].toStdString());
        progress.StartFile(EscapedForLine(PresentationName(source)), index + 1,
                           static_cast<int>(sources.size()));
        const std::vector<int> codes = ConvertOne(source, *destinations, office, progress);
        progress.Clear();
        // The controller's code is what happened: a Ctrl-C after the export
        // lets the deliveries finish, and a finished delivery is reported.
        if (std::all_of(codes.begin(), codes.end(),
                        [](int code) { return code == RESULT_CANCELLED; }))
            return RESULT_CANCELLED;
        for (std::size_t at = 0; at < codes.size(); ++at) {
            const Destination& destination = (*destinations)[at];
            if (codes[at] == RESULT_SUCCESS) {
                PrintFolderLine(DeliveredTo(source, destination));
                continue;
            }
            // With several destinations, the failure names its own.
            PrintResultError(destinations->size() == 1
                                 ? sources[index]
                                 : sources[index] + " to " +
                                       QString::fromStdString(DeliveredTo(source, destination)),
                             codes[at]);
            if (firstFailure == RESULT_SUCCESS)
                firstFailure = codes[at];
        }
        if (InterruptCancels::Interrupted() && index + 1 < sources.size())
            return RESULT_CANCELLED;
    }
    return firstFailure;
}
