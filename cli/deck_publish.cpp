#include "cli/deck_publish.h"

#include "cli/cli_output.h"
#include "cli/interrupt.h"
#include "convert/convert_controller.h"
#include "convert/local_folder_probe.h"
#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "convert/source_checks.h"
#include "delivery/destination_type.h"
#include "delivery/ftp_url.h"

namespace {

// The checks the desktop program runs before it starts a conversion.
int CheckSource(const std::string& source)
{
    if (const int code = fnjgCheckPptExtension(source))
        return code;
    return fnjgCheckFileOpen(source);
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

} // namespace

std::string DeliveredTo(const std::string& source, const Destination& destination)
{
    const std::string name = PresentationName(source);
    if (destination.local)
        return JoinPath(destination.localFolder, name);
    const std::string& server = destination.profile.destination;
    const char separator = server.starts_with("\\\\") ? '\\' : '/';
    return JoinPath(UrlsWithoutCredentials(server), name, separator);
}

std::vector<int> PublishDeck(const std::string& source, const Destinations& destinations,
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

void PrintPublishError(const QString& named, const std::string& source,
                       const Destinations& destinations, std::size_t at, int code)
{
    const QString subject =
        destinations.size() == 1
            ? named
            : named + " to " + QString::fromStdString(DeliveredTo(source, destinations[at]));
    PrintResultError(subject, code);
}
