#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One command of korvanta-cli: "convert", "open", "servers".
class Command
{
public:
    virtual ~Command() = default;
    virtual QString Name() const = 0;
    virtual QString Description() const = 0;
    // arguments start with the command's own name. Returns the exit status.
    virtual int Execute(const QStringList& arguments) = 0;

protected:
    // Parses the arguments, answers --help, and reports usage errors. False
    // when the command ends here with *status.
    bool Parse(QCommandLineParser& parser, const QStringList& arguments, int& status) const;
    // The same with the option --log, which starts the debug log.
    bool ParseLogged(QCommandLineParser& parser, const QStringList& arguments, int& status) const;
};

std::vector<std::unique_ptr<Command>> AllCommands();

// Exit status of a command line that cannot be understood.
constexpr int kUsageError = 2;
