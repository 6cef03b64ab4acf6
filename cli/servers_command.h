#pragma once

#include "cli/command.h"

// korvanta-cli servers list [--json] | add --name NAME --destination DEST [--user ID] |
// edit INDEX [--name NAME] [--destination DEST] [--user ID | --no-login] | delete INDEX |
// trust URL [--yes]
class ServersCommand : public Command
{
public:
    QString Name() const override { return "servers"; }
    QString Description() const override;
    int Execute(const QStringList& arguments) override;
};
