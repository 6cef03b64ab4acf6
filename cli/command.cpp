#include "cli/command.h"

#include "cli/cli_output.h"
#include "cli/convert_command.h"
#include "cli/office_command.h"
#include "cli/open_command.h"
#include "cli/servers_command.h"
#include "cli/watch_command.h"
#include "log/log_switch.h"

#include <QCoreApplication>

#include <cstdio>

bool Command::Parse(QCommandLineParser& parser, const QStringList& arguments, int& status) const
{
    parser.setApplicationDescription(Description());
    const QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");
    parser.addOption(help);
    if (!parser.parse(arguments)) {
        PrintError(parser.errorText());
        status = kUsageError;
        return false;
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QCoreApplication::arguments().constFirst(), "korvanta-cli " + Name());
        std::fputs(text.toLocal8Bit().constData(), stdout);
        status = 0;
        return false;
    }
    return true;
}

bool Command::ParseLogged(QCommandLineParser& parser, const QStringList& arguments,
                          int& status) const
{
    const QCommandLineOption log("log", "Write the debug log.");
    parser.addOption(log);
    if (!Parse(parser, arguments, status))
        return false;
    if (parser.isSet(log))
        StartDebugLog(3);
    return true;
}

std::vector<std::unique_ptr<Command>> AllCommands()
{
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<ConvertCommand>());
    commands.push_back(std::make_unique<OpenCommand>());
    commands.push_back(std::make_unique<ServersCommand>());
    commands.push_back(std::make_unique<WatchCommand>());
    commands.push_back(std::make_unique<OfficeCommand>());
    return commands;
}
