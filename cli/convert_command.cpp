#include "cli/convert_command.h"

#include "cli/cli_output.h"
#include "cli/deck_publish.h"
#include "cli/destination_options.h"
#include "cli/interrupt.h"
#include "cli/progress_printer.h"
#include "convert/office_session.h"
#include "convert/presentation_name.h"
#include "convert/result_codes.h"

#include <algorithm>
#include <filesystem>
#include <vector>

QString ConvertCommand::Description() const
{
    return "Convert presentations into one 1280 x 800 JPEG per slide and deliver each as a "
           "folder named after it.";
}

int ConvertCommand::Execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    DestinationOptions destinationOptions(parser);
    parser.addPositionalArgument(
        "SOURCE", "A presentation: .ppt, .pptx, .pptm, .pps, .ppsx, .pot, .potx, .potm or .odp.",
        "SOURCE...");
    int status = 0;
    if (!ParseLogged(parser, arguments, status))
        return status;
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
        const std::vector<int> codes = PublishDeck(source, *destinations, office, progress);
        progress.Clear();
        // The controller's code is what happened: a Ctrl-C after the export
        // lets the deliveries finish, and a finished delivery is reported.
        if (std::all_of(codes.begin(), codes.end(),
                        [](int code) { return code == RESULT_CANCELLED; }))
            return RESULT_CANCELLED;
        for (std::size_t at = 0; at < codes.size(); ++at) {
            if (codes[at] == RESULT_SUCCESS) {
                PrintFolderLine(DeliveredTo(source, (*destinations)[at]));
                continue;
            }
            PrintPublishError(sources[index], source, *destinations, at, codes[at]);
            if (firstFailure == RESULT_SUCCESS)
                firstFailure = codes[at];
        }
        if (InterruptCancels::Interrupted() && index + 1 < sources.size())
            return RESULT_CANCELLED;
    }
    return firstFailure;
}
