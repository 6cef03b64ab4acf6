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

std::string DeliveredTo(const std::string& source, const Destination& destination)
{
    const std::string name = PresentationName(source);
    if (destination.local)
        return JoinPath(destination.localFolder, name);
    const char separator = destination.profile.destination.starts_with("\\\\") ? '\\' : '/';
    return JoinPath(destination.profile.destination, name, separator);
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
    parser.addPositionalArgument("SOURCE", "A .ppt or .pptx file.", "SOURCE...");
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
        progress.StartFile(PresentationName(source), index + 1, static_cast<int>(sources.size()));
        int code = CheckSource(source, *destination);
        if (code == RESULT_SUCCESS && !InterruptCancels::Interrupted()) {
            office.EnsureRunning();
            code = Convert(source, *destination, progress);
        }
        progress.Clear();
        if (InterruptCancels::Interrupted() || code == RESULT_CANCELLED)
            return RESULT_CANCELLED;
        if (code == RESULT_SUCCESS) {
            PrintResult(QString::fromStdString(DeliveredTo(source, *destination)));
            continue;
        }
        PrintResultError(sources[index], code);
        if (firstFailure == RESULT_SUCCESS)
            firstFailure = code;
    }
    return firstFailure;
}
