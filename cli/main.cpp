// korvanta-cli: the converter for scripts, batch jobs and headless machines.

#include "cli/cli_output.h"
#include "cli/command.h"
#include "cli/password_input.h"
#include "platform/locale_map.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void PrintUsage(const std::vector<std::unique_ptr<Command>>& commands)
{
    std::printf("Usage: korvanta-cli COMMAND [options]\n\n"
                "Turns presentations into one 1280 x 800 JPEG per slide.\n\nCommands:\n");
    for (const auto& command : commands)
        std::printf("  %-10s %s\n", command->Name().toLocal8Bit().constData(),
                    command->Description().toLocal8Bit().constData());
    std::printf("\nkorvanta-cli COMMAND --help shows a command's options.\n");
}

} // namespace

int main(int argc, char** argv)
{
    TakePasswordFromEnvironment();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("korvanta-cli");
    QCoreApplication::setApplicationVersion(KORVANTA_VERSION);
    platform::SelectStringTableForUser();

    const QStringList arguments = QCoreApplication::arguments();
    const auto commands = AllCommands();
    const QString first = arguments.value(1);
    if (first == "--version" || first == "-v") {
        std::printf("korvanta-cli %s\n", KORVANTA_VERSION);
        return 0;
    }
    if (first.isEmpty() || first == "--help" || first == "-h" || first == "help") {
        PrintUsage(commands);
        return first.isEmpty() ? kUsageError : 0;
    }
    for (const auto& command : commands) {
        if (command->Name() == first)
            return command->Execute(arguments.mid(1));
    }
    PrintError("unknown command " + first + " (korvanta-cli --help lists them)");
    return kUsageError;
}
