#include "cli/open_command.h"

#include "cli/cli_output.h"
#include "cli/destination_options.h"
#include "convert/convert_controller.h"
#include "convert/result_codes.h"

QString OpenCommand::Description() const
{
    return "Show a destination in the desktop's file manager or browser.";
}

int OpenCommand::Execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    DestinationOptions destinationOptions(parser);
    int status = 0;
    if (!ParseLogged(parser, arguments, status))
        return status;
    QString error;
    auto destination = destinationOptions.Read(error);
    if (!destination) {
        PrintError(error);
        return kUsageError;
    }
    ConvertData request;
    request.saveTo = destination->local ? SAVE_TO_LOCAL_PC : SAVE_TO_SERVER;
    request.localFolder = destination->localFolder;
    request.profile = destination->local ? nullptr : &destination->profile;
    if (ConvertController().OpenDestination(&request))
        return RESULT_SUCCESS;
    PrintResultError(QString(), RESULT_DESTINATION_NOT_OPENED);
    return RESULT_DESTINATION_NOT_OPENED;
}
