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

#include <filesystem>

namespace {

// The checks the desktop program runs before it starts a conversion.
int CheckSource(const std::string& source, const Destination& destination)
{
    if (const int code = fnjgCheckPptExtension(source))
        return code;
    if (const int code = fnjgCheckFileOpen(source))
        return code;
    if (destination.local && !ProbeLocalFolder(destination.localFolder))
        return RESULT_FOLDER_NOT_CREATED;
    return RESULT_SUCCESS;
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

int Convert(const std::string& source, Destination& destination, ProgressPrinter& progress)
{
    ConvertData request;
    request.filePath = source;
    request.saveTo = destination.local ? SAVE_TO_LOCAL_PC : SAVE_TO_SERVER;
    request.localFolder = destination.localFolder;
    request.profile = destination.local ? nullptr : &destination.profile;
    request.progress = &progress;
    InterruptCancels::Watch(&request.cancel);
    const int code = ConvertController().ConvertionStart(&request);
    InterruptCancels::Watch(nullptr);
    return code;
}

// The result code of one source: its checks, then its conversion and
// delivery. Not started once Ctrl-C was pressed.
int ConvertOne(const std::string& source, Destination& destination, OfficeSession& office,
               ProgressPrinter& progress)
{
    const int checked = CheckSource(source, destination);
    if (checked != RESULT_SUCCESS)
        return checked;
    if (InterruptCancels::Interrupted())
        return RESULT_CANCELLED;
    office.EnsureRunning();
    return Convert(source, destination, progress);
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
    auto destination = destinationOptions.Read(error);
    if (sources.isEmpty() || !destination) {
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
        const int code = ConvertOne(source, *destination, office, progress);
        progress.Clear();
        // The controller's code is what happened: a Ctrl-C after the export
        // lets the delivery finish, and a finished delivery is reported.
        if (code == RESULT_CANCELLED)
            return RESULT_CANCELLED;
        if (code == RESULT_SUCCESS) {
            PrintFolderLine(DeliveredTo(source, *destination));
        } else {
            PrintResultError(sources[index], code);
            if (firstFailure == RESULT_SUCCESS)
                firstFailure = code;
        }
        if (InterruptCancels::Interrupted() && index + 1 < sources.size())
            return RESULT_CANCELLED;
    }
    return firstFailure;
}
